#include "platform/rpc/FrameScanner.h"
#include "platform/rpc/FrameReader.h"
#include "platform/rpc/RpcErrorOf.h"

#include "support/Contains.h"

#include <gtest/gtest.h>

#include <string>

namespace orvane::test {
namespace {

std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (const int v : values)
        out.push_back(static_cast<char>(v));
    return out;
}

struct CompleteCase {
    const char* name;
    std::string value;
};

TEST(FrameScannerTest, FindsTheEndOfEveryKindOfValueAtEveryCut)
{
    const CompleteCase cases[] = {
        {"fixint", bytes({0x05})},
        {"negative fixint", bytes({0xff})},
        {"uint64", bytes({0xcf, 0, 0, 0, 0, 0, 0, 0, 1})},
        {"float64", bytes({0xcb, 0x3f, 0xf0, 0, 0, 0, 0, 0, 0})},
        {"str8", bytes({0xd9, 3, 'a', 'b', 'c'})},
        {"empty array", bytes({0x90})},
        {"fixext1", bytes({0xd4, 2, 7})},
        {"ext8 empty", bytes({0xc7, 0, 0})},
        {"nested", bytes({0x94, 0x00, 0x01, 0xa3, 'g', 'e', 't', 0x92, 0x91, 0x90, 0xc0})},
        {"map", bytes({0x82, 0xa1, 'a', 0x01, 0xa1, 'b', 0x92, 0xc2, 0xc3})},
        {"array16", bytes({0xdc, 0, 2, 0xc0, 0xc0})},
    };
    const RpcLimits limits;
    for (const auto& c : cases) {
        for (std::size_t cut = 0; cut < c.value.size(); ++cut) {
            FrameScanner scanner(limits);
            EXPECT_FALSE(scanner.scan(c.value.substr(0, cut))) << c.name << " cut at " << cut;
            EXPECT_EQ(scanner.scan(c.value + "\x01\x02"), c.value.size()) << c.name << " resumed at " << cut;
        }
    }
}

struct RefusedCase {
    const char* name;
    std::string value;
    const char* textPart;
};

TEST(FrameScannerTest, RefusesInvalidBytesAndBrokenLimitsBeforeWaitingForData)
{
    const RpcLimits limits{.maxFrameBytes = 1024, .maxDepth = 4, .maxElements = 100};
    std::string deep(5, static_cast<char>(0x91));
    deep.push_back(0);
    std::string deepEmpty(4, static_cast<char>(0x91)); // the fifth level an empty map, as the decoder counts it
    deepEmpty.push_back(static_cast<char>(0x80));
    const RefusedCase cases[] = {
        {"reserved byte", bytes({0x92, 0x01, 0xc1}), "0xc1"},
        {"huge str32", bytes({0xdb, 0xff, 0xff, 0xff, 0xff}), "exceeds the limit of 1024"},
        {"huge bin32", bytes({0xc6, 0x7f, 0xff, 0xff, 0xff}), "exceeds the limit"},
        {"huge ext32", bytes({0xc9, 0x00, 0x10, 0x00, 0x00, 0x01}), "exceeds the limit"},
        {"huge array32", bytes({0xdd, 0xff, 0xff, 0xff, 0xff}), "elements"},
        {"huge map32", bytes({0xdf, 0x00, 0x00, 0x00, 0x40}), "elements"},
        {"deep nesting", deep, "deeper than the limit of 4"},
        {"deep empty container", deepEmpty, "deeper than the limit of 4"},
    };
    for (const auto& c : cases) {
        const auto [code, text] = rpcErrorOf([&] { FrameScanner(limits).scan(c.value); });
        EXPECT_EQ(code, RpcErrorCode::MalformedFrame) << c.name;
        EXPECT_TRUE(contains(text, c.textPart)) << c.name;
    }
}

TEST(FrameScannerTest, RequireWholeRefusesTruncatedAndTrailingBytes)
{
    const RpcLimits limits;
    EXPECT_NO_THROW(FrameScanner::requireWhole(bytes({0x92, 0x01, 0x02}), limits, "frame"));
    EXPECT_THROW(FrameScanner::requireWhole(bytes({0x92, 0x01}), limits, "frame"), RpcError);
    EXPECT_THROW(FrameScanner::requireWhole(bytes({0x92, 0x01, 0x02, 0x03}), limits, "frame"), RpcError);
    EXPECT_THROW(FrameScanner::requireWhole("", limits, "frame"), RpcError);
}

TEST(FrameScannerTest, RpcFrameReaderSplitsAStreamIntoFramesWhateverTheChunks)
{
    const std::string stream = bytes({0x92, 0x01, 0xa2, 'h', 'i', 0xc0, 0x91, 0xcd, 0x01, 0x00});
    for (std::size_t chunk = 1; chunk <= stream.size(); ++chunk) {
        FrameReader reader{RpcLimits{}};
        std::vector<std::string> frames;
        for (std::size_t at = 0; at < stream.size(); at += chunk) {
            reader.append(std::string_view(stream).substr(at, chunk));
            while (const auto frame = reader.next())
                frames.emplace_back(*frame);
        }
        ASSERT_EQ(frames.size(), 3u) << "chunk " << chunk;
        EXPECT_EQ(frames[0], stream.substr(0, 5));
        EXPECT_EQ(frames[1], stream.substr(5, 1));
        EXPECT_EQ(frames[2], stream.substr(6));
        EXPECT_TRUE(reader.idle());
    }
}

// The frames that came with one are seen without being taken; a partial or broken one ends them.
TEST(FrameScannerTest, RpcFrameReaderShowsTheFramesThatFollowWithoutTakingThem)
{
    const std::string stream = bytes({0x92, 0x01, 0xa2, 'h', 'i', 0xc0, 0x91, 0xcd, 0x01});
    FrameReader reader{RpcLimits{}};
    reader.append(stream);
    ASSERT_TRUE(reader.next());
    EXPECT_EQ(reader.following(8), (std::vector<std::string_view>{stream.substr(5, 1)}));
    EXPECT_EQ(reader.next(), stream.substr(5, 1));
    EXPECT_TRUE(reader.following(8).empty()) << "the last frame is still partial";

    FrameReader broken{RpcLimits{}};
    broken.append(bytes({0xc0, 0xc0, 0xc1, 0xc0}));
    ASSERT_TRUE(broken.next());
    EXPECT_EQ(broken.following(8).size(), 1u);
    EXPECT_TRUE(broken.next());
    EXPECT_THROW(broken.next(), RpcError) << "0xc1 is never a value";
}

} // namespace
} // namespace orvane::test
