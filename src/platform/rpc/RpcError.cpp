#include "platform/rpc/RpcError.h"

namespace orvane {

std::string_view errorCodeName(RpcErrorCode code)
{
    switch (code) {
    case RpcErrorCode::MalformedFrame: return "MalformedFrame";
    case RpcErrorCode::UnknownMethod: return "UnknownMethod";
    case RpcErrorCode::InvalidArguments: return "InvalidArguments";
    case RpcErrorCode::UnknownClass: return "UnknownClass";
    case RpcErrorCode::UnknownHandle: return "UnknownHandle";
    case RpcErrorCode::CallRejected: return "CallRejected";
    case RpcErrorCode::CallFailed: return "CallFailed";
    case RpcErrorCode::LimitExceeded: return "LimitExceeded";
    case RpcErrorCode::ConnectionFailed: return "ConnectionFailed";
    }
    return "Unknown";
}

} // namespace orvane
