// What an awaited AT command exchange came to.
#pragma once

/// Result codes of the awaited exchanges; callers treat only `AtResult::Ok` as success.
enum class AtResult {
    Ok,         ///< the expected reply came (for a query: "OK")
    NotQueued,  ///< the transmit buffer had less room than the command line, or the port is closed
    TimeOut,    ///< no recognisable reply within the reply time-out
    Error,      ///< the modem answered with an error
    Unexpected, ///< a reply was recognised, but not the expected one
    Busy,       ///< refused: another exchange is still waiting for its reply, or a call is being recorded
};
