// The bytes of a connection to the command socket, in the chunks they may arrive in: a frame is
// taken only within its limit, and a request or an answer that reads is within its limits and
// written out reads back the same.
#include "FuzzSupport.h"
#include "program/CommandProtocol.h"

namespace {

void checkRequest(const QByteArray& body) {
    QString error;
    const std::optional<CommandProtocol::Request> request = CommandProtocol::parseRequest(body, error);
    FUZZ_CHECK(request.has_value() == error.isEmpty());
    if (!request)
        return;
    FUZZ_CHECK(!request->command.isEmpty() && request->command.size() <= CommandProtocol::kMaxCommandLength);
    FUZZ_CHECK(!request->workDir.isEmpty() && request->args.size() <= CommandProtocol::kMaxArguments);
    for (const QString& arg : request->args)
        FUZZ_CHECK(!arg.contains(QChar(u'\0')));
    const QByteArray written = CommandProtocol::encodeRequest(*request);
    FrameReader reader(CommandProtocol::kMaxRequestBytes);
    if (reader.add(written) != FrameReader::State::Complete)
        return; // longer than a request may be once escaped: refused unread
    QString again;
    const std::optional<CommandProtocol::Request> read = CommandProtocol::parseRequest(reader.body(), again);
    FUZZ_CHECK(read.has_value());
    FUZZ_CHECK(read->command == request->command && read->args == request->args && read->workDir == request->workDir);
}

void checkAnswer(const QByteArray& body) {
    QString error;
    const std::optional<CommandProtocol::Answer> answer = CommandProtocol::parseAnswer(body, error);
    if (!answer)
        return;
    FUZZ_CHECK(answer->status >= 0 && answer->status <= 255);
    FrameReader reader(CommandProtocol::kMaxAnswerBytes);
    FUZZ_CHECK(reader.add(CommandProtocol::encodeAnswer(*answer)) == FrameReader::State::Complete);
    QString again;
    const std::optional<CommandProtocol::Answer> read = CommandProtocol::parseAnswer(reader.body(), again);
    FUZZ_CHECK(read.has_value());
    FUZZ_CHECK(read->status == answer->status && read->out == answer->out && read->err == answer->err);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte is the size of the chunks the rest arrives in.
    const qsizetype chunk = 1 + data[0];
    const QByteArray bytes = fuzzBytes(data + 1, size - 1);
    FrameReader reader(CommandProtocol::kMaxRequestBytes);
    for (qsizetype at = 0; at < bytes.size() && reader.state() == FrameReader::State::Incomplete; at += chunk)
        reader.add(bytes.mid(at, chunk));
    FUZZ_CHECK(reader.body().size() <= CommandProtocol::kMaxRequestBytes);
    if (reader.state() == FrameReader::State::Complete) {
        FUZZ_CHECK(reader.body().size() + 4 <= bytes.size());
        checkRequest(reader.body());
    }
    checkAnswer(bytes.size() > 4 ? bytes.mid(4) : bytes);
    return 0;
}
