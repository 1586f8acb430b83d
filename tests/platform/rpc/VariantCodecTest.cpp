#include "platform/rpc/VariantCodec.h"
#include "platform/rpc/RpcErrorOf.h"
#include "support/Contains.h"
#include "support/ErrorOf.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace orvane::test {
namespace {

using namespace std::string_literals;

// Knows no objects: no value these cases encode or decode names a live one.
class NoObjects : public HandleMapper {
public:
    std::uint64_t handleFor(const DispatchPtr&) override { throw std::logic_error("no objects here"); }
    DispatchPtr objectFor(std::uint64_t handle) override
    {
        throw RpcError(RpcErrorCode::UnknownHandle, "unknown object handle " + std::to_string(handle));
    }
};

class VariantCodecTest : public ::testing::Test {
protected:
    std::string encode(const Variant& value)
    {
        wire::Buffer out;
        VariantCodec(mapper, limits, text).encode(out, value);
        return std::string(out.data(), out.size());
    }
    Variant decode(const std::string& bytes)
    {
        const auto unpacked = wire::unpackWhole(bytes, limits, "value");
        return VariantCodec(mapper, limits, text).decode(unpacked.get());
    }
    Variant roundTrip(const Variant& value) { return decode(encode(value)); }

    NoObjects mapper;
    RpcLimits limits;
    TextCodec text;
};

Variant twoDimensional(ArrayBounds first, ArrayBounds second)
{
    Variant array = Variant::createArray(first, second);
    int n = 0;
    for (auto& element : array.array().elements())
        element = Variant(n++);
    return array;
}

TEST_F(VariantCodecTest, EveryKindOfVariantComesBackEqual)
{
    Variant shifted = Variant::createArray(5, 7);
    shifted[5] = Variant("five");
    shifted[7] = Variant::arrayOf({1, 2.5});
    const std::pair<const char*, Variant> cases[] = {
        {"unassigned", Variant()},
        {"null", Variant::null()},
        {"true", Variant(true)},
        {"largest integer", Variant(std::numeric_limits<long long>::max())},
        {"smallest integer", Variant(std::numeric_limits<long long>::min())},
        {"integral float", Variant(2.0)},
        {"tiny float", Variant(std::numeric_limits<double>::denorm_min())},
        {"empty string", Variant("")},
        {"string with zero byte", Variant(std::string("a\0b", 3))},
        {"empty array", Variant::arrayOf({})},
        {"nested arrays", Variant::arrayOf({1, Variant::arrayOf({"x", Variant::arrayOf({})}), Variant::null()})},
        {"array with low bound 5", shifted},
        {"empty array with low bound 3", Variant::createArray(3, 2)},
        {"two dimensions", twoDimensional({1, 2}, {-1, 1})},
        {"two dimensions from 0", twoDimensional({0, 1}, {0, 12})},
        {"two dimensions, one empty", twoDimensional({0, 4}, {1, 0})},
    };
    for (const auto& [name, value] : cases)
        EXPECT_EQ(roundTrip(value), value) << name; // equal: of the same type and bounds
    EXPECT_TRUE(std::signbit(roundTrip(Variant(-0.0)).asFloat()));
    EXPECT_TRUE(std::isnan(roundTrip(Variant(std::nan(""))).asFloat()));
}

TEST_F(VariantCodecTest, UsesTheDocumentedWireForms)
{
    EXPECT_EQ(encode(Variant()), std::string("\xc7\x00\x00", 3));
    EXPECT_EQ(encode(Variant::null()), "\xc0");
    EXPECT_EQ(encode(Variant(2.0)), std::string("\xcb\x40\x00\x00\x00\x00\x00\x00\x00", 9));
    EXPECT_EQ(encode(Variant::arrayOf({1, "a"})), "\x92\x01\xa1"s + "a");
    // [[1, 2], [-1, 1], [0, 1]] inside extension type 1
    const auto bounded = encode(twoDimensional({1, 2}, {-1, 0}));
    EXPECT_EQ(bounded, std::string("\xc7\x0c\x01\x93\x92\x01\x02\x92\xff\x02\x94\x00\x01\x02\x03", 15));
}

TEST_F(VariantCodecTest, RefusesWhatIsNotAVariant)
{
    limits.maxDepth = 8;
    const std::pair<const char*, std::string> cases[] = {
        {"binary", std::string("\xc4\x01\x00", 3)},
        {"map", std::string("\x81\x01\x02", 3)},
        {"unknown extension", std::string("\xd4\x05\x00", 3)},
        {"unassigned with payload", std::string("\xd4\x00\x00", 3)},
        {"integer above int64", std::string("\xcf\xff\xff\xff\xff\xff\xff\xff\xff", 9)},
        {"handle zero", std::string("\xd4\x02\x00", 3)},
        {"handle not an integer", std::string("\xd4\x02\xc0", 3)},
        {"array payload not an array", std::string("\xd4\x01\x05", 3)},
        {"array payload with 4 parts", std::string("\xc7\x05\x01\x94\x90\x90\x90\x90", 8)},
        {"count does not match elements", std::string("\xc7\x06\x01\x92\x92\x00\x02\x91\x01", 9)},
        {"negative count", std::string("\xc7\x05\x01\x92\x92\x00\xff\x90", 8)},
        {"bounds beyond int", std::string("\xc7\x0b\x01\x92\x92\xce\x7f\xff\xff\xff\x02\x92\xc0\xc0", 14)},
        {"empty dimension below the int range", std::string("\xc7\x09\x01\x92\x92\xd2\x80\x00\x00\x00\x00\x90", 12)},
        {"truncated payload", std::string("\xc7\x03\x01\x92\x92\x00", 6)},
        {"payload declares a huge array", std::string("\xc7\x09\x01\x92\x92\x00\x01\xdd\xff\xff\xff\xff", 12)},
        {"arrays nested too deep", std::string(9, '\x91') + '\x00'},
    };
    for (const auto& [name, bytes] : cases) {
        const auto [code, text] = rpcErrorOf([&] { decode(bytes); });
        EXPECT_EQ(code, RpcErrorCode::MalformedFrame) << name << ": " << text;
    }
}

// Bounded arrays travel in extension payloads of their own: their depth and their elements still
// count towards the frame's limits.
TEST_F(VariantCodecTest, ExtensionPayloadsCountTowardsTheDepthAndElementLimits)
{
    limits.maxDepth = 6;
    Variant value(1);
    for (int level = 0; level < 6; ++level) {
        Variant outer = Variant::createArray(1, 1);
        outer[1] = value;
        value = outer;
    }
    wire::Buffer out;
    EXPECT_THROW(VariantCodec(mapper, limits, text).encode(out, value), RpcError);
    limits.maxDepth = 7;
    const auto bytes = encode(value);
    EXPECT_EQ(decode(bytes), value);
    limits.maxDepth = 6;
    EXPECT_THROW(decode(bytes), RpcError);

    // Three arrays of 40 in payloads of their own: each within a budget of 100, not together.
    const Variant three =
        Variant::arrayOf({Variant::createArray(1, 40), Variant::createArray(1, 40), Variant::createArray(1, 40)});
    const auto wide = encode(three);
    limits.maxElements = 100;
    EXPECT_TRUE(contains(errorOf([&] { decode(wide); }), "limit of"));
    limits.maxElements = 130;
    EXPECT_EQ(decode(wide), three);
}

} // namespace
} // namespace orvane::test
