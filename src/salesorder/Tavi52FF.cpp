#include "salesorder/Tavi52FF.h"

#include "controls/DBGrid.h"
#include "framework/CommonPhrases.h"
#include "framework/DDObject.h"
#include "framework/KnlVozuraz.h"
#include "framework/LookupKeys.h"
#include "platform/data/SilentAbort.h"
#include "platform/lookup/LookupAnswer.h"
#include "platform/text/ByteText.h"
#include "salesorder/OrderDialogEntry.h"
#include "salesorder/Tavi52CD.h"
#include "salesorder/Tavi52GF.h"
#include "services/Brokers.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

#include <map>

namespace orvane {

namespace {

// The columns of the structure query ("COPTD" "14"): the feature or option, its type, then the
// option fields in the order of TfrmTavi52GF::optionFields.
constexpr std::size_t featureColumn = 0;
constexpr std::size_t typeColumn = 1;
constexpr std::size_t firstOptionColumn = 2;

std::string column(const std::vector<Variant>& row, std::size_t index)
{
    return index < row.size() ? text::trim(row[index].toString()) : std::string();
}

// A list editor in the grid: the combo's items, the field taking the code before the colon.
class ListDelegate : public QStyledItemDelegate {
public:
    ListDelegate(const QComboBox& items, QObject* parent) : QStyledItemDelegate(parent), items_(items) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        auto* editor = new QComboBox(parent);
        for (int i = 0; i < items_.count(); ++i)
            editor->addItem(items_.itemText(i));
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        auto* combo = static_cast<QComboBox*>(editor);
        const QString code = index.data(Qt::EditRole).toString().trimmed();
        for (int i = 0; i < combo->count(); ++i) {
            if (!code.isEmpty() && combo->itemText(i).startsWith(code))
                combo->setCurrentIndex(i);
        }
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        // "1.直接材料" and "F:Feature件" both store the character before the separator.
        model->setData(index, static_cast<QComboBox*>(editor)->currentText().left(1), Qt::EditRole);
    }

private:
    const QComboBox& items_;
};

// The sub-line checks' handlers are taken off for a fill by program and given back afterwards,
// also when the fill fails; the rows' own post checks still run.
class FieldChecksOff {
public:
    explicit FieldChecksOff(DataSet& dataSet) : dataSet_(dataSet)
    {
        for (int i = 0; i < dataSet_.fieldCount(); ++i)
            saved_.push_back(std::exchange(dataSet_.field(i).onValidate, nullptr));
        dataSet_.disableControls();
    }
    ~FieldChecksOff()
    {
        for (int i = 0; i < dataSet_.fieldCount(); ++i)
            dataSet_.field(i).onValidate = std::move(saved_[static_cast<std::size_t>(i)]);
        dataSet_.enableControls();
    }
    FieldChecksOff(const FieldChecksOff&) = delete;
    FieldChecksOff& operator=(const FieldChecksOff&) = delete;

private:
    DataSet& dataSet_;
    std::vector<Field::Notify> saved_;
};

} // namespace

TfrmTavi52FF::TfrmTavi52FF(TfrmVozuraz* owner, TdmTavi52& module, std::string moduleFile)
    : TfrmSimpleBody(owner), module_(module), moduleFile_(std::move(moduleFile))
{
    setObjectName(QStringLiteral("frmTavi52FF"));
    cboTM004G = editor("cboTM004G", u8"[F2]Feature 件品号信息查询  [F3]Option  件品号信息查询");
    cboTM006G = editor("cboTM006G", u8"[F2]品号信息查询  [F3]选配品号信息查询");
    cboTM008G = editor("cboTM008G", u8"[F2]工艺查询");
    cboTM011G = editor("cboTM011G", u8"[F2]常用语查询");
    cboTM009G = editor("cboTM009G", nullptr, {u8"1.直接材料", u8"2.间接材料", u8"3.供应商供料", u8"4.不发料"});
    cboTM005G = editor("cboTM005G", nullptr, {u8"F:Feature件", u8"O:Option件"});
    DBGrid->setDataSource(&module.dsFoot);
    for (auto [field, combo] : {std::pair{"TM009", cboTM009G}, {"TM005", cboTM005G}}) {
        const int column = DBGrid->dataModel().columnOf(module.cdsFoot.findField(field));
        if (column >= 0)
            DBGrid->setItemDelegateForColumn(column, new ListDelegate(*combo, DBGrid));
    }
    // The hint of the current column's editor shows on the grid.
    connect(DBGrid->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        const Field* field = selectedField();
        const auto* combo =
            field != nullptr ? findChild<QComboBox*>(text::toQString("cbo" + field->name() + "G")) : nullptr;
        DBGrid->setToolTip(combo != nullptr ? combo->toolTip() : QString());
    });
    connect(DBGrid, &DBGrid::cellDoubleClicked, this, guardedSlot("DBGridDblClick", [this](Field* field) {
                if (field != nullptr && editable())
                    SimpleBodyCustomDlg(*field);
            }));
}

std::string TfrmTavi52FF::ModuleFileName() const
{
    return moduleFile_.empty() ? TfrmSimpleBody::ModuleFileName() : moduleFile_;
}

void TfrmTavi52FF::FormShow()
{
    TfrmSimpleBody::FormShow();
    const DataSet& line = module_.cdsBody1;
    setWindowTitle(TDDObject::OwnText(*this, "frmTavi52FF", u8"选配信息") + QStringLiteral(" - ") +
                   text::toQString(text::trim(line.fieldByName("TD003").asString()) + " " +
                                   text::trim(line.fieldByName("TD004").asString())));
}

QComboBox* TfrmTavi52FF::editor(const char* name, const char8_t* hint, std::initializer_list<const char8_t*> items)
{
    auto* combo = new QComboBox(this);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setVisible(false); // the grid shows it in place
    if (hint != nullptr)
        combo->setToolTip(text::utf8(hint));
    for (const char8_t* item : items)
        combo->addItem(text::utf8(item));
    return combo;
}

Field* TfrmTavi52FF::selectedField() const
{
    return DBGrid->selectedField();
}

bool TfrmTavi52FF::editable() const
{
    return maintenance() && bodyDataSet() != nullptr;
}

void TfrmTavi52FF::SimpleBodyCustomDlg(Field& field)
{
    int key = keyF2;
    const std::string& name = field.name();
    if (name == "TM004" || name == "TM006" || name == "TM008" || name == "TM011")
        OpenF2Window(key, DBGrid);
}

Field* TfrmTavi52FF::lookupField(const QWidget* control) const
{
    const bool inGrid = control == DBGrid || (control != nullptr && DBGrid->isAncestorOf(control));
    return inGrid && editable() ? selectedField() : nullptr;
}

void TfrmTavi52FF::lookupFeature(Field& field)
{
    lookupInto(field, "BOMMD", "05", Variant::arrayOf({module_.cdsBody1.fieldByName("TD004").asString(), ""}));
}

void TfrmTavi52FF::OpenF2Window(int& key, QWidget* control)
{
    Field* field = lookupField(control);
    if (field == nullptr) {
        TfrmSimpleBody::OpenF2Window(key, control);
        return;
    }
    key = 0;
    const std::string& name = field->name();
    if (name == "TM004")
        lookupFeature(*field);
    else if (name == "TM006")
        lookupInto(*field, "INVMB", "01", Variant::arrayOf({}));
    else if (name == "TM008")
        lookupInto(*field, "CMSMW", "01", Variant::arrayOf({}));
    else if (name == "TM011")
        insertPhrase();
}

void TfrmTavi52FF::OpenF3Window(int& key, QWidget* control)
{
    Field* field = lookupField(control);
    if (field == nullptr) {
        TfrmSimpleBody::OpenF3Window(key, control);
        return;
    }
    key = 0;
    if (field->name() == "TM004")
        lookupFeature(*field);
    else if (field->name() == "TM006")
        ChooseOptions();
}

void TfrmTavi52FF::lookupInto(Field& field, std::string_view table, std::string_view kind, const Variant& keys)
{
    if (field.readOnly())
        return;
    Variant chosen;
    const std::string typed = field.asString();
    brokers().F2GetData(Variant(table), Variant(kind), keys, false, Variant(typed), windowHandle(), false, chosen);
    if (chosen.isUnassigned())
        return;
    const LookupAnswer answer = LookupAnswer::fromVariant(chosen);
    if (answer.rows.empty() || answer.rows.front().empty())
        return;
    DataSet& rows = field.dataSet();
    if (rows.state() == DataSetState::Browse)
        rows.edit();
    field.setText(text::trim(answer.rows.front().front().toString()));
}

void TfrmTavi52FF::insertPhrase()
{
    // The phrase goes into the cell's editor, opened when the cell is not being typed in.
    if (qobject_cast<QLineEdit*>(focusWidget()) == nullptr)
        DBGrid->edit(DBGrid->currentIndex());
    if (auto* cell = qobject_cast<QLineEdit*>(focusWidget()))
        InsertCommonPhrase(brokers(), *cell, "TM011");
}

std::vector<std::vector<Variant>> TfrmTavi52FF::structureRows(const std::string& feature)
{
    const ClientDataSet& line = module_.cdsBody1;
    const Variant keys = Variant::arrayOf({line.fieldByName("TD001").asString(), line.fieldByName("TD002").asString(),
                                           line.fieldByName("TD003").asString(), line.fieldByName("TD004").asString(),
                                           quantity_, feature});
    Variant answer;
    std::vector<std::vector<Variant>> rows;
    if (!brokers().QueryData("COPTD", "14", keys, answer) || !answer.isArray())
        return rows;
    for (const Variant& row : answer.array().elements()) {
        if (row.isArray())
            rows.emplace_back(row.array().elements().begin(), row.array().elements().end());
    }
    return rows;
}

void TfrmTavi52FF::appendOption(const std::vector<Variant>& row)
{
    ClientDataSet& rows = module_.cdsFoot;
    rows.append();
    SetFieldText(rows.findField("TM004"), column(row, featureColumn), false);
    SetFieldText(rows.findField("TM005"), column(row, typeColumn), false);
    // The feature's name and specification, as the check of a typed feature gives them.
    Variant names;
    const Variant keys =
        Variant::arrayOf({module_.cdsBody1.fieldByName("TD004").asString(), column(row, featureColumn)});
    if (brokers().CheckValue("BOMMD", "05", keys, names) && names.isArray()) {
        const std::vector<Variant> found(names.array().elements().begin(), names.array().elements().end());
        SetFieldText(rows.findField("TM004C"), column(found, 1), false);
        SetFieldText(rows.findField("TM004C1"), column(found, 2), false);
    }
    for (std::size_t i = 0; i < TfrmTavi52GF::optionFields.size(); ++i)
        SetFieldText(rows.findField(TfrmTavi52GF::optionFields[i]), column(row, firstOptionColumn + i), false);
    try {
        rows.post();
    } catch (...) {
        rows.cancel(); // a refused row is not left half made; the check said why
        throw;
    }
}

void TfrmTavi52FF::BuildOptionLines()
{
    if (topDataSet() == nullptr || !isEditing(*topDataSet()))
        return; // option lines change only with their order
    const FieldChecksOff checksOff(module_.cdsFoot);
    for (const std::vector<Variant>& row : structureRows(""))
        appendOption(row);
}

void TfrmTavi52FF::ChooseOptions()
{
    ClientDataSet& rows = module_.cdsFoot;
    const std::string feature = text::trim(rows.fieldByName("TM004").asString());
    if (feature.empty()) {
        const Variant label[] = {Variant(rows.fieldByName("TM004").displayLabel())};
        ShowMessageCode("E", "000003", false, label);
        return;
    }
    if (text::trim(rows.fieldByName("TM005").asString()) != "F")
        return;
    // The options already chosen for the feature, from a second cursor on the rows.
    RefreshCopyDataSet();
    std::map<std::string, bool> chosen;
    ClientDataSet& copy = copyDataSet();
    for (copy.first(); !copy.eof(); copy.next()) {
        if (text::trim(copy.fieldByName("TM004").asString()) == feature)
            chosen[text::trim(copy.fieldByName("TM006").asString())] = true;
    }
    const DialogOnce<TfrmTavi52GF> dialog(new TfrmTavi52GF(*this));
    std::vector<std::vector<Variant>> candidates = structureRows(feature);
    for (const std::vector<Variant>& row : candidates) {
        TfrmTavi52GF::Option option;
        for (std::size_t i = 0; i < TfrmTavi52GF::optionFields.size(); ++i)
            option.values.push_back(column(row, firstOptionColumn + i));
        option.chosen = chosen.contains(option.values.front());
        dialog->addOption(option);
    }
    if (dialog->ShowModal() != TfrmZtDialog::mrOK)
        return;
    if (isEditing(rows))
        rows.cancel();
    const std::vector<TfrmTavi52GF::Option> options = dialog->options();
    const FieldChecksOff checksOff(rows);
    for (rows.first(); !rows.eof();) {
        if (text::trim(rows.fieldByName("TM004").asString()) == feature)
            rows.deleteRecord();
        else
            rows.next();
    }
    for (std::size_t i = 0; i < options.size() && i < candidates.size(); ++i) {
        if (options[i].chosen)
            appendOption(candidates[i]);
    }
}

void TfrmTavi52FF::StampSubLines()
{
    StampRows();
}

void TfrmTavi52FF::StampNewRow()
{
    TfrmSimpleBody::StampNewRow();
    SetFieldText(module_.cdsFoot.findField("TM008"), "****", false);
}

bool TfrmTavi52FF::usedElsewhere(std::initializer_list<std::pair<const char*, std::string>> values)
{
    ClientDataSet& rows = module_.cdsFoot;
    const Bookmark current = rows.state() == DataSetState::Insert ? Bookmark{} : rows.bookmark();
    RefreshCopyDataSet();
    ClientDataSet& copy = copyDataSet();
    for (copy.first(); !copy.eof(); copy.next()) {
        if (!current.empty() && copy.bookmark() == current)
            continue;
        bool same = true;
        for (const auto& [field, value] : values)
            same = same && text::trim(copy.fieldByName(field).asString()) == value;
        if (same)
            return true;
    }
    return false;
}

bool TfrmTavi52FF::ValidateDataSet(DataSet& dataSet)
{
    if (&dataSet != bodyDataSet())
        return TfrmSimpleBody::ValidateDataSet(dataSet);
    if (!module_.formSwitches().subLineChecks())
        return true;
    const std::string feature = text::trim(dataSet.fieldByName("TM004").asString());
    const std::string type = text::trim(dataSet.fieldByName("TM005").asString());
    const std::string component = text::trim(dataSet.fieldByName("TM006").asString());
    if (type == "F" && usedElsewhere({{"TM005", type}, {"TM004", feature}})) {
        const Variant none[] = {Variant("")};
        ShowMessageCode("E", "100279", false, none);
        return false;
    }
    if (usedElsewhere({{"TM004", feature}, {"TM006", component}})) {
        const Variant labels[] = {
            Variant(dataSet.fieldByName("TM004").displayLabel() + "+" + dataSet.fieldByName("TM006").displayLabel())};
        ShowMessageCode("E", "000002", false, labels);
        return false;
    }
    return checkRequiredFields(dataSet, dataSet.name() + ":TM004,TM006,TM008") &&
           TfrmSimpleBody::ValidateDataSet(dataSet);
}

bool TfrmTavi52FF::FormKeyDown(QKeyEvent& event)
{
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    if (enter && focusWidget() == DBGrid && editable() && !isEditing(*bodyDataSet()) && !bodyDataSet()->isEmpty())
        bodyDataSet()->edit();
    return TfrmSimpleBody::FormKeyDown(event);
}

} // namespace orvane
