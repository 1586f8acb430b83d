// orvane-make-dictionary SOURCE FOLDER: writes the demo client's data dictionary files (DDFD, DDFM
// and DDOBJ of CHS, CHT and ENG) from the one source table (tools/dictionary/Dictionary.tsv).
// The CHT texts are the CHS ones converted to Traditional Chinese with OpenCC's Taiwan phrases;
// the texts are stored in code page 936, which holds both scripts. See docs/dictionary.md.

#include "platform/data/DataSetFile.h"
#include "platform/text/CodePage.h"

#include <opencc.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using namespace orvane;

namespace {

struct SourceRow {
    std::string kind, object, component, name, extra, width, chs, eng;
};

// The source table's table of a dataset component (MN001, the key of its value lists).
std::string tableOf(const std::string& dataSet)
{
    static const std::map<std::string, std::string> tables = {
        {"cdsMain", "COPTC"}, {"cdsBody1", "COPTD"}, {"cdsFoot", "COPTM"}};
    const auto found = tables.find(dataSet);
    return found != tables.end() ? found->second : dataSet;
}

std::vector<SourceRow> readSource(const std::filesystem::path& file)
{
    std::ifstream in(file);
    if (!in)
        throw std::runtime_error(file.string() + ": cannot be opened");
    std::vector<SourceRow> rows;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line.front() == '#')
            continue;
        std::vector<std::string> cells;
        std::stringstream cellsOf(line);
        for (std::string cell; std::getline(cellsOf, cell, '\t');)
            cells.push_back(cell == "-" ? std::string() : cell);
        if (cells.size() != 8)
            throw std::runtime_error(file.string() + " line " + std::to_string(number) + ": 8 columns expected, not " +
                                     std::to_string(cells.size()));
        rows.push_back({cells[0], cells[1], cells[2], cells[3], cells[4], cells[5], cells[6], cells[7]});
    }
    return rows;
}

Variant textOrNull(const std::string& utf8)
{
    return utf8.empty() ? Variant(Variant::NullTag{}) : Variant(text::fromUtf8(utf8, text::CodePage::Gbk));
}

DataPacket packetOf(const std::vector<std::string>& columns)
{
    DataPacket packet;
    for (const std::string& column : columns)
        packet.fields.push_back(FieldDef::string(column, 255));
    return packet;
}

void write(const std::filesystem::path& file, DataPacket packet)
{
    DataSetFile out;
    out.packet = std::move(packet);
    out.codePage = 936;
    writeDataSetFile(file, out);
}

void writeLanguage(const std::vector<SourceRow>& rows, const std::filesystem::path& folder, const std::string& language,
                   const std::function<std::string(const SourceRow&)>& textOf)
{
    DataPacket fields = packetOf({"MN001", "MN002", "MN003", "MN004", "MN005", "MN006", "MN007", "MN008", "MN009"});
    DataPacket lists = packetOf({"MP001", "MP002", "MP003", "MP004", "MP005", "MP006"});
    DataPacket objects = packetOf({"MO001", "MO002", "MO003", "MO004", "MO005", "MO006"});
    int order = 0;
    for (const SourceRow& row : rows) {
        const Variant null(Variant::NullTag{});
        const std::string text = textOf(row);
        if (row.kind == "F") {
            fields.rows.push_back(
                {{textOrNull(tableOf(row.component)), textOrNull(row.object), textOrNull(row.component),
                  textOrNull(row.name), textOrNull(row.extra), textOrNull(text), textOrNull(row.width), null, null},
                 {}});
        } else if (row.kind == "V") {
            char position[12]; // room for any int
            std::snprintf(position, sizeof position, "%04d", ++order);
            lists.rows.push_back({{textOrNull(tableOf(row.component)), textOrNull(row.object), textOrNull(row.name),
                                   textOrNull(position), textOrNull(row.extra), textOrNull(text)},
                                  {}});
        } else if (row.kind == "O") {
            objects.rows.push_back({{textOrNull(language), textOrNull(row.object), textOrNull(row.component), null,
                                     textOrNull(row.name), textOrNull(text)},
                                    {}});
        } else {
            throw std::runtime_error("unknown row kind " + row.kind);
        }
    }
    write(folder / ("DDFD" + language + ".cds"), std::move(fields));
    write(folder / ("DDFM" + language + ".cds"), std::move(lists));
    write(folder / ("DDOBJ" + language + ".cds"), std::move(objects));
}

// Taiwan phrases OpenCC takes from programming that mean something else on a business form:
// a customer's code is no program code, a user's rights no permission bits, a sign-off is signed
// (簽), not drawn by lot (籤), and a program starts with parameters, not arguments.
constexpr std::pair<std::string_view, std::string_view> businessPhrases[] = {
    {"程式碼", "代碼"}, {"許可權", "權限"}, {"籤核", "簽核"}, {"引數", "參數"}};

std::string toTraditional(opencc_t converter, const std::string& utf8)
{
    char* converted = ::opencc_convert_utf8(converter, utf8.data(), utf8.size());
    if (converted == nullptr)
        throw std::runtime_error(std::string("OpenCC failed: ") + ::opencc_error());
    std::string result(converted);
    ::opencc_convert_utf8_free(converted);
    for (const auto& [phrase, meant] : businessPhrases)
        for (std::size_t at = result.find(phrase); at != std::string::npos; at = result.find(phrase, at + meant.size()))
            result.replace(at, phrase.size(), meant);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvane-make-dictionary SOURCE FOLDER\n");
        return 2;
    }
    try {
        const std::vector<SourceRow> rows = readSource(argv[1]);
        const std::filesystem::path folder(argv[2]);
        std::filesystem::create_directories(folder);
        writeLanguage(rows, folder, "CHS", [](const SourceRow& row) { return row.chs; });
        writeLanguage(rows, folder, "ENG", [](const SourceRow& row) { return row.eng; });
        const opencc_t converter = ::opencc_open("s2twp.json");
        if (converter == reinterpret_cast<opencc_t>(-1))
            throw std::runtime_error(std::string("OpenCC cannot open s2twp.json: ") + ::opencc_error());
        const std::unique_ptr<void, int (*)(opencc_t)> closer(converter, ::opencc_close);
        writeLanguage(rows, folder, "CHT", [&](const SourceRow& row) { return toTraditional(converter, row.chs); });
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orvane-make-dictionary: %s\n", e.what());
        return 1;
    }
    return 0;
}
