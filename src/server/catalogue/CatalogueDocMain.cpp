// Prints the lookup catalogue as Markdown: the generated part of docs/catalogue.md.
#include "platform/text/ByteText.h"
#include "server/catalogue/LookupCatalogue.h"

#include <iostream>

namespace {

using namespace orvane;

std::string cell(std::string text)
{
    std::string out;
    for (char c : text)
        out += c == '|' ? std::string("\\|") : std::string(1, c);
    return out;
}

void print(const LookupEntry& e, bool window)
{
    std::string purpose = e.purpose;
    if (!purpose.empty())
        purpose[0] = text::upperAscii(purpose[0]);
    std::cout << "### " << e.table << " \"" << e.kind << "\"\n\n" << purpose << ". ";
    if (!window)
        std::cout << (e.shape == LookupShape::Counted ? "Column 0 is a count: found when above 0."
                                                      : "Data from column 0: found when a row exists.");
    std::cout << " " << e.columns.size() << " columns.";
    if (e.takeSingleMatch)
        std::cout << " A single exact match is taken without showing the list.";
    if (e.takeTypedCode)
        std::cout << " A row whose code is the typed text is taken without showing the list.";
    std::cout << "\n\nKeys: ";
    if (e.keys.empty())
        std::cout << "none";
    for (std::size_t i = 0; i < e.keys.size(); ++i)
        std::cout << (i ? ", " : "") << i << " " << e.keys[i] << (i >= e.requiredKeys ? " (optional)" : "");
    std::cout << ".\n\n`FROM " << cell(e.from) << "`\n\n| column | " << (window ? "label$kind" : "meaning")
              << " | SQL |\n|---|---|---|\n";
    for (std::size_t i = 0; i < e.columns.size(); ++i) {
        const LookupColumn& c = e.columns[i];
        if (c.sql == "''")
            continue; // unread positions: empty text
        std::cout << "| " << i << " | " << cell(window ? c.meaning + "$" + c.format : c.meaning) << " | `"
                  << cell(c.sql) << "` |\n";
    }
    std::cout << "\n";
}

} // namespace

int main()
{
    std::cout << "## Row lookups (CheckValue, QueryData)\n\n";
    for (const auto& e : rowLookups().entries())
        print(e, false);
    std::cout << "## Lookup-window lists (GetF2Data)\n\n";
    for (const auto& e : windowLists().entries())
        print(e, true);
}
