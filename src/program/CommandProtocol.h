// The messages between orlamo-cli and the process that holds the catalogue.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

/// One message on the command socket is a frame: four bytes of length (big-endian) and that many
/// bytes of a UTF-8 JSON object. A connection carries one request and its answer.
///
///     request  {"version": 1, "command": "memo", "args": ["12", "a text"], "workDir": "/home/ann/calls"}
///     answer   {"version": 1, "status": 0, "out": "", "err": ""}
///
/// The other end is another process: every field is checked, and a message that is not exactly
/// this shape is refused with the reason.
namespace CommandProtocol {

constexpr int kVersion = 1;
/// A request is a command line; a longer one is refused before its body is read.
constexpr qint64 kMaxRequestBytes = 256 * 1024;
/// An answer is what the command printed.
constexpr qint64 kMaxAnswerBytes = 4 * 1024 * 1024;
constexpr int kMaxArguments = 10000;
constexpr int kMaxCommandLength = 32;

struct Request {
    QString command; ///< "memo", "delete", "move", "mail" or "list"
    QStringList args;
    QString workDir; ///< the working folder the caller means
};

struct Answer {
    int status = 1; ///< the exit status, 0 to 255
    QString out;    ///< for standard output
    QString err;    ///< for standard error
};

/// The frame of a request or an answer.
QByteArray encodeRequest(const Request& request);
QByteArray encodeAnswer(const Answer& answer);

/// The request in a frame's body, or nothing with the reason in `error`.
std::optional<Request> parseRequest(const QByteArray& body, QString& error);
/// The answer in a frame's body, or nothing with the reason in `error`.
std::optional<Answer> parseAnswer(const QByteArray& body, QString& error);

} // namespace CommandProtocol

/// Collects one frame from the bytes of a connection, as they come.
class FrameReader {
public:
    enum class State {
        Incomplete, ///< more bytes are needed
        Complete,   ///< body() holds the frame's body
        TooLarge,   ///< the length exceeds the limit: the body is never read
        Trailing,   ///< bytes followed the frame: a connection carries one message
    };

    explicit FrameReader(qint64 maxBody) : m_maxBody(maxBody) {}

    /// Adds the bytes read; once it is not Incomplete the state stays.
    State add(const QByteArray& bytes);
    State state() const { return m_state; }
    QByteArray body() const { return m_state == State::Complete ? m_buffer.mid(4) : QByteArray(); }
    /// Bytes more this frame may take: the rest of the body, or four for the length.
    qint64 wanted() const;

private:
    qint64 m_maxBody;
    qint64 m_length = -1;
    QByteArray m_buffer;
    State m_state = State::Incomplete;
};
