#include "framework/RecordRights.h"

#include "platform/text/ByteText.h"

#include <array>
#include <string>

namespace orvane {

namespace {

// The elements of edit, delete, confirm, unconfirm and void for each record class.
constexpr std::array<std::array<std::size_t, 5>, 3> classBits{{
    {39, 40, 41, 42, 36}, // own
    {46, 47, 48, 49, 50}, // group
    {53, 54, 55, 56, 57}, // others
}};

} // namespace

RightFlags programRights(const CommandSet& commands)
{
    RightFlags flags;
    flags.canQuery = commands.test(37);
    flags.canAdd = commands.test(38);
    flags.canPrint = commands.test(43);
    flags.canCopy = commands.test(44);
    flags.priceVisible = commands.test(32) || commands.test(34);
    flags.priceReadOnly = commands.test(34);
    flags.protectedVisible = commands.test(33) || commands.test(35);
    flags.protectedReadOnly = commands.test(35);
    flags.recordLevel = commands.test(45);
    applyRecordClass(flags, commands, RecordClass::Own);
    return flags;
}

void applyRecordClass(RightFlags& flags, const CommandSet& commands, RecordClass recordClass)
{
    const auto& bits = classBits[static_cast<std::size_t>(recordClass)];
    flags.canEdit = commands.test(bits[0]);
    flags.canDelete = commands.test(bits[1]);
    flags.canConfirm = commands.test(bits[2]);
    flags.canUnConfirm = commands.test(bits[3]);
    flags.canInvalid = commands.test(bits[4]);
}

RecordClass recordClassOf(std::string_view creator, std::string_view group, std::string_view user,
                          std::string_view groupList)
{
    const std::string who = text::trim(creator);
    if (who.empty() || who == text::trim(user))
        return RecordClass::Own;
    const std::string name = text::trim(group);
    if (!name.empty() && (groupList.find("'" + name + "'") != std::string_view::npos ||
                          groupList.find("\"" + name + "\"") != std::string_view::npos))
        return RecordClass::Group;
    return RecordClass::Others;
}

} // namespace orvane
