#include "platform/lookup/LookupRequest.h"

#include "platform/lookup/LookupElements.h"

#include <vector>

namespace orvane {

namespace {

// Positions of the members in the array, in declaration order.
enum RequestElement : std::size_t {
    Table,
    Kind,
    Keys,
    TakeFirstRow,
    Text,
    CompanyId,
    CompanyDb,
    WindowHandle,
    FixedOne,
    SecondFlag,
    ShellTag,
    Commands33or35,
    Commands32or34,
    FirstRow,
    PageRows,
    WithoutPage = FirstRow,
    WithPage = PageRows + 1,
};

Variant checkedKeys(const LookupElements& elements)
{
    const Variant& keys = elements.value(Keys);
    if (keys.isDispatch())
        elements.refuse(Keys, "keys", "is an object, not a value or a list");
    if (keys.isArray() && keys.dimensions() != 1)
        elements.refuse(Keys, "keys", "is a two-dimensional array, not a list");
    return keys;
}

LookupPage checkedPage(const LookupElements& elements)
{
    LookupPage page{elements.integer(FirstRow, "first row"), elements.integer(PageRows, "rows wanted")};
    if (page.firstRow < 0)
        elements.refuse(FirstRow, "first row", "is " + std::to_string(page.firstRow) + ", below 0");
    if (page.rows < 1 || page.rows > LookupPage::maxRows)
        elements.refuse(PageRows, "rows wanted",
                        "is " + std::to_string(page.rows) + ", outside 1.." + std::to_string(LookupPage::maxRows));
    return page;
}

} // namespace

Variant LookupRequest::toVariant() const
{
    std::vector<Variant> elements{table,     kind,           keys,          takeFirstRow, text,
                                  companyId, companyDb,      windowHandle,  fixedOne,     secondFlag,
                                  shellTag,  commands33or35, commands32or34};
    if (page) {
        elements.emplace_back(page->firstRow);
        elements.emplace_back(page->rows);
    }
    return Variant::arrayOf(std::move(elements));
}

LookupRequest LookupRequest::fromVariant(const Variant& request)
{
    const LookupElements elements(request, "Lookup request", {WithoutPage, WithPage});
    LookupRequest decoded{
        .table = elements.text(Table, "table"),
        .kind = elements.text(Kind, "kind"),
        .keys = checkedKeys(elements),
        .takeFirstRow = elements.flag(TakeFirstRow, "take the first row"),
        .text = elements.text(Text, "text"),
        .companyId = elements.text(CompanyId, "company identifier"),
        .companyDb = elements.text(CompanyDb, "company database"),
        .windowHandle = elements.integer(WindowHandle, "window handle"),
        .fixedOne = elements.integer(FixedOne, "fixed 1"),
        .secondFlag = elements.flag(SecondFlag, "second flag"),
        .shellTag = elements.integer(ShellTag, "shell tag"),
        .commands33or35 = elements.flag(Commands33or35, "command 33 or 35"),
        .commands32or34 = elements.flag(Commands32or34, "command 32 or 34"),
    };
    if (elements.size() == WithPage)
        decoded.page = checkedPage(elements);
    return decoded;
}

} // namespace orvane
