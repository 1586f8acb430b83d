#include "services/BrokerAnswers.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <span>

namespace orvane {

namespace {

// A hash of a key's leading texts (the component method, the table and kind or the method name):
// keys that differ there are told apart without a comparison; equal keys always share it.
std::size_t hashOf(const Variant& key)
{
    std::size_t hash = 0;
    if (!key.isArray())
        return hash;
    for (const Variant& element : key.array().elements()) {
        if (!element.isString())
            break;
        hash = hash * 31 + std::hash<std::string_view>{}(element.asString());
    }
    return hash;
}

} // namespace

Variant BrokerAnswers::keyOf(std::string_view componentMethod, std::initializer_list<Variant> arguments)
{
    std::vector<Variant> key{Variant(std::string(componentMethod))};
    key.insert(key.end(), arguments.begin(), arguments.end());
    return Variant::arrayOf(std::move(key));
}

const BrokerAnswers::Answer* BrokerAnswers::find(const Variant& key) const
{
    return find(key, hashOf(key));
}

const BrokerAnswers::Answer* BrokerAnswers::find(const Variant& key, std::size_t hash) const
{
    const auto it =
        std::ranges::find_if(answers_, [&](const Kept& kept) { return kept.hash == hash && kept.key == key; });
    return it == answers_.end() ? nullptr : &it->answer;
}

void BrokerAnswers::keep(Variant key, Answer answer)
{
    const std::size_t hash = hashOf(key);
    if (find(key, hash) == nullptr)
        answers_.push_back({hash, std::move(key), std::move(answer)});
}

void BrokerAnswers::keepForeseen(Variant answer)
{
    // The entries of part index (0 lookups, 1 methods) that are arrays of width values.
    const auto entries = [&answer](std::size_t index, std::size_t width) {
        std::vector<std::span<Variant>> found;
        if (!answer.isArray() || answer.dimensions() != 1 || answer.array().size() != 2)
            return found;
        Variant& part = answer.array().elements()[index];
        if (!part.isArray() || part.dimensions() != 1)
            return found;
        for (Variant& entry : part.array().elements())
            if (entry.isArray() && entry.dimensions() == 1 && entry.array().size() == width)
                found.push_back(entry.array().elements());
        return found;
    };
    const auto key = [](std::string_view componentMethod, std::span<Variant> call) {
        std::vector<Variant> elements{Variant(std::string(componentMethod))};
        std::move(call.begin(), call.end(), std::back_inserter(elements));
        return Variant::arrayOf(std::move(elements));
    };
    for (const std::span<Variant> lookup : entries(0, 5))
        keep(key("CheckValue", lookup.first(3)), {std::move(lookup[3]), std::move(lookup[4])});
    for (const std::span<Variant> method : entries(1, 3))
        keep(key("GETCOUNTER", method.first(2)), {std::move(method[2]), {}});
}

} // namespace orvane
