#include "server/services/SaveRights.h"

#include "platform/text/ByteText.h"

#include <vector>

namespace orvane {

namespace {

// The positions of edit, delete, confirm, unconfirm and void in the fields of the user's own
// records (F3), the group's (F4) and others' (F5).
constexpr std::size_t positions[5][3] = {{3, 1, 1}, {4, 2, 2}, {5, 3, 3}, {6, 4, 4}, {9, 5, 5}};

// Whether field `index` of the rights text has "Y" at `position` (counted from 1).
bool granted(const std::vector<std::string>& fields, std::size_t index, std::size_t position)
{
    return index < fields.size() && position <= fields[index].size() && fields[index][position - 1] == 'Y';
}

bool quotedIn(std::string_view list, const std::string& name)
{
    return list.find("'" + name + "'") != std::string_view::npos ||
           list.find("\"" + name + "\"") != std::string_view::npos;
}

} // namespace

SaveRights::SaveRights(std::string_view powerData, std::string userId, std::string groupList)
    : userId_(text::trim(userId)), groupList_(std::move(groupList))
{
    if (powerData.empty())
        return;
    const std::vector<std::string> fields = text::splitList(powerData, ',', text::ListItems::AsWritten);
    add_ = granted(fields, 3, 2);
    recordLevel_ = granted(fields, 3, 12);
    for (std::size_t change = 0; change < std::size(positions); ++change) {
        for (std::size_t recordClass = 0; recordClass < 3; ++recordClass)
            granted_[change][recordClass] = granted(fields, 3 + recordClass, positions[change][recordClass]);
    }
}

bool SaveRights::allows(OrderChange change, std::string_view creator, std::string_view group) const
{
    if (change == OrderChange::Add)
        return add_;
    const std::size_t recordClass = recordLevel_ ? classOf(creator, group) : 0;
    return granted_[static_cast<std::size_t>(change) - 1][recordClass];
}

std::size_t SaveRights::classOf(std::string_view creator, std::string_view group) const
{
    const std::string who = text::trim(creator);
    if (who.empty() || who == userId_)
        return 0;
    const std::string name = text::trim(group);
    return !name.empty() && quotedIn(groupList_, name) ? 1 : 2;
}

std::string noRightText(OrderChange change, std::string_view record)
{
    static const char* const what[] = {"add", "change", "delete", "confirm", "unconfirm", "void"};
    return "您没有使用本程序的权限! (no right to " + std::string(what[static_cast<std::size_t>(change)]) +
           " the order): " + std::string(record);
}

} // namespace orvane
