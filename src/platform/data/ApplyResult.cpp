#include "platform/data/ApplyResult.h"

#include "platform/data/DataSetError.h"
#include "platform/data/PacketShape.h"

namespace orvane {

Variant ApplyResult::toVariant() const
{
    std::vector<Variant> encoded;
    encoded.reserve(errors.size());
    for (const ApplyError& error : errors) {
        encoded.push_back(
            Variant::arrayOf({Variant(static_cast<long long>(error.recordId)), Variant(static_cast<int>(error.kind)),
                              Variant(error.message), Variant(error.context), Variant(error.previousError),
                              Variant::arrayOf(error.currentValues)}));
    }
    return Variant::arrayOf({Variant(applied), Variant(errorCount), Variant::arrayOf(std::move(encoded))});
}

ApplyResult ApplyResult::fromVariant(const Variant& value)
{
    const auto parts = packet::elementsOf(value, "Apply result", 3);
    ApplyResult result;
    result.applied = packet::booleanOf(parts[0], "Apply result applied flag");
    const std::int64_t count = packet::integerOf(parts[1], "Apply result error count");
    if (count < 0) {
        throw PacketError("Apply result: negative error count " + std::to_string(count));
    }
    result.errorCount = static_cast<int>(count);
    const auto errors = packet::elementsOf(parts[2], "Apply result errors");
    for (std::size_t i = 0; i < errors.size(); ++i) {
        const std::string at = "Apply result error " + std::to_string(i + 1);
        const auto fields = packet::elementsOf(errors[i], at, 6);
        ApplyError error;
        error.recordId = static_cast<std::uint64_t>(packet::integerOf(fields[0], at + " record id"));
        error.kind = packet::updateKindOf(fields[1], at + " kind");
        error.message = packet::textOf(fields[2], at + " message");
        error.context = packet::textOf(fields[3], at + " context");
        error.previousError = static_cast<int>(packet::integerOf(fields[4], at + " previous error"));
        const auto current = packet::elementsOf(fields[5], at + " current values");
        error.currentValues.assign(current.begin(), current.end());
        result.errors.push_back(std::move(error));
    }
    return result;
}

} // namespace orvane
