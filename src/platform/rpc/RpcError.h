#pragma once
// Errors of the wire protocol. Codes travel in error responses ("code" of the error
// map); a few are raised only on the client (connection failures).

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orvane {

enum class RpcErrorCode : std::int64_t {
    MalformedFrame = 1,     // not valid MessagePack or not a valid frame; the connection closes
    UnknownMethod = 2,      // a method other than login, create, invoke, get, put, release
    InvalidArguments = 3,   // wrong argument count or argument type for a protocol method
    UnknownClass = 4,       // "create" with a class name the server does not know
    UnknownHandle = 5,      // an object handle that is not (or no longer) part of the session
    CallRejected = 6,       // the object refused the call: unknown member, wrong argument count...
    CallFailed = 7,         // the object raised an error while running the call
    LimitExceeded = 8,      // a limit of the server: objects, connections, failed logins, busy
    ConnectionFailed = 100, // client only: cannot connect, connection lost, no answer in time
};

// Name of a code as shown in texts and in the protocol documentation.
std::string_view errorCodeName(RpcErrorCode code);

// A failure of a remote call or of the connection; the text says what failed and where.
class RpcError : public std::runtime_error {
public:
    RpcError(RpcErrorCode code, const std::string& message) : std::runtime_error(message), code_(code) {}

    RpcErrorCode code() const { return code_; }

private:
    RpcErrorCode code_;
};

// Raises RpcError(MalformedFrame): the bytes break the format or a limit; `text` says which.
[[noreturn]] inline void throwMalformed(const std::string& text)
{
    throw RpcError(RpcErrorCode::MalformedFrame, text);
}

} // namespace orvane
