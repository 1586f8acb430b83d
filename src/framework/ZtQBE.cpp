#include "framework/ZtQBE.h"

#include "controls/MaskEdit.h"
#include "framework/DDObject.h"
#include "platform/data/DataSet.h"
#include "platform/text/ByteText.h"
#include "platform/text/FieldTextRules.h"
#include "ui/DialogService.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace orvane {
namespace {

enum Page { keyPage = 0, headPage = 1, bodyPage = 2 };

QString qt(const std::string& text)
{
    return text::toQString(text);
}

bool isLike(const QString& op)
{
    return op.compare(QStringLiteral("like"), Qt::CaseInsensitive) == 0;
}

// A text value in single quotes, its quotes doubled.
QString quoted(QString value)
{
    return u'\'' + value.replace(u'\'', QStringLiteral("''")) + u'\'';
}

// table.field, or the field alone when the table is blank.
QString qualified(const std::string& table, const std::string& field)
{
    return text::trim(table).empty() ? qt(field) : qt(table) + u'.' + qt(field);
}

// The definition of name in defs or in the nested definitions of their detail fields.
const FieldDef* findDef(const std::vector<FieldDef>& defs, std::string_view name)
{
    for (const FieldDef& def : defs) {
        if (text::equalsIgnoringCase(def.name, name))
            return &def;
        if (const FieldDef* nested = findDef(def.nested, name))
            return nested;
    }
    return nullptr;
}

// The parts of the control-type entry of field; empty when it has none.
std::vector<std::string> controlTypeOf(const std::vector<std::string>& entries, std::string_view field)
{
    for (const std::string& entry : entries) {
        std::vector<std::string> parts = text::splitList(entry, ';', text::ListItems::Trimmed);
        if (!parts.empty() && text::equalsIgnoringCase(parts[0], field))
            return parts;
    }
    return {};
}

// Typing filters: numbers take digits, "-" and one "."; the row limit takes digits.
QValidator* numberFilter(QObject* parent)
{
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9-]*\\.?[0-9-]*")), parent);
}

QValidator* digitFilter(QObject* parent)
{
    return new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), parent);
}

QComboBox* operatorList(const QString& name, const QStringList& items)
{
    auto* list = new QComboBox;
    list->setObjectName(name);
    list->addItems(items);
    list->setCurrentText(QStringLiteral("="));
    return list;
}

QPushButton* button(const char* name, const char8_t* caption)
{
    auto* result = new QPushButton(text::utf8(caption));
    result->setObjectName(QString::fromLatin1(name));
    result->setAutoDefault(false);
    return result;
}

// The lines of a condition list joined with CR LF, as the server reads them.
QString memoText(const QPlainTextEdit& memo)
{
    return memo.toPlainText().split(u'\n').join(QStringLiteral("\r\n"));
}

} // namespace

struct TQBEForm::Names {
    const char* field;
    const char* op;
    const char* value;
    const char* check;
    const char* date;
    const char* assign;
    const char* clear;
    const char* memo;
    const char* logic;
};

TQBEForm::TQBEForm(QWidget* parent) : TZtForm(parent), pages_(new QTabWidget)
{
    setObjectName(QStringLiteral("QBEForm"));
    setWindowFlag(Qt::Dialog);
    setWindowTitle(text::utf8(u8"设置查询条件"));
    head_.fieldNames = &inputs_.fieldNames;
    body_.fieldNames = &inputs_.bodyFieldNames;

    pages_->setObjectName(QStringLiteral("pgQBE"));
    pages_->addTab(buildKeyPage(), text::utf8(u8"一般选项"));
    static const Names headNames{"cboField", "CbOperator", "cboValue", "ckbValue", "edDateValue",
                                 "BbAssign", "BBClear",    "Memo1",    "rgLogic"};
    static const Names bodyNames{"cboField2", "CbOperator2", "cboValue2", "ckbValue2", "edDateValue2",
                                 "BbAssign2", "BBClear2",    "Memo2",     "rgLogic2"};
    QWidget* headPageWidget = buildConditionPage(head_, headNames, buildSortBox());
    headPageWidget->setObjectName(QStringLiteral("tbsAdvanced"));
    pages_->addTab(headPageWidget, text::utf8(u8"高级设置"));
    QWidget* bodyPageWidget = buildConditionPage(body_, bodyNames, nullptr);
    bodyPageWidget->setObjectName(QStringLiteral("tbsBody"));
    pages_->addTab(bodyPageWidget, text::utf8(u8"单身设置"));
    pages_->setTabVisible(bodyPage, false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_, 1);
    layout->addWidget(buildBottomRow());
    resize(640, 480);

    connectConditionPage(head_);
    connectConditionPage(body_);
    connect(head_.assign, &QPushButton::clicked, this,
            guardedSlot("TQBEForm.BbAssignClick", [this] { BbAssignClick(); }));
    connect(body_.assign, &QPushButton::clicked, this,
            guardedSlot("TQBEForm.BbAssign2Click", [this] { BbAssign2Click(); }));
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) { BBOK_->setDefault(index != keyPage); });
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

TQBEForm::~TQBEForm() = default;

QWidget* TQBEForm::buildKeyPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("tbsGeneral"));
    auto* grid = new QGridLayout(page);
    const QStringList operators{"<", "<=", "=", ">=", ">", "like"};
    for (int i = 0; i < keyRows; ++i) {
        const QString number = QString::number(i + 1);
        lblKeyField_[i] = new QLabel;
        lblKeyField_[i]->setObjectName(QStringLiteral("lblKeyField") + number);
        cboKeyFilter_[i] = operatorList(QStringLiteral("cboKeyFilter") + number, operators);
        edKeyValue_[i] = new QLineEdit;
        edKeyValue_[i]->setObjectName(QStringLiteral("edKeyValue") + number);
        grid->addWidget(lblKeyField_[i], i, 0);
        grid->addWidget(cboKeyFilter_[i], i, 1);
        grid->addWidget(edKeyValue_[i], i, 2);
    }
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(keyRows, 1);
    return page;
}

QWidget* TQBEForm::buildConditionPage(ConditionPage& page, const Names& names, QWidget* below)
{
    auto* widget = new QWidget;
    page.field = new QComboBox;
    page.field->setObjectName(QString::fromLatin1(names.field));
    page.op = operatorList(QString::fromLatin1(names.op), {"=", ">=", "<=", ">", "<", "<>", "like"});
    page.value = new QComboBox;
    page.value->setObjectName(QString::fromLatin1(names.value));
    page.value->setEditable(true);
    page.check = new QCheckBox;
    page.check->setObjectName(QString::fromLatin1(names.check));
    page.check->hide();
    page.date = new MaskEdit;
    page.date->setObjectName(QString::fromLatin1(names.date));
    page.date->hide();
    page.assign = button(names.assign, u8"添加(&A)");
    page.clear = button(names.clear, u8"清除(&L)");

    auto* condition = new QHBoxLayout;
    condition->addWidget(page.field, 2);
    condition->addWidget(page.op);
    condition->addWidget(page.value, 2);
    condition->addWidget(page.check, 2);
    condition->addWidget(page.date, 2);
    condition->addWidget(page.assign);
    condition->addWidget(page.clear);

    page.memo = new QPlainTextEdit;
    page.memo->setObjectName(QString::fromLatin1(names.memo));
    page.memo->setReadOnly(true);
    page.memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    page.logic = new QGroupBox(text::utf8(u8"条件关系"));
    page.logic->setObjectName(QString::fromLatin1(names.logic));
    page.logicAnd = new QRadioButton(QStringLiteral("AND"));
    page.logicOr = new QRadioButton(QStringLiteral("OR"));
    page.logicAnd->setChecked(true);
    page.logic->setEnabled(false);
    auto* logic = new QVBoxLayout(page.logic);
    logic->addWidget(page.logicAnd);
    logic->addWidget(page.logicOr);
    logic->addStretch();

    auto* list = new QHBoxLayout;
    list->addWidget(page.memo, 1);
    list->addWidget(page.logic);

    auto* layout = new QVBoxLayout(widget);
    layout->addLayout(condition);
    layout->addLayout(list, 1);
    if (below != nullptr)
        layout->addWidget(below, 1);
    return widget;
}

QWidget* TQBEForm::buildSortBox()
{
    auto* box = new QWidget;
    ListBox1_ = new QListWidget;
    ListBox1_->setObjectName(QStringLiteral("ListBox1"));
    ListBox2_ = new QListWidget;
    ListBox2_->setObjectName(QStringLiteral("ListBox2"));
    ListBox2_->setDragDropMode(QAbstractItemView::InternalMove);
    chkBody_ = new QCheckBox(text::utf8(u8"含单身筛选条件"));
    chkBody_->setObjectName(QStringLiteral("chkBody"));
    chkBody_->hide();

    auto* title = new QLabel(text::utf8(u8"设置排序字段"));
    title->setObjectName(QStringLiteral("lblSort"));
    auto* lists = new QHBoxLayout;
    lists->addWidget(ListBox1_);
    lists->addWidget(ListBox2_);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(title);
    layout->addLayout(lists, 1);
    layout->addWidget(chkBody_);

    connect(ListBox1_, &QListWidget::itemDoubleClicked, this,
            guardedSlot("TQBEForm.ListBox1DblClick", [this](QListWidgetItem* item) { moveToSort(item); }));
    connect(ListBox2_, &QListWidget::itemDoubleClicked, this,
            guardedSlot("TQBEForm.ListBox2DblClick", [this](QListWidgetItem* item) { removeFromSort(item); }));
    connect(chkBody_, &QCheckBox::toggled, this,
            guardedSlot("TQBEForm.chkBodyClick", [this](bool checked) { showBodyPage(checked); }));
    return box;
}

QWidget* TQBEForm::buildBottomRow()
{
    auto* row = new QWidget;
    auto* limit = new QLabel(text::utf8(u8"总信息笔数限制"));
    limit->setObjectName(QStringLiteral("lblTopRow"));
    cbTopRow_ = new QComboBox;
    cbTopRow_->setObjectName(QStringLiteral("cbTopRow"));
    cbTopRow_->setEditable(true);
    cbTopRow_->addItems({"500", "0", "100", "200", "1000", "1500"});
    cbTopRow_->setCurrentText(QStringLiteral("500"));
    cbTopRow_->setValidator(digitFilter(cbTopRow_));
    BBOK_ = button("BBOK", u8"确定(&O)");
    BBCancel_ = button("BBCancel", u8"取消(&C)");

    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(limit);
    layout->addWidget(cbTopRow_);
    layout->addStretch(1);
    layout->addWidget(BBOK_);
    layout->addWidget(BBCancel_);

    connect(BBOK_, &QPushButton::clicked, this, guardedSlot("TQBEForm.BBOKClick", [this] { BBOKClick(); }));
    connect(BBCancel_, &QPushButton::clicked, this, [this] { close(); });
    return row;
}

void TQBEForm::connectConditionPage(ConditionPage& page)
{
    ConditionPage* target = &page;
    connect(page.field, &QComboBox::currentIndexChanged, this,
            guardedSlot("TQBEForm.cboFieldChange", [this, target] { chooseField(*target); }));
    connect(page.clear, &QPushButton::clicked, this,
            guardedSlot("TQBEForm.BBClearClick", [this, target] { clearConditions(*target); }));
}

void TQBEForm::setInputs(QBEInputs inputs)
{
    if (!text::trim(inputs.bodyTable).empty()) {
        const auto heads = text::splitList(inputs.keyFieldList, ',', text::ListItems::TrimmedNonEmpty);
        const auto bodies = text::splitList(inputs.bodyKeyFieldList, ',', text::ListItems::TrimmedNonEmpty);
        // The line key goes on past the head's key with the line number, which links nothing.
        if (bodies.size() < heads.size())
            throw QueryWindowError("Query window: the body key fields \"" + inputs.bodyKeyFieldList + "\" of " +
                                   inputs.bodyTable + " are fewer than the key fields \"" + inputs.keyFieldList +
                                   "\" of " + inputs.headTable + " they link to");
    }
    inputs_ = std::move(inputs);
    fillKeyRows();
    fillFields(head_);
    fillFields(body_);
    fillSortFields();
    chkBody_->setVisible(!text::trim(inputs_.bodyTable).empty());
    chkBody_->setChecked(false);
}

bool TQBEForm::Execute()
{
    confirmed_ = false;
    ConvertOnce();
    DialogService::instance().runModal(*this);
    return confirmed_;
}

void TQBEForm::showEvent(QShowEvent* event)
{
    TZtForm::showEvent(event);
    if (!event->spontaneous())
        guarded("TQBEForm.FormActivate", [this] { FormActivate(); });
}

void TQBEForm::FormActivate()
{
    if (!activated_) {
        activated_ = true;
        pages_->setCurrentIndex(keyPage);
    }
    if (!chkBody_->isHidden() && pages_->currentIndex() == bodyPage) {
        pages_->setTabVisible(bodyPage, false);
        pages_->setCurrentIndex(headPage);
    }
    chkBody_->setChecked(false);
    BBOK_->setDefault(pages_->currentIndex() != keyPage);
    // Typing starts in the page's first input, not on the page tabs, where it did nothing.
    QWidget* first = pages_->currentIndex() == keyPage ? static_cast<QWidget*>(edKeyValue_[0]) : head_.field;
    first->setFocus(Qt::OtherFocusReason);
}

bool TQBEForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return TZtForm::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (widget == nullptr || widget->window() != this)
        return false; // a combo box's popup handles its own keys
    if (key == Qt::Key_Escape) {
        close();
        return true;
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    // Enter in a sort list moves its field as a double-click does, rather than confirming.
    if (widget == ListBox1_ || widget == ListBox2_) {
        auto* list = static_cast<QListWidget*>(widget);
        if (QListWidgetItem* item = list->currentItem())
            guarded("TQBEForm.ListBoxEnter", [&] { list == ListBox1_ ? moveToSort(item) : removeFromSort(item); });
        return true;
    }
    if (auto* pushed = qobject_cast<QPushButton*>(widget))
        pushed->click();
    else if (pages_->currentIndex() == keyPage)
        focusNextChild();
    else
        guarded("TQBEForm.EnterConfirms", [&] { confirmWithTypedValue(widget); });
    return true;
}

// A value typed and not yet added counts, as the clerk pressing Enter means it to.
void TQBEForm::confirmWithTypedValue(QWidget* focused)
{
    for (ConditionPage* page : {&head_, &body_}) {
        const bool typing = focused == page->date || focused == page->value || page->value->isAncestorOf(focused);
        if (typing && !valueText(*page).isEmpty())
            addCondition(*page);
    }
    BBOK_->click();
}

void TQBEForm::fillKeyRows()
{
    const std::vector<std::string> keys = keyFields();
    for (int i = 0; i < keyRows; ++i) {
        const bool used = static_cast<std::size_t>(i) < keys.size();
        lblKeyField_[i]->setVisible(used);
        cboKeyFilter_[i]->setVisible(used);
        edKeyValue_[i]->setVisible(used);
        edKeyValue_[i]->clear();
        delete edKeyValue_[i]->validator();
        edKeyValue_[i]->setValidator(nullptr);
        if (!used)
            continue;
        lblKeyField_[i]->setText(fieldCaption(keys[i]));
        if (isNumeric(keys[i]))
            edKeyValue_[i]->setValidator(numberFilter(edKeyValue_[i]));
    }
}

void TQBEForm::fillFields(ConditionPage& page)
{
    const QSignalBlocker blocker(page.field);
    page.field->clear();
    for (const std::string& name : *page.fieldNames)
        page.field->addItem(fieldCaption(name));
    clearConditions(page);
    chooseField(page);
}

void TQBEForm::fillSortFields()
{
    ListBox1_->clear();
    ListBox2_->clear();
    for (const std::string& name : inputs_.fieldNames)
        ListBox1_->addItem(fieldCaption(name));
}

void TQBEForm::chooseField(ConditionPage& page)
{
    const int index = page.field->currentIndex();
    const std::string name = index >= 0 ? (*page.fieldNames)[static_cast<std::size_t>(index)] : std::string();
    const std::vector<std::string> type = controlTypeOf(inputs_.controlTypes, name);
    const std::string kind = type.size() > 1 ? type[1] : std::string();
    if (text::equalsIgnoringCase(kind, "CheckBox")) {
        page.editor = ValueEditor::CheckBox;
        page.checkedValue = qt(type.size() > 2 ? type[2] : std::string());
        page.uncheckedValue = qt(type.size() > 3 ? type[3] : std::string());
    } else if (!text::equalsIgnoringCase(kind, "CustomEdit") && isDateField(name)) {
        page.editor = ValueEditor::Date;
        page.date->setEditMask(text::dateEditMask(inputs_.dateStyle, inputs_.dateSeparator));
    } else {
        page.editor = ValueEditor::Combo;
    }
    page.value->setVisible(page.editor == ValueEditor::Combo);
    page.check->setVisible(page.editor == ValueEditor::CheckBox);
    page.date->setVisible(page.editor == ValueEditor::Date);
    page.check->setChecked(false);
    page.value->clearEditText();
    page.date->clear();
    delete page.value->validator();
    page.value->setValidator(isNumeric(name) ? numberFilter(page.value) : nullptr);
}

void TQBEForm::BbAssignClick()
{
    addCondition(head_);
}

void TQBEForm::BbAssign2Click()
{
    addCondition(body_);
}

void TQBEForm::addCondition(ConditionPage& page)
{
    const int index = page.field->currentIndex();
    if (index < 0)
        return;
    // Taking the focus ends the typing in the value editor before its text is read.
    page.assign->setFocus(Qt::OtherFocusReason);
    QString value = valueText(page);
    if (value.isEmpty()) {
        ZtConverter().ShowError(
            text::fromQString(TDDObject::OwnText(*this, "msgValueFirst", u8"希望您能够先输入您要找的信息!")));
        QWidget* editor = page.editor == ValueEditor::Date ? static_cast<QWidget*>(page.date) : page.value;
        editor->setFocus(Qt::OtherFocusReason);
        return;
    }
    const std::string& name = (*page.fieldNames)[static_cast<std::size_t>(index)];
    const QString op = page.op->currentText();
    if (isLike(op))
        value += u'%';
    if (!isNumeric(name))
        value = quoted(value);
    // A line condition names the line table: a column both tables have (the audit columns) would
    // otherwise be the head's.
    const std::string& table = &page == &body_ ? inputs_.bodyTable : inputs_.headTable;
    const QString condition = u'(' + qualified(table, name) + u' ' + op + u' ' + value + u')';
    if (page.memo->toPlainText().isEmpty()) {
        page.memo->setPlainText(condition);
    } else {
        const QString logic = page.logicOr->isChecked() ? QStringLiteral("OR") : QStringLiteral("AND");
        page.memo->appendPlainText(QStringLiteral("  ") + logic + u' ' + condition);
    }
    page.logic->setEnabled(true);
}

void TQBEForm::clearConditions(ConditionPage& page)
{
    page.memo->clear();
    page.logic->setEnabled(false);
}

QString TQBEForm::valueText(const ConditionPage& page) const
{
    switch (page.editor) {
    case ValueEditor::CheckBox: return page.check->isChecked() ? page.checkedValue : page.uncheckedValue;
    case ValueEditor::Date: return dateValue(*page.date);
    case ValueEditor::Combo: break;
    }
    return page.value->currentText();
}

// A whole date in its stored form (YYYYMMDD); a partial one with its separators and blanks
// removed, so that "like" finds a year or a month.
QString TQBEForm::dateValue(const MaskEdit& edit) const
{
    const std::string typed = edit.fieldText();
    const std::string stored = text::dateStorageText(typed, inputs_.dateStyle, inputs_.dateSeparator);
    if (stored.size() == 8)
        return qt(stored);
    QString partial = qt(typed);
    if (!inputs_.dateSeparator.empty())
        partial.remove(qt(inputs_.dateSeparator));
    return partial.remove(u' ');
}

void TQBEForm::moveToSort(QListWidgetItem* item)
{
    auto* sorted = new QListWidgetItem(item->text());
    sorted->setFlags(sorted->flags() | Qt::ItemIsUserCheckable);
    sorted->setCheckState(Qt::Unchecked);
    ListBox2_->addItem(sorted);
    delete ListBox1_->takeItem(ListBox1_->row(item));
}

// The field goes back to the available list, in its place among the fields offered.
void TQBEForm::removeFromSort(QListWidgetItem* item)
{
    const QString text = item->text();
    delete ListBox2_->takeItem(ListBox2_->row(item));
    int row = 0;
    for (const std::string& name : inputs_.fieldNames) {
        const QString caption = fieldCaption(name);
        if (caption == text)
            break;
        if (!ListBox1_->findItems(caption, Qt::MatchExactly).isEmpty())
            ++row;
    }
    ListBox1_->insertItem(row, text);
}

void TQBEForm::showBodyPage(bool show)
{
    pages_->setTabVisible(bodyPage, show);
}

void TQBEForm::BBOKClick()
{
    QString where;
    if (pages_->currentIndex() == keyPage)
        where = keyRowsWhere();
    else if (chkBody_->isChecked())
        where = bodyFilterWhere();
    else
        where = memoText(*head_.memo);
    whereText_ = text::fromQString(where);
    orderText_ = text::fromQString(orderBy());
    rowLimit_ = rowLimit();
    confirmed_ = true;
    close();
}

QString TQBEForm::keyRowsWhere() const
{
    const std::vector<std::string> keys = keyFields();
    QString where;
    for (std::size_t i = 0; i < keys.size() && i < keyRows; ++i) {
        QString value = edKeyValue_[i]->text();
        if (value.isEmpty())
            continue;
        const QString op = cboKeyFilter_[i]->currentText();
        if (isLike(op))
            value += u'%';
        if (!where.isEmpty())
            where += QStringLiteral(" and ");
        where += qualified(inputs_.headTable, keys[i]) + u' ' + op + u' ' + quoted(value);
    }
    return where;
}

// The head conditions (in parentheses, so that an OR among them keeps the line filter for every
// head) and a count of the lines that meet the body conditions.
QString TQBEForm::bodyFilterWhere() const
{
    const QString headPart = memoText(*head_.memo).trimmed();
    const QString bodyPart = memoText(*body_.memo).trimmed();
    const std::vector<std::string> heads = keyFields();
    const auto bodies = text::splitList(inputs_.bodyKeyFieldList, ',', text::ListItems::TrimmedNonEmpty);
    QStringList links;
    for (std::size_t k = 0; k < heads.size(); ++k)
        links << QStringLiteral(" (") + qualified(inputs_.headTable, heads[k]) + u'=' +
                     qualified(inputs_.bodyTable, bodies[k]) + u')';
    const QString database = inputs_.prefixCompanyDb ? qt(inputs_.companyDb) + QStringLiteral("..") : QString();
    QString count = QStringLiteral(" select count(*) FROM ") + database + qt(inputs_.bodyTable) + u' ' +
                    qt(inputs_.bodyTable) + QStringLiteral(" where ") + links.join(QStringLiteral(" and "));
    if (!bodyPart.isEmpty())
        count += QStringLiteral(" and  ( ") + bodyPart + QStringLiteral(" ) ");
    const QString headFilter = headPart.isEmpty() ? QString() : u'(' + headPart + QStringLiteral(") and ");
    return headFilter + QStringLiteral(" (") + count + QStringLiteral(") > 0 ");
}

QString TQBEForm::orderBy() const
{
    QStringList items;
    for (int i = 0; i < ListBox2_->count(); ++i) {
        const QListWidgetItem* item = ListBox2_->item(i);
        const QString field = item->text().section(u' ', 0, 0);
        items << field + (item->checkState() == Qt::Checked ? QStringLiteral(" desc") : QStringLiteral(" asc"));
    }
    return items.join(u',');
}

int TQBEForm::rowLimit() const
{
    bool number = false;
    const int limit = cbTopRow_->currentText().toInt(&number);
    return number ? limit : defaultRowLimit;
}

std::vector<std::string> TQBEForm::keyFields() const
{
    return text::splitList(inputs_.keyFieldList, ',', text::ListItems::TrimmedNonEmpty);
}

// "TC004 客户" for a field whose label differs from its name; the name comes first, so the
// sort fields' first word is the field.
QString TQBEForm::fieldCaption(const std::string& name) const
{
    const Field* field = inputs_.dataSet != nullptr ? inputs_.dataSet->findField(name) : nullptr;
    const FieldDef* def = inputs_.dataSet != nullptr ? findDef(inputs_.dataSet->fieldDefs(), name) : nullptr;
    const std::string label = field != nullptr ? field->displayLabel() : def != nullptr ? def->displayLabel : "";
    return label.empty() || label == name ? qt(name) : qt(name) + u' ' + qt(label);
}

// Numbers are written bare: small integers, integers and floats of the head dataset or its lines.
bool TQBEForm::isNumeric(const std::string& name) const
{
    if (inputs_.dataSet == nullptr)
        return false;
    const FieldDef* def = findDef(inputs_.dataSet->fieldDefs(), name);
    return def != nullptr &&
           (def->type == FieldType::SmallInt || def->type == FieldType::Integer || def->type == FieldType::Float);
}

bool TQBEForm::isDateField(const std::string& name) const
{
    if (text::equalsIgnoringCase(name, "CREATE_DATE") || text::equalsIgnoringCase(name, "MODI_DATE"))
        return true;
    return std::ranges::any_of(inputs_.dateFields,
                               [&](const std::string& date) { return text::equalsIgnoringCase(date, name); });
}

} // namespace orvane
