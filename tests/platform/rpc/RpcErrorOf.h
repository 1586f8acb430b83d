#pragma once
// The code and text of the RpcError a piece of work raises, for the transport's tests.

#include "platform/rpc/RpcError.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>

namespace orvane::test {

// The code and text of the RpcError work raises; a failed test and an empty text when it raises none.
inline std::pair<RpcErrorCode, std::string> rpcErrorOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const RpcError& e) {
        return {e.code(), e.what()};
    }
    ADD_FAILURE() << "no RpcError raised";
    return {};
}

} // namespace orvane::test
