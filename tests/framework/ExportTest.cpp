// The spreadsheet exports of a single-table module: nothing for an empty or closed dataset,
// the tab-separated text and the workbook of a dataset fetched in packets, the folder that
// cannot be made, and the question whether to open the file.

#include "framework/ModuleOwner.h"

#include "platform/data/MemoryProvider.h"
#include "support/LocalText.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>

namespace orvane::test {
namespace {

namespace fs = std::filesystem;

using Export = void (TdmSingle::*)(ClientDataSet&);

// The rows of a workbook as a spreadsheet reader sees them (Debian's python3-openpyxl): one line a
// row, cells separated by tabs, each as Python writes its value (numbers bare, texts quoted,
// empty cells empty).
std::string workbookRows(const fs::path& file)
{
    const std::string command = "/usr/bin/python3 -c \"import openpyxl, sys\n"
                                "for row in openpyxl.load_workbook(sys.argv[1]).active.iter_rows(values_only=True):\n"
                                "    print('\\t'.join('' if c is None else repr(c) for c in row))\" '" +
                                file.string() + "' 2>&1";
    std::string rows;
    if (FILE* reader = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, reader) != nullptr)
            rows += buffer;
        ::pclose(reader);
    }
    return rows;
}

std::vector<FieldDef> sampleFields()
{
    return {FieldDef::string("CODE", 10),
            FieldDef::of("QTY", FieldType::Integer),
            FieldDef::of("DONE", FieldType::Boolean),
            FieldDef::of("PRICE", FieldType::Float),
            FieldDef::string("SECRET", 10),
            FieldDef::of("SMALL", FieldType::SmallInt)};
}

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner.client = (root / "client").string() + "/";
        brokers.setProgramId("tavi52");
        attach(module, brokers, owner);
        module.setExportDialogs(&owner);
    }
    void TearDown() override { module.cdsMain.close(); }

    // Opens cdsMain over the rows, two records a packet, with labels and a hidden field.
    void open(std::vector<PacketRow> rows, std::shared_ptr<MemoryProvider> provider = nullptr)
    {
        if (provider == nullptr)
            provider = std::make_shared<MemoryProvider>(sampleFields());
        for (PacketRow& row : rows)
            provider->addRow(std::move(row));
        module.cdsMain.setPacketRecords(2);
        module.cdsMain.setProvider(provider);
        module.cdsMain.open();
        module.cdsMain.fieldByName("CODE").setDisplayLabel(gbk("编号"));
        module.cdsMain.fieldByName("PRICE").setDisplayLabel(gbk("单价"));
        module.cdsMain.fieldByName("SECRET").setVisible(false);
    }
    void openSample()
    {
        open({{{gbk("甲一"), 5, true, 12.5, "x", 1}, {}},
              {{"\"B\tC", Variant(), false, Variant(), "y", 2}, {}},
              {{"=1+1", -3, true, 0.1, "z", 3}, {}}});
    }

    fs::path exportFolder() const { return root / "client" / "c_data" / "TAV"; }
    // The files written into the export folder.
    std::vector<fs::path> exported() const
    {
        std::vector<fs::path> files;
        if (fs::is_directory(exportFolder()))
            for (const auto& entry : fs::directory_iterator(exportFolder()))
                files.push_back(entry.path());
        return files;
    }

    TempFolder temp;
    const fs::path root = temp.path();
    ModuleOwner owner;
    TBrokers brokers{owner, owner};
    TdmSingle module;
};

// A provider whose second packet comes back empty though rows remain, as a server may answer
// when a packet's rows were all filtered away.
class GappedProvider : public MemoryProvider {
public:
    GappedProvider() : MemoryProvider(sampleFields()) {}
    DataPacket getRecords(int count, const Variant& params, bool reset) override
    {
        if (++calls_ == 2)
            return {sampleFields(), {}, false};
        return MemoryProvider::getRecords(count, params, reset);
    }

private:
    int calls_ = 0;
};

TEST_F(ExportTest, NothingIsExportedFromAnEmptyOrClosedDataSetNorIntoAFolderThatCannotBeMade)
{
    for (const Export exportTo : {&TdmSingle::ExportToSpreadsheet, &TdmSingle::ExportToSpreadsheetText}) {
        (module.*exportTo)(module.cdsMain);
        open({});
        (module.*exportTo)(module.cdsMain);
        module.cdsMain.close();
    }
    EXPECT_FALSE(fs::exists(root / "client"));
    EXPECT_TRUE(owner.shown.empty());

    writeFile(root / "client", "a file where the folder should be");
    openSample();
    for (const Export exportTo : {&TdmSingle::ExportToSpreadsheet, &TdmSingle::ExportToSpreadsheetText}) {
        owner.shown.clear();
        (module.*exportTo)(module.cdsMain);
        EXPECT_EQ(owner.shown, std::vector<std::string>{gbk("创建目录：") + exportFolder().string() + gbk(" 失败!")});
    }
    EXPECT_TRUE(owner.questions.empty());
    EXPECT_TRUE(owner.opened.empty());
    EXPECT_TRUE(owner.progress.empty());
}

// From any record shown, which is shown again afterwards (the last record written was).
TEST_F(ExportTest, BothExportsWriteEveryRecordWithProgressAndOpenTheFileOnlyWhenTheUserSaysYes)
{
    openSample();
    module.cdsMain.next();
    module.ExportToSpreadsheetText(module.cdsMain);
    EXPECT_EQ(module.cdsMain.fieldByName("SMALL").asInteger(), 2) << "not the last record written";
    module.ExportToSpreadsheet(module.cdsMain);
    EXPECT_EQ(module.cdsMain.fieldByName("SMALL").asInteger(), 2);

    std::vector<fs::path> files = exported();
    ASSERT_EQ(files.size(), 2u);
    std::sort(files.begin(), files.end());
    EXPECT_TRUE(std::regex_match(files[0].filename().string(), std::regex(R"(TAVI52_\d{14}\.xls)"))) << files[0];
    EXPECT_TRUE(std::regex_match(files[1].filename().string(), std::regex(R"(TAVI52_\d{14}\.xlsx)"))) << files[1];
    // Labels in UTF-8, the hidden field left out; a tab inside a value cannot split the row, nor a
    // quote open a field running over the cells after it; a text is never run as a formula, a
    // negative number stays a number; a null integer and a null float give empty cells.
    EXPECT_EQ(readFile(files[0]), "\xEF\xBB\xBF"
                                  "编号\tQTY\tDONE\t单价\tSMALL\n"
                                  "甲一\t5\tY\t12.5\t1\n"
                                  "\"\"\"B C\"\t\tN\t\t2\n"
                                  "'=1+1\t-3\tY\t0.1\t3\n");
    EXPECT_EQ(workbookRows(files[1]), "'编号'\t'QTY'\t'DONE'\t'单价'\t'SMALL'\n"
                                      "'甲一'\t5\t'Y'\t12.5\t1\n"
                                      "'\"B\\tC'\t\t'N'\t\t2\n"
                                      "'=1+1'\t-3\t'Y'\t0.1\t3\n")
        << "read by a spreadsheet reader; numbers as numbers";
    const std::pair<std::string, int> started{gbk("查询结果转 Excel 文件进度"), 3};
    EXPECT_EQ(owner.progress[0], started);
    EXPECT_EQ(owner.progress[1], (std::pair<std::string, int>{"finish", 0}));
    EXPECT_EQ(owner.progressPositions, (std::vector<int>{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(owner.shown, std::vector<std::string>{gbk("开启时若出现文本导入向导可直接点击完成钮进入! ")});
    EXPECT_EQ(owner.questions,
              (std::vector<std::string>{gbk("是否打开文档?"),
                                        gbk("转出文档: ") + "\n" + files[1].string() + "\n" + gbk("是否打开文档?")}));
    EXPECT_EQ(owner.opened, (std::vector<std::string>{files[0].string(), files[1].string()}));

    // Declined, the file is not opened; a file that opens no program says so.
    struct Case {
        bool answer;
        bool starts;
        std::size_t opened;
        bool failureShown;
    };
    for (const Export exportTo : {&TdmSingle::ExportToSpreadsheet, &TdmSingle::ExportToSpreadsheetText}) {
        for (const Case& c : {Case{false, true, 0, false}, Case{true, false, 1, true}}) {
            owner.opened.clear();
            owner.shown.clear();
            owner.openAnswer = c.answer;
            owner.openStarts = c.starts;
            (module.*exportTo)(module.cdsMain);
            EXPECT_EQ(owner.opened.size(), c.opened);
            EXPECT_EQ(std::count(owner.shown.begin(), owner.shown.end(), gbk("开启EXCEL失败!")),
                      c.failureShown ? 1 : 0);
        }
    }
}

TEST_F(ExportTest, AnEmptyPacketBeforeTheEndDoesNotCutTheExportShort)
{
    std::vector<PacketRow> rows;
    for (int i = 1; i <= 5; ++i)
        rows.push_back({{std::to_string(i), i, true, 1.0, "x", i}, {}});
    open(std::move(rows), std::make_shared<GappedProvider>());
    module.ExportToSpreadsheetText(module.cdsMain);
    const std::vector<fs::path> files = exported();
    ASSERT_EQ(files.size(), 1u);
    const std::string text = readFile(files[0]);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6) << text;
}

TEST_F(ExportTest, ADateKeptAsTextIsWrittenAsTheWindowShowsItAndAsADateOfTheWorkbook)
{
    auto provider = std::make_shared<MemoryProvider>(
        std::vector<FieldDef>{FieldDef::string("DAY", 8), FieldDef::string("CODE", 8)});
    provider->addRow({{"20250210", "20250210"}, {}});
    module.cdsMain.setProvider(provider);
    module.cdsMain.open();
    module.setDateStyle(2);
    module.setDateSeparator("/");
    Field& day = module.cdsMain.fieldByName("DAY");
    day.setEditMask(module.DateFieldEditMask());
    day.onGetText = module.getText(&FieldTextFormats::DateFieldGetText);

    module.ExportToSpreadsheetText(module.cdsMain);
    module.ExportToSpreadsheet(module.cdsMain);
    std::vector<fs::path> files = exported();
    ASSERT_EQ(files.size(), 2u);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(readFile(files[0]), "\xEF\xBB\xBF"
                                  "DAY\tCODE\n"
                                  "02/10/2025\t20250210\n")
        << "a code of eight digits stays text";
    EXPECT_EQ(workbookRows(files[1]), "'DAY'\t'CODE'\n"
                                      "datetime.datetime(2025, 2, 10, 0, 0)\t'20250210'\n");
}

} // namespace
} // namespace orvane::test
