#include "shell/ProgramCatalog.h"

#include "platform/text/ByteText.h"

namespace orvane {

namespace {

// Columns of a "ProgramList" row.
enum Column { IdColumn, NameColumn, MayRunColumn, SuperUserColumn, RightsColumn, ColumnCount };

bool yes(std::string_view flag)
{
    return flag == "Y" || flag == "y";
}

} // namespace

ProgramCatalog::ProgramCatalog(DispatchPtr services, std::string companyId)
    : services_(std::move(services)), companyId_(std::move(companyId))
{}

Variant ProgramCatalog::call(std::string_view method, Variant args)
{
    // No company database in the context: the server takes the session's.
    std::vector<Variant> callArgs{std::string(method), Variant::arrayOf({companyId_, ""}), std::move(args)};
    return services_->invoke("GETCOUNTER", callArgs);
}

std::string ProgramCatalog::companyDatabase()
{
    return call("CompanyDatabase", Variant()).toString();
}

std::vector<ProgramEntry> ProgramCatalog::programs()
{
    return entries(call("ProgramList", Variant()));
}

std::optional<ProgramEntry> ProgramCatalog::find(std::string_view programId)
{
    std::vector<ProgramEntry> found = entries(call("ProgramList", Variant::arrayOf({std::string(programId)})));
    if (found.empty())
        return std::nullopt;
    return std::move(found.front());
}

std::vector<ProgramEntry> ProgramCatalog::entries(const Variant& answer)
{
    std::vector<ProgramEntry> programs;
    if (!answer.isArray())
        return programs;
    for (const Variant& row : answer.array().elements()) {
        if (!row.isArray() || row.array().size() < ColumnCount)
            throw DispatchError("ProgramList answered a row of " +
                                std::to_string(row.isArray() ? row.array().size() : 0) + " columns, not " +
                                std::to_string(ColumnCount));
        const auto column = [&row](Column c) { return row.array().elements()[c].toString(); };
        programs.push_back({column(IdColumn), column(NameColumn), yes(column(MayRunColumn)),
                            yes(column(SuperUserColumn)), column(RightsColumn)});
    }
    return programs;
}

std::uint8_t rightsMask(const ProgramEntry& program)
{
    constexpr std::uint8_t full = 0xFF;
    if (program.superUser)
        return full;
    // The rights text is "F0,F1,..."; a missing field grants nothing.
    const std::vector<std::string> fields = text::splitList(program.rightsText, ',', text::ListItems::AsWritten);
    const auto granted = [&](std::size_t n) { return n < fields.size() && yes(fields[n]); };
    std::uint8_t mask = full;
    if (!granted(1))
        mask &= static_cast<std::uint8_t>(~(0x02 | 0x08));
    if (!granted(2))
        mask &= static_cast<std::uint8_t>(~0x04);
    return mask;
}

} // namespace orvane
