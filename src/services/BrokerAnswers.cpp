#include "services/BrokerAnswers.h"

#include <algorithm>

namespace orvane {

Variant BrokerAnswers::keyOf(std::string_view componentMethod, std::initializer_list<Variant> arguments)
{
    std::vector<Variant> key{Variant(std::string(componentMethod))};
    key.insert(key.end(), arguments.begin(), arguments.end());
    return Variant::arrayOf(std::move(key));
}

const BrokerAnswers::Answer* BrokerAnswers::find(const Variant& key) const
{
    const auto it = std::ranges::find_if(answers_, [&key](const auto& kept) { return kept.first == key; });
    return it == answers_.end() ? nullptr : &it->second;
}

void BrokerAnswers::keep(Variant key, Answer answer)
{
    if (find(key) == nullptr)
        answers_.emplace_back(std::move(key), std::move(answer));
}

} // namespace orvane
