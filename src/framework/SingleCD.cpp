#include "framework/SingleCD.h"

#include "framework/ExportDialogs.h"
#include "platform/text/ByteText.h"
#include "platform/text/CodePage.h"
#include "platform/text/DateText.h"
#include "platform/text/FieldTextRules.h"
#include "platform/text/Format.h"
#include "platform/text/LocalText.h"
#include "services/Brokers.h"
#include "services/InterfaceTexts.h"
#include "services/LibSys.h"

#include <xlsxwriter.h>

#include <charconv>
#include <fstream>
#include <memory>
#include <system_error>

namespace orvane {

namespace {

// What the export tells the clerk, in the interface language: the framework's dictionary text,
// else the design text.
std::string exportText(std::string_view name, std::string_view designText)
{
    return InterfaceTexts::current()->text(textObject::framework, name, designText);
}

// The blank that stands for a carried value not remembered yet; remembered values end with it
// too, so an empty value still holds its place.
constexpr std::string_view carryPlaceholder = " ";

// A text in single quotes, its own quotes doubled.
std::string sqlQuoted(std::string_view value)
{
    std::string result = "'";
    for (const char c : value) {
        result += c;
        if (c == '\'')
            result += '\'';
    }
    return result + "'";
}

// The code after the tab of a combo item ("A:text<TAB>A" gives "A").
std::string_view itemCode(std::string_view item)
{
    const std::size_t tab = item.find('\t');
    return tab == std::string_view::npos ? std::string_view() : item.substr(tab + 1);
}

// The text shown for a combo item: the item cut at its tab.
std::string_view itemDisplay(std::string_view item)
{
    return item.substr(0, item.find('\t'));
}

// One exported value: an empty cell, a text (UTF-8), a number or a date (with its text for the
// tab-separated file).
struct ExportCell {
    enum class Kind : std::uint8_t { Empty, Text, Number, Date };
    Kind kind = Kind::Empty;
    std::string text;
    double number = 0.0;
    text::CivilDate date{};
};

std::string utf8Of(std::string_view text)
{
    return text::toUtf8(text, text::installationCodePage());
}

// The shortest text that reads back as the same number.
std::string numberText(double value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// A date a workbook holds: from 1900 on, a month of the year, a day of a month.
bool workbookDate(const std::optional<text::CivilDate>& date)
{
    return date && date->year >= 1900 && date->year <= 9999 && date->month <= 12 && date->day <= 31;
}

// The cell of a field's current value: strings as text, integers and floats as numbers (a
// float without text as an empty cell), booleans "Y"/"N", other types as their shown text. A date
// kept as "YYYYMMDD" text (a field with the date mask) is a date, its text as the window shows it.
ExportCell exportCell(const Field& field, std::string_view dateMask)
{
    switch (field.type()) {
    case FieldType::String:
        if (!dateMask.empty() && field.editMask() == dateMask)
            if (const std::optional<text::CivilDate> date = text::storedDateParts(field.asString()); workbookDate(date))
                return {ExportCell::Kind::Date, utf8Of(field.displayText()), 0.0, *date};
        return {ExportCell::Kind::Text, utf8Of(field.asString()), 0.0};
    case FieldType::SmallInt:
    case FieldType::Integer:
        if (field.isNull())
            return {};
        return {ExportCell::Kind::Number, std::to_string(field.asInteger()), static_cast<double>(field.asInteger())};
    case FieldType::Boolean: return {ExportCell::Kind::Text, field.asBoolean() ? "Y" : "N", 0.0};
    case FieldType::Float:
        if (field.isNull() || field.displayText().empty())
            return {};
        return {ExportCell::Kind::Number, numberText(field.asFloat()), field.asFloat()};
    default: return {ExportCell::Kind::Text, utf8Of(field.displayText()), 0.0};
    }
}

// The columns of the export: the visible fields in field order (a nested dataset has no value
// a cell could hold).
std::vector<const Field*> exportFields(const ClientDataSet& dataSet)
{
    std::vector<const Field*> fields;
    for (int i = 0; i < dataSet.fieldCount(); ++i) {
        const Field& field = dataSet.field(i);
        if (field.visible() && field.type() != FieldType::DataSet)
            fields.push_back(&field);
    }
    return fields;
}

// One cell of a tab-separated line, read back by a spreadsheet as the text it holds. Tabs and
// line breaks would split the cell or the row, so they become spaces. A text starting with =, +,
// - or @ would be run as a formula, so it gets a leading apostrophe; a text with a quote would
// open a quoted field running over the cells after it, so it is quoted, its quotes doubled.
// Numbers stay bare: a negative amount is a number.
std::string tsvCell(const ExportCell& cell)
{
    if (cell.kind != ExportCell::Kind::Text)
        return cell.text;
    std::string text = cell.text;
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    if (!text.empty() && std::string_view("=+-@").find(text.front()) != std::string_view::npos)
        text.insert(0, 1, '\'');
    if (text.find('"') == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

// Closes the progress window however the export ends.
struct ProgressGuard {
    ExportDialogs& dialogs;
    ~ProgressGuard() { dialogs.progressFinish(); }
};

struct WorkbookFree {
    void operator()(lxw_workbook* workbook) const { lxw_workbook_free(workbook); }
};

// Raises with the file and the library's reason when a workbook step failed.
void checkWorkbook(lxw_error error, const std::filesystem::path& file, std::string_view step)
{
    if (error != LXW_NO_ERROR)
        throw ExportError("Cannot write the workbook " + file.string() + " (" + std::string(step) +
                          "): " + lxw_strerror(error));
}

// The workbook's number format of dates, in the order of the date as shown ("yyyy/mm/dd" when
// the shown text is no day, month and year in digits).
std::string workbookDateFormat(const std::string& shownSample)
{
    std::string format = shownSample;
    for (const auto& [digits, code] : {std::pair{"2001", "yyyy"}, {"02", "mm"}, {"03", "dd"}}) {
        const std::size_t at = format.find(digits);
        if (at == std::string::npos)
            return "yyyy/mm/dd";
        format.replace(at, std::string_view(digits).size(), code);
    }
    return format;
}

void writeWorkbookCell(lxw_worksheet* sheet, std::size_t row, std::size_t column, const ExportCell& cell,
                       lxw_format* dateFormat, const std::filesystem::path& file)
{
    const auto r = static_cast<lxw_row_t>(row);
    const auto c = static_cast<lxw_col_t>(column);
    switch (cell.kind) {
    case ExportCell::Kind::Empty: return;
    case ExportCell::Kind::Text:
        checkWorkbook(worksheet_write_string(sheet, r, c, cell.text.c_str(), nullptr), file,
                      "row " + std::to_string(row + 1) + ", column " + std::to_string(column + 1));
        return;
    case ExportCell::Kind::Number:
        checkWorkbook(worksheet_write_number(sheet, r, c, cell.number, nullptr), file,
                      "row " + std::to_string(row + 1) + ", column " + std::to_string(column + 1));
        return;
    case ExportCell::Kind::Date: {
        lxw_datetime date{cell.date.year, cell.date.month, cell.date.day, 0, 0, 0.0};
        checkWorkbook(worksheet_write_datetime(sheet, r, c, &date, dateFormat), file,
                      "row " + std::to_string(row + 1) + ", column " + std::to_string(column + 1));
        return;
    }
    }
}

} // namespace

TdmSingle::TdmSingle()
{
    cdsMain.onReconcileError = [this](ClientDataSet& dataSet, const ReconcileError& error, ReconcileAction& action) {
        cdsMainReconcileError(dataSet, error, action);
    };
}

TdmSingle::~TdmSingle() = default;

void TdmSingle::NewHeadDefaults()
{
    TdmBase::NewHeadDefaults();
    autoNumber_ = false;
    for (const auto& [name, value] : carryOver_)
        SetFieldText(cdsMain.findField(name), text::trim(value), true);
    ApplyPresetValues();
}

void TdmSingle::SetKeyFields(std::string_view keyFields)
{
    TdmBase::SetKeyFields(keyFields);
    keys_ = text::splitList(KeyFields(), ',', text::ListItems::Trimmed);
    keyValues_.assign(keys_.size(), std::string());
    if (autoNumber_ && autoNumberField_.empty())
        chooseNumberField();
}

void TdmSingle::SetAutoNumber(bool on)
{
    if (on == autoNumber_)
        return;
    autoNumber_ = on;
    autoNumberField_.clear();
    if (on)
        chooseNumberField();
}

void TdmSingle::chooseNumberField()
{
    if (keys_.empty())
        return;
    autoNumberField_ = keys_.back();
    if (Field* field = cdsMain.findField(autoNumberField_))
        field->setRequired(false);
}

void TdmSingle::ApplyPresetValues()
{
    if (presetValues_.dimensions() != 2)
        return;
    const int nameColumn = presetValues_.lowBound(2);
    if (presetValues_.highBound(2) <= nameColumn)
        return;
    for (int row = presetValues_.lowBound(1); row <= presetValues_.highBound(1); ++row) {
        const Variant& value = presetValues_.at(row, nameColumn + 1);
        SetFieldText(cdsMain.findField(presetValues_.at(row, nameColumn).toString()), value.toString(), true);
    }
}

void TdmSingle::GetAutoNumberField(std::string& name) const
{
    name = autoNumberField_;
}

void TdmSingle::StampLines() {}

void TdmSingle::FetchAllRecords(ClientDataSet& dataSet)
{
    // Everything left, asked for again until the provider says there is no more: a packet that
    // came back empty need not be the last one.
    while (!dataSet.allFetched())
        dataSet.fetchAll();
    dataSet.first();
}

void TdmSingle::ExportToSpreadsheet(ClientDataSet& dataSet)
{
    if (owner() == nullptr || exportDialogs() == nullptr || !dataSet.active() || dataSet.isEmpty())
        return;
    const std::filesystem::path file = PrepareExportFile(".xlsx");
    if (file.empty())
        return;
    const std::vector<const Field*> fields = exportFields(dataSet);
    std::unique_ptr<lxw_workbook, WorkbookFree> workbook(workbook_new(file.c_str()));
    lxw_worksheet* sheet = workbook ? workbook_add_worksheet(workbook.get(), nullptr) : nullptr;
    lxw_format* dateFormat = workbook ? workbook_add_format(workbook.get()) : nullptr;
    if (sheet == nullptr || dateFormat == nullptr)
        throw ExportError("Cannot start the workbook " + file.string());
    format_set_num_format(
        dateFormat, workbookDateFormat(text::dateDisplayText({2001, 2, 3}, DateStyle(), DateSeparator())).c_str());
    const std::string dateMask = DateFieldEditMask();
    for (std::size_t column = 0; column < fields.size(); ++column)
        writeWorkbookCell(sheet, 0, column, {ExportCell::Kind::Text, utf8Of(fields[column]->displayLabel()), 0.0},
                          dateFormat, file);
    std::size_t row = 0;
    WalkExportRecords(dataSet, [&] {
        if (++row >= LXW_ROW_MAX)
            throw ExportError("Too many records for one worksheet in " + file.string() + ": more than " +
                              std::to_string(LXW_ROW_MAX - 1));
        for (std::size_t column = 0; column < fields.size(); ++column)
            writeWorkbookCell(sheet, row, column, exportCell(*fields[column], dateMask), dateFormat, file);
    });
    checkWorkbook(workbook_close(workbook.release()), file, "saving");
    OfferExportedFile(file, exportText("msgExportedFile", LOCAL_TEXT(u8"转出文档: ")) + "\n" +
                                text::fromUtf8(file.string(), text::installationCodePage()) + "\n" +
                                exportText("msgOpenExportedFile", LOCAL_TEXT(u8"是否打开文档?")));
}

void TdmSingle::ExportToSpreadsheetText(ClientDataSet& dataSet)
{
    if (owner() == nullptr || exportDialogs() == nullptr || !dataSet.active() || dataSet.isEmpty())
        return;
    const std::filesystem::path file = PrepareExportFile(".xls");
    if (file.empty())
        return;
    const std::vector<const Field*> fields = exportFields(dataSet);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    // The byte-order mark tells spreadsheet programs the text is UTF-8.
    out << "\xEF\xBB\xBF";
    auto writeLine = [&](auto cellOf) {
        for (std::size_t column = 0; column < fields.size(); ++column)
            out << (column == 0 ? "" : "\t") << tsvCell(cellOf(*fields[column]));
        out << '\n';
    };
    // A half-written file is removed, so a failed export leaves nothing behind.
    try {
        writeLine([](const Field& field) {
            return ExportCell{ExportCell::Kind::Text, utf8Of(field.displayLabel()), 0.0};
        });
        const std::string dateMask = DateFieldEditMask();
        WalkExportRecords(dataSet, [&] { writeLine([&](const Field& field) { return exportCell(field, dateMask); }); });
        out.close();
        if (!out)
            throw ExportError("Cannot write the export file " + file.string());
    } catch (...) {
        out.close();
        std::error_code ignored;
        std::filesystem::remove(file, ignored);
        throw;
    }
    exportDialogs()->showInformation(
        exportText("msgTextImportWizard", LOCAL_TEXT(u8"开启时若出现文本导入向导可直接点击完成钮进入! ")));
    OfferExportedFile(file, exportText("msgOpenExportedFile", LOCAL_TEXT(u8"是否打开文档?")));
}

std::filesystem::path TdmSingle::PrepareExportFile(std::string_view extension)
{
    std::filesystem::path folder = std::filesystem::path(exportDialogs()->clientPath()) / "c_data";
    if (const std::string name = exportDialogs()->programFolderName(); !name.empty())
        folder /= name;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error || !std::filesystem::is_directory(folder)) {
        owner()->ShowInterfaceMessage(
            text::format(exportText("msgFolderNotMade", LOCAL_TEXT(u8"创建目录：%s 失败!")),
                         {Variant(text::fromUtf8(folder.string(), text::installationCodePage()))}));
        return {};
    }
    const std::string programId = brokers() != nullptr ? brokers()->programId() : std::string();
    return folder / (programId + "_" + text::formatDateTime("yyyymmddhhnnss", text::now()) + std::string(extension));
}

void TdmSingle::WalkExportRecords(ClientDataSet& dataSet, const std::function<void()>& row)
{
    const Bookmark shown = dataSet.bookmark();
    FetchAllRecords(dataSet);
    const int total = dataSet.recordCount();
    exportDialogs()->progressStart(exportText("msgExportProgress", LOCAL_TEXT(u8"查询结果转 Excel 文件进度")), total);
    const ProgressGuard guard{*exportDialogs()};
    int position = 0;
    for (dataSet.first(); !dataSet.eof(); dataSet.next()) {
        row();
        exportDialogs()->progressStep(++position);
    }
    // The window shows again the record it showed before, not the last one written.
    if (dataSet.bookmarkValid(shown))
        dataSet.gotoBookmark(shown);
}

void TdmSingle::OfferExportedFile(const std::filesystem::path& file, std::string_view question)
{
    if (!exportDialogs()->askYesNo(question))
        return;
    if (!exportDialogs()->openDocument(file.string()))
        owner()->ShowInterfaceMessage(exportText("msgExportNotOpened", LOCAL_TEXT(u8"开启EXCEL失败!")));
}

int TdmSingle::DecimalsForField(std::string_view field) const
{
    return numberGroups().decimalsFor(field);
}

void TdmSingle::ComboDisplayText(const GridComboItems& grid, std::string_view field, std::string_view value,
                                 std::string& text) const
{
    text = value;
    const std::vector<std::string>* items = grid.comboItems(field);
    if (items == nullptr || value.empty())
        return;
    for (const std::string& item : *items) {
        if (itemCode(item) == value) {
            text = itemDisplay(item);
            return;
        }
    }
    for (const std::string& item : *items) {
        if (item.find(value) != std::string::npos) {
            text = itemDisplay(item);
            return;
        }
    }
}

bool TdmSingle::OpenData()
{
    const bool opened = TdmBase::OpenData();
    if (autoNumber_)
        chooseNumberField();
    return opened;
}

bool TdmSingle::SaveData(ClientDataSet& dataSet)
{
    const bool saved = TdmBase::SaveData(dataSet);
    if (saved && ownerMode() == RecordMode::Add)
        RememberCarryOverValues();
    return saved;
}

void TdmSingle::SetCarryOverFields(std::string_view names)
{
    carryOver_.clear();
    for (std::string& name : text::splitList(names, ',', text::ListItems::TrimmedNonEmpty))
        carryOver_.emplace_back(std::move(name), std::string(carryPlaceholder));
}

void TdmSingle::RememberCarryOverValues()
{
    for (auto& [name, value] : carryOver_) {
        const Field* field = cdsMain.findField(name);
        if (field == nullptr)
            continue;
        value = field->isNull() ? std::string() : field->asString() + std::string(carryPlaceholder);
    }
}

void TdmSingle::ResetCarryOverValues()
{
    for (auto& entry : carryOver_)
        entry.second.assign(1, ' ');
}

void TdmSingle::RememberKeyValues()
{
    for (std::size_t i = 0; i < keys_.size(); ++i)
        keyValues_[i] = cdsMain.fieldByName(keys_[i]).asString();
}

bool TdmSingle::KeyCondition(std::string& condition) const
{
    std::vector<std::string> values;
    for (const std::string& key : keys_) {
        const Field* field = cdsMain.findField(key);
        const bool newNumber =
            autoNumber_ && ownerMode() == RecordMode::Add && text::equalsIgnoringCase(key, autoNumberField_);
        values.push_back(field == nullptr ? std::string()
                         : newNumber      ? (owner() != nullptr ? owner()->newNumber() : std::string())
                                          : field->asString());
    }
    condition = KeyConditionOf(values);
    return cdsMain.state() == DataSetState::Browse && !condition.empty();
}

std::string TdmSingle::KeyConditionOf(const std::vector<std::string>& values) const
{
    std::string condition;
    for (std::size_t i = 0; i < keys_.size() && i < values.size(); ++i) {
        const Field* field = cdsMain.findField(keys_[i]);
        if (field == nullptr)
            continue;
        const std::string value = field->type() == FieldType::String ? sqlQuoted(values[i]) : values[i];
        if (!condition.empty())
            condition += " and ";
        condition += (tableAlias_.empty() ? keys_[i] : tableAlias_ + "." + keys_[i]) + " = " + value;
    }
    return condition;
}

void TdmSingle::cdsMainReconcileError(ClientDataSet& /*dataSet*/, const ReconcileError& error,
                                      ReconcileAction& /*action*/)
{
    if (owner() != nullptr)
        owner()->ShowServerMessage(error.message);
    // The box has told the user; a log that cannot be written must not turn the refusal into
    // a different failure halfway through the reconcile.
    try {
        WriteLog(reconcileLogSource, LOCAL_TEXT(u8"Single保存失败 Context :") + error.context, "D");
        WriteLog(reconcileLogSource,
                 LOCAL_TEXT(u8"Single保存失败 PreviousError :") + std::to_string(error.previousError), "D");
    } catch (const std::exception&) {
    }
}

} // namespace orvane
