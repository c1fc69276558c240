// Frames and JSON of the command socket.
#include "program/CommandProtocol.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

namespace CommandProtocol {

namespace {

QByteArray frame(const QJsonObject& object) {
    const QByteArray body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    QByteArray bytes(4, '\0');
    qToBigEndian<quint32>(static_cast<quint32>(body.size()), bytes.data());
    return bytes + body;
}

// The object of a body with the version this program speaks.
std::optional<QJsonObject> versionedObject(const QByteArray& body, QString& error) {
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        error = QStringLiteral("not a JSON object");
        return std::nullopt;
    }
    const QJsonObject object = document.object();
    const QJsonValue version = object.value(QLatin1String("version"));
    if (!version.isDouble() || version.toDouble() != kVersion) {
        error = QStringLiteral("unsupported version");
        return std::nullopt;
    }
    return object;
}

// A text field; a command line never holds a NUL.
bool textField(const QJsonObject& object, const char* name, QString& value) {
    const QJsonValue field = object.value(QLatin1String(name));
    if (!field.isString())
        return false;
    value = field.toString();
    return !value.contains(QChar(u'\0'));
}

} // namespace

QByteArray encodeRequest(const Request& request) {
    return frame({{QStringLiteral("version"), kVersion},
                  {QStringLiteral("command"), request.command},
                  {QStringLiteral("args"), QJsonArray::fromStringList(request.args)},
                  {QStringLiteral("workDir"), request.workDir}});
}

QByteArray encodeAnswer(const Answer& answer) {
    return frame({{QStringLiteral("version"), kVersion},
                  {QStringLiteral("status"), answer.status},
                  {QStringLiteral("out"), answer.out},
                  {QStringLiteral("err"), answer.err}});
}

std::optional<Request> parseRequest(const QByteArray& body, QString& error) {
    const std::optional<QJsonObject> object = versionedObject(body, error);
    if (!object)
        return std::nullopt;
    Request request;
    if (!textField(*object, "command", request.command) || request.command.isEmpty() ||
        request.command.size() > kMaxCommandLength) {
        error = QStringLiteral("no command");
        return std::nullopt;
    }
    if (!textField(*object, "workDir", request.workDir) || request.workDir.isEmpty()) {
        error = QStringLiteral("no working folder");
        return std::nullopt;
    }
    const QJsonValue args = object->value(QLatin1String("args"));
    if (!args.isArray() || args.toArray().size() > kMaxArguments) {
        error = QStringLiteral("no argument list");
        return std::nullopt;
    }
    for (const QJsonValue& arg : args.toArray()) {
        if (!arg.isString() || arg.toString().contains(QChar(u'\0'))) {
            error = QStringLiteral("an argument that is not a text");
            return std::nullopt;
        }
        request.args.append(arg.toString());
    }
    return request;
}

std::optional<Answer> parseAnswer(const QByteArray& body, QString& error) {
    const std::optional<QJsonObject> object = versionedObject(body, error);
    if (!object)
        return std::nullopt;
    Answer answer;
    const QJsonValue status = object->value(QLatin1String("status"));
    const double number = status.toDouble(-1);
    if (!status.isDouble() || number < 0 || number > 255 || number != static_cast<int>(number) ||
        !textField(*object, "out", answer.out) || !textField(*object, "err", answer.err)) {
        error = QStringLiteral("not an answer");
        return std::nullopt;
    }
    answer.status = static_cast<int>(number);
    return answer;
}

} // namespace CommandProtocol

FrameReader::State FrameReader::add(const QByteArray& bytes) {
    if (m_state != State::Incomplete)
        return m_state;
    m_buffer.append(bytes);
    if (m_length < 0 && m_buffer.size() >= 4) {
        m_length = qFromBigEndian<quint32>(m_buffer.constData());
        if (m_length > m_maxBody) {
            m_buffer.clear();
            return m_state = State::TooLarge;
        }
    }
    if (m_length < 0 || m_buffer.size() < 4 + m_length)
        return m_state;
    if (m_buffer.size() > 4 + m_length) {
        m_buffer.clear();
        return m_state = State::Trailing;
    }
    return m_state = State::Complete;
}

qint64 FrameReader::wanted() const {
    if (m_state != State::Incomplete)
        return 0;
    if (m_length < 0)
        return 4 - m_buffer.size();
    return 4 + m_length - m_buffer.size();
}
