#include "server/salesorder/SaveRights.h"

#include "platform/text/ByteText.h"

#include <vector>

namespace orvane {

namespace {

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
    edit_[0] = granted(fields, 3, 3);
    delete_[0] = granted(fields, 3, 4);
    for (std::size_t recordClass = 1; recordClass <= 2; ++recordClass) {
        edit_[recordClass] = granted(fields, 3 + recordClass, 1);
        delete_[recordClass] = granted(fields, 3 + recordClass, 2);
    }
}

bool SaveRights::allows(OrderChange change, std::string_view creator, std::string_view group) const
{
    if (change == OrderChange::Add)
        return add_;
    const std::size_t recordClass = recordLevel_ ? classOf(creator, group) : 0;
    return change == OrderChange::Edit ? edit_[recordClass] : delete_[recordClass];
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
    const char* what = change == OrderChange::Add    ? "add this order"
                       : change == OrderChange::Edit ? "change this order"
                                                     : "delete this order";
    return "您没有使用本程序的权限! (no right to " + std::string(what) + "): " + std::string(record);
}

} // namespace orvane
