#pragma once
// A client of raw bytes, for the tests of what a server makes of frames no well-behaved client
// sends: request frames built by hand, written by a thread of its own (the server may stop
// reading or close), the answers read back as they come. Needs orvane_rpc.

#include "platform/rpc/FrameReader.h"
#include "platform/rpc/VariantCodec.h"
#include "platform/rpc/Wire.h"

#include <asio.hpp>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace orvane::test {

// The bytes of a request frame, its parameters encoded as variants (integers stand for handles;
// no object may be among them).
inline std::string requestFrame(std::uint32_t id, std::string_view method, const std::vector<Variant>& params)
{
    struct NoHandles : HandleMapper {
        std::uint64_t handleFor(const DispatchPtr&) override { return 0; }
        DispatchPtr objectFor(std::uint64_t) override { return {}; }
    } handles;
    const RpcLimits limits;
    const TextCodec text;
    wire::Buffer out;
    wire::packRequestHead(out, id, method, static_cast<std::uint32_t>(params.size()));
    for (const auto& param : params)
        VariantCodec(handles, limits, text).encode(out, param);
    return std::string(out.data(), out.size());
}

class RawClient {
public:
    // Connects to the loopback server from the loopback address `from`.
    explicit RawClient(std::uint16_t port, const char* from = "127.0.0.1") : socket_(io_)
    {
        socket_.open(asio::ip::tcp::v4());
        socket_.bind({asio::ip::make_address(from), 0});
        socket_.connect({asio::ip::make_address("127.0.0.1"), port});
    }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;
    ~RawClient()
    {
        std::error_code ignored;
        socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
        if (writer_.joinable())
            writer_.join();
    }

    // Writes `bytes` `times` times, stopping at the first error.
    void send(std::string bytes, std::size_t times = 1)
    {
        if (writer_.joinable())
            writer_.join();
        writer_ = std::thread([this, bytes = std::move(bytes), times] {
            std::error_code error;
            for (std::size_t i = 0; i < times && !error; ++i)
                asio::write(socket_, asio::buffer(bytes), error);
        });
    }
    // Ends the sending side once everything sent is written, as a client that stops halfway does.
    void finishSending()
    {
        if (writer_.joinable())
            writer_.join();
        std::error_code ignored;
        socket_.shutdown(asio::ip::tcp::socket::shutdown_send, ignored);
    }
    // The answers until the server closes, or until `count` answers have come.
    std::vector<wire::Response> answers(std::size_t count = SIZE_MAX)
    {
        FrameReader reader(RpcLimits{});
        std::vector<wire::Response> answers;
        char chunk[65536];
        std::error_code error;
        while (answers.size() < count && !error) {
            reader.append(std::string_view(chunk, socket_.read_some(asio::buffer(chunk), error)));
            while (const auto frame = reader.next()) {
                frames_.push_back(wire::unpackWhole(*frame, RpcLimits{}, "answer"));
                answers.push_back(wire::parseResponse(frames_.back().get()));
            }
        }
        return answers;
    }
    // True when the server closed the connection (within the call timeout of a read).
    bool closedByServer()
    {
        char byte;
        std::error_code error;
        socket_.read_some(asio::buffer(&byte, 1), error);
        return error == asio::error::eof || error == asio::error::connection_reset;
    }

private:
    asio::io_context io_;
    asio::ip::tcp::socket socket_;
    std::thread writer_;
    std::vector<msgpack::object_handle> frames_;
};

} // namespace orvane::test
