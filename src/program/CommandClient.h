// orlamo-cli's side of the command socket.
#pragma once

#include "program/CommandProtocol.h"

#include <optional>

namespace CommandClient {

/// How long orlamo-cli waits for the answer: the server waits up to its request time-out for its
/// event loop, and then the command runs (a delete of many recordings takes a while).
constexpr int kAnswerTimeoutMs = 60000;

/// Hands `request` to the process that holds the catalogue of request.workDir. Nothing when no
/// such process listens on a socket of this user's own (the caller then refuses as before);
/// otherwise its answer, or an answer with status 1 telling that it did not answer.
std::optional<CommandProtocol::Answer> send(const CommandProtocol::Request& request, int timeoutMs = kAnswerTimeoutMs);

} // namespace CommandClient
