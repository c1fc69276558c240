// Connects, sends one request and reads one answer, blocking: orlamo-cli has nothing else to do.
#include "program/CommandClient.h"

#include "program/CommandSocket.h"

#include <QDeadlineTimer>
#include <QLocalSocket>

namespace CommandClient {

namespace {

constexpr int kConnectTimeoutMs = 1000;

CommandProtocol::Answer noAnswer(const CommandProtocol::Request& request, const QString& why) {
    return {1, QString(),
            QStringLiteral("orlamo-cli %1: the process that holds the catalogue %2\n").arg(request.command, why)};
}

} // namespace

std::optional<CommandProtocol::Answer> send(const CommandProtocol::Request& request, int timeoutMs) {
    for (const QString& path : CommandSocket::candidatePaths(request.workDir)) {
        // A socket another user could have made, or may open, is not ours to trust.
        if (!CommandSocket::isUsersOwn(path))
            continue;
        QLocalSocket socket;
        socket.connectToServer(path);
        if (!socket.waitForConnected(kConnectTimeoutMs))
            continue;
        if (!CommandSocket::peerIsUser(socket.socketDescriptor())) {
            socket.abort();
            continue;
        }
        socket.write(CommandProtocol::encodeRequest(request));
        const QDeadlineTimer deadline(timeoutMs);
        FrameReader reader(CommandProtocol::kMaxAnswerBytes);
        while (reader.state() == FrameReader::State::Incomplete) {
            if (socket.bytesAvailable() == 0 && !socket.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
                break;
            reader.add(socket.readAll());
        }
        if (reader.state() == FrameReader::State::Incomplete)
            return noAnswer(request, deadline.hasExpired() ? QStringLiteral("did not answer in time")
                                                           : QStringLiteral("closed the connection"));
        QString error;
        const std::optional<CommandProtocol::Answer> answer = reader.state() == FrameReader::State::Complete
                                                                  ? CommandProtocol::parseAnswer(reader.body(), error)
                                                                  : std::nullopt;
        if (!answer)
            return noAnswer(request, QStringLiteral("gave an answer that cannot be read"));
        return answer;
    }
    return std::nullopt;
}

} // namespace CommandClient
