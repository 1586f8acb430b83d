#include "framework/DDField.h"

#include "controls/DBGrid.h"
#include "controls/DBLabel.h"
#include "controls/DataAware.h"
#include "framework/VozurazCD.h"
#include "platform/text/ByteText.h"
#include "services/DictionaryFiles.h"
#include "services/LibSys.h"
#include "ui/QtText.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>

#include <algorithm>
#include <charconv>
#include <map>
#include <optional>

namespace orvane {

namespace {

// A whole decimal number, or nothing.
std::optional<int> wholeNumber(std::string_view textValue)
{
    const std::string trimmed = text::trim(textValue);
    int number = 0;
    const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), number);
    if (error != std::errc() || end != trimmed.data() + trimmed.size() || trimmed.empty())
        return std::nullopt;
    return number;
}

// The key that finds a bound control: its dataset and its field name in upper case.
using BindingKey = std::pair<const DataSet*, std::string>;

// A grid column's width in pixels: the field's display width in average characters; without one,
// the present width, widened to show the whole title.
int columnWidth(const DBGrid& grid, const Field& field)
{
    if (field.displayWidth() > 0)
        return field.displayWidth() * QFontMetrics(grid.font()).averageCharWidth() + 8;
    const int column = grid.dataModel().columnOf(&field);
    if (column < 0)
        return 0;
    const QHeaderView& header = *grid.horizontalHeader();
    const int title = QFontMetrics(header.font()).horizontalAdvance(text::toQString(field.displayLabel())) + 12;
    return std::max(header.sectionSize(column), title);
}

} // namespace

TDDField::TDDField(std::string_view langType, std::string_view objectName, QWidget& form, TdmVozuraz& module)
    : TDDField(dictionaryFolder().string(), langType, objectName, form, module)
{}

TDDField::TDDField(const std::string& folder, std::string_view langType, std::string_view objectName, QWidget& form,
                   TdmVozuraz& module)
    : form_(form), module_(module), objectName_(objectName), dateMask_(module.DateFieldEditMask()),
      percentMask_(module.PercentFieldEditMask()), dateGetText_(module.getText(&FieldTextFormats::DateFieldGetText)),
      dateSetText_(module.setText(&FieldTextFormats::DateFieldSetText)),
      dateValidate_(module.validate(&FieldTextFormats::DateFieldValidate))
{
    const std::filesystem::path base(folder);
    const auto fields = sharedDictionaryFile(base / dictionaryFileName(DictionaryFile::Fields, langType));
    if (!fields)
        return;
    const auto lists = sharedDictionaryFile(base / dictionaryFileName(DictionaryFile::ValueLists, langType));
    if (!lists)
        return;
    loaded_ = true;
    apply(*fields, *lists);
}

const TDDField::FieldRecord* TDDField::record(std::string_view dataSet, std::string_view field) const
{
    for (const FieldRecord& entry : records_) {
        if (entry.dataSet == dataSet && text::equalsIgnoringAsciiCase(entry.name, field))
            return &entry;
    }
    return nullptr;
}

void TDDField::apply(const DictionaryRows& fields, const DictionaryRows& lists)
{
    for (const std::size_t row : fields.rowsOf(fields.column("MN002"), objectName_))
        applyRow(fields, row, lists);
    applyControls();
    applyPositions();
}

void TDDField::applyRow(const DictionaryRows& fields, std::size_t row, const DictionaryRows& lists)
{
    const std::string dataSetName = fields.text(row, fields.column("MN003"));
    const std::string fieldName = fields.text(row, fields.column("MN004"));
    ClientDataSet* dataSet = nullptr;
    for (ClientDataSet* candidate : module_.dataSets()) {
        if (candidate->name() == dataSetName)
            dataSet = candidate;
    }
    Field* field = dataSet != nullptr ? dataSet->findField(fieldName) : nullptr;
    if (field == nullptr) {
        skip(dataSetName + "." + fieldName, "no such dataset field");
        return;
    }
    FieldRecord record;
    record.name = field->name().substr(0, 10);
    record.dataSet = dataSetName;
    const int positionColumn = fields.column("MN008");
    const std::optional<int> position = fields.isNull(row, positionColumn)
                                            ? std::optional<int>(field->index())
                                            : wholeNumber(fields.text(row, positionColumn));
    record.position = position.value_or(field->index());
    if (!position)
        skip(dataSetName + "." + fieldName, "position \"" + fields.text(row, positionColumn) + "\" is not a number");
    record.kind = text::trim(fields.text(row, fields.column("MN005")));
    record.note = fields.text(row, fields.column("MN009"));
    gatherValueList(fields, row, lists, record);
    applyKind(*field, record.kind);

    field->setDisplayLabel(fields.text(row, fields.column("MN006")));
    const int widthColumn = fields.column("MN007");
    const std::string width = text::trim(fields.text(row, widthColumn));
    if (const std::optional<int> number = width.empty() ? std::optional<int>(0) : wholeNumber(width))
        field->setDisplayWidth(std::max(*number, 0));
    else
        skip(dataSetName + "." + fieldName, "width \"" + width + "\" is not a number");
    if (width == "0")
        field->setVisible(false);
    records_.push_back(std::move(record));
}

void TDDField::gatherValueList(const DictionaryRows& fields, std::size_t row, const DictionaryRows& lists,
                               FieldRecord& record) const
{
    const std::string key[] = {fields.text(row, fields.column("MN001")), fields.text(row, fields.column("MN002")),
                               fields.text(row, fields.column("MN004"))};
    const int keyColumns[] = {lists.column("MP001"), lists.column("MP002"), lists.column("MP003")};
    // The entries in the order of MP004, MP005 and MP006.
    std::multimap<std::tuple<std::string, std::string, std::string>, std::size_t> entries;
    const int order[] = {lists.column("MP004"), lists.column("MP005"), lists.column("MP006")};
    for (std::size_t entry = 0; entry < lists.size(); ++entry) {
        bool linked = true;
        for (int i = 0; i < 3 && linked; ++i)
            linked = lists.text(entry, keyColumns[i]) == key[i];
        if (linked)
            entries.emplace(
                std::tuple(lists.text(entry, order[0]), lists.text(entry, order[1]), lists.text(entry, order[2])),
                entry);
    }
    for (const auto& [sortKey, entry] : entries) {
        record.values.push_back(std::get<1>(sortKey));
        record.texts.push_back(std::get<2>(sortKey));
    }
}

void TDDField::applyKind(Field& field, const std::string& kind) const
{
    if (kind == "DATE") {
        if (field.editMask().empty())
            field.setEditMask(dateMask_);
        // Handlers the field already has stay; the date handlers fill the ones it lacks.
        if (!field.onGetText)
            field.onGetText = dateGetText_;
        if (!field.onSetText)
            field.onSetText = dateSetText_;
        if (!field.onValidate)
            field.onValidate = dateValidate_;
    } else if (kind == "PERCENT") {
        field.setEditMask(percentMask_);
    }
}

void TDDField::fillValueList(QComboBox& combo, const FieldRecord& record)
{
    combo.clear();
    // Each item carries its code, which a code combo shows the field's value by and writes back.
    for (std::size_t i = 0; i < record.values.size(); ++i)
        combo.addItem(text::toQString(record.values[i] + ":" + record.texts[i]), text::toQString(record.values[i]));
}

void TDDField::applyControls()
{
    // One pass over the form's controls finds every bound one; a grid column's combo
    // ("cbo" + field + "G") is the grid's editor, not the field's control.
    std::map<BindingKey, QWidget*> bound;
    std::map<QString, QComboBox*> gridCombos; // by field name in upper case
    for (QWidget* control : form_.findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (name.startsWith(QLatin1String("cbo")) && name.endsWith(QLatin1Char('G'))) {
            if (auto* combo = qobject_cast<QComboBox*>(control))
                gridCombos.emplace(name.mid(3, name.size() - 4).toUpper(), combo);
            continue;
        }
        const DataSource* source = dataSourceOf(control);
        if (source == nullptr || source->dataSet() == nullptr)
            continue;
        const std::string field = text::fromQString(dataFieldOf(control));
        bound.emplace(BindingKey(source->dataSet(), text::upperCase(field)), control);
    }
    for (FieldRecord& record : records_) {
        // The grid's editor of the field shows the same value list as its own control.
        const auto editor = gridCombos.find(text::toQString(text::upperCase(record.name)));
        if (editor != gridCombos.end() && !record.values.empty())
            fillValueList(*editor->second, record);
        const ClientDataSet* dataSet = module_.findDataSet(record.dataSet);
        const auto found = bound.find(BindingKey(dataSet, text::upperCase(record.name)));
        if (found == bound.end())
            continue;
        record.control = found->second;
        if (!record.note.empty())
            record.control->setToolTip(text::toQString(record.note));
        auto* combo = qobject_cast<QComboBox*>(record.control.data());
        if (combo == nullptr || record.values.empty())
            continue;
        const QSignalBlocker quiet(combo);
        fillValueList(*combo, record);
        // The combo shows the item of the field's present code again.
        const Field* field = boundFieldOf(combo);
        const bool shown = field != nullptr && field->dataSet().active() && !field->isNull();
        combo->setCurrentIndex(
            shown ? combo->findText(text::toQString(field->asString()) + QLatin1Char(':'), Qt::MatchStartsWith) : -1);
    }
    for (TDBLabel* label : form_.findChildren<TDBLabel*>())
        label->updateCaption();
}

void TDDField::applyPositions()
{
    for (DBGrid* grid : form_.findChildren<DBGrid*>()) {
        const DataSet* dataSet = grid->dataSource() != nullptr ? grid->dataSource()->dataSet() : nullptr;
        std::vector<const FieldRecord*> columns;
        for (const FieldRecord& record : records_) {
            if (module_.findDataSet(record.dataSet) == dataSet && dataSet != nullptr)
                columns.push_back(&record);
        }
        if (columns.empty())
            continue;
        // Several fields at one position keep the order of their rows.
        std::stable_sort(columns.begin(), columns.end(),
                         [](const FieldRecord* a, const FieldRecord* b) { return a->position < b->position; });
        grid->dataModel().refresh();
        std::vector<ColumnLayout> layout;
        for (const FieldRecord* record : columns) {
            if (const Field* field = dataSet->findField(record->name))
                layout.push_back({field->name(), columnWidth(*grid, *field), {}});
        }
        grid->applyColumnLayout(layout);
    }
}

void TDDField::skip(std::string_view what, std::string_view why) const
{
    WriteLog(dictionaryLogSource,
             "field row of " + objectName_ + " skipped: " + std::string(what) + ": " + std::string(why), "D");
}

} // namespace orvane
