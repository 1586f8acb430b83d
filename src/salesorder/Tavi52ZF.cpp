#include "salesorder/Tavi52ZF.h"

#include "controls/F2Button.h"
#include "controls/MaskEdit.h"
#include "framework/DDObject.h"
#include "framework/VozurazCF.h"
#include "platform/lookup/LookupAnswer.h"
#include "platform/text/ByteText.h"
#include "platform/text/FieldTextRules.h"
#include "platform/text/Rounding.h"
#include "platform/variant/NumberText.h"
#include "salesorder/OrderDialogEntry.h"
#include "salesorder/Tavi52CD.h"
#include "services/Brokers.h"
#include "ui/FocusReasons.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>

namespace orvane {

namespace {

constexpr double feetPerCentimetre = 0.032808;

template <typename Control>
Control* named(Control* control, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

QLineEdit* lineEdit(QWidget* parent, const char* name, int maxLength)
{
    auto* edit = named(new QLineEdit(parent), name);
    edit->setMaxLength(maxLength);
    return edit;
}

// One row of a page: the label, the control and its lookup button when it has one.
void addRow(QGridLayout& grid, QLabel* label, QWidget* control, QWidget* button = nullptr)
{
    const int row = grid.rowCount();
    label->setBuddy(control);
    grid.addWidget(label, row, 0);
    grid.addWidget(control, row, 1);
    if (button != nullptr)
        grid.addWidget(button, row, 2);
}

// The number typed in edit, 0 when blank; none when the text is not a number (a pasted
// "1,000", full-width digits).
std::optional<double> typedNumber(const QLineEdit& edit)
{
    const std::string typed = text::trim(text::fromQString(edit.text()));
    if (typed.empty())
        return 0.0;
    const std::optional<double> value = text::tryParseFloat(typed);
    return value && std::isfinite(*value) ? value : std::nullopt;
}

// The number of an edit numbersTyped passed.
double number(const QLineEdit& edit)
{
    return typedNumber(edit).value_or(0.0);
}

// The integer before the colon of a combo item ("2:尾阶" gives 2).
int itemCode(const QComboBox& combo)
{
    return combo.currentText().section(u':', 0, 0).toInt();
}

} // namespace

TfrmTavi52ZF::TfrmTavi52ZF(TfrmVozuraz& owner, TdmTavi52& module) : TfrmZtDialog(owner), module_(module)
{
    setObjectName(QStringLiteral("frmTavi52ZF"));
    pgMain = named(new QTabWidget(this), "pgMain");
    pgMain->addTab(makeExplosionPage(), text::utf8(u8"整套组件展开作业"));
    pgMain->addTab(makeVolumePage(), text::utf8(u8" 计算外包装材积"));
    pgMain->tabBar()->hide(); // the caller picks the page
    pgMain->setDocumentMode(true);
    btnOK = named(new QPushButton(text::utf8(u8"确定"), this), "btnOK");
    btnCancel = named(new QPushButton(text::utf8(u8"取消"), this), "btnCancel");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 10);
    layout->addWidget(pgMain, 1);
    layout->addLayout(buttonRow(*btnOK, *btnCancel));

    connect(btnOK, &QPushButton::clicked, this, guardedSlot("btnOKClick", [this] { setModalResult(mrOK); }));
    connect(btnCancel, &QPushButton::clicked, this,
            guardedSlot("btnCancelClick", [this] { setModalResult(mrCancel); }));
    connect(cbo06, &QComboBox::currentIndexChanged, this, guardedSlot("cbo06Change", [this] { cbo06Change(); }));
    // The texts in the interface language before a page's caption becomes the window's.
    ConvertOnce();
    selectPage(explosionPage);
}

QWidget* TfrmTavi52ZF::makeExplosionPage()
{
    auto* page = named(new QWidget, "tbsExplode");
    auto* grid = new QGridLayout(page);
    grid->setColumnStretch(1, 1);
    ed01 = lineEdit(page, "ed01", 20);
    btn01 = lookupButton(page, "btn01", ed01);
    btn01->setToolTip(text::utf8(u8"BOM 用量信息查询"));
    AddCodeLookup(*ed01, "BOMMC", "01");
    ed02 = lineEdit(page, "ed02", 12);
    edDate03 = named(new MaskEdit(page), "edDate03");
    AddDateEdit(*edDate03);
    btn03 = lookupButton(page, "btn03", edDate03);
    btn03->setToolTip(text::utf8(u8"日期快手"));
    chk04 = named(new QCheckBox(text::utf8(u8"计算损耗率"), page), "chk04");
    cbo05 = named(new QComboBox(page), "cbo05");
    // The lists' texts start with the code the explosion reads (itemCode).
    cbo05->addItems({TDDObject::OwnText(*this, "cbo05.1", u8"1:单阶"), TDDObject::OwnText(*this, "cbo05.2", u8"2:尾阶")});
    cbo06 = named(new QComboBox(page), "cbo06");
    cbo06->addItems(
        {TDDObject::OwnText(*this, "cbo06.1", u8"1:主要仓库"), TDDObject::OwnText(*this, "cbo06.2", u8"2:指定仓库")});
    ed07 = lineEdit(page, "ed07", 10);
    btn07 = lookupButton(page, "btn07", ed07);
    btn07->setToolTip(text::utf8(u8"仓库基本信息查询"));
    edDate08 = named(new MaskEdit(page), "edDate08");
    AddDateEdit(*edDate08);
    btn08 = lookupButton(page, "btn08", edDate08);
    btn08->setToolTip(text::utf8(u8"日期快手"));
    for (QWidget* required : {static_cast<QWidget*>(ed01), static_cast<QWidget*>(ed02), static_cast<QWidget*>(edDate03),
                              static_cast<QWidget*>(edDate08)})
        paintRequired(*required);

    addRow(*grid, named(new QLabel(text::utf8(u8"主件品号"), page), "lbl01"), ed01, btn01);
    addRow(*grid, named(new QLabel(text::utf8(u8"数    量"), page), "lbl02"), ed02);
    addRow(*grid, named(new QLabel(text::utf8(u8"BOM 日期"), page), "lbl03"), edDate03, btn03);
    grid->addWidget(chk04, grid->rowCount(), 1);
    addRow(*grid, named(new QLabel(text::utf8(u8"展开方式"), page), "lbl05"), cbo05);
    addRow(*grid, named(new QLabel(text::utf8(u8"仓库选择"), page), "lbl06"), cbo06);
    addRow(*grid, named(new QLabel(text::utf8(u8"输入仓库"), page), "lbl07"), ed07, btn07);
    addRow(*grid, named(new QLabel(text::utf8(u8"输入预交货日"), page), "lbl08"), edDate08, btn08);
    grid->setRowStretch(grid->rowCount(), 1);
    return page;
}

QWidget* TfrmTavi52ZF::makeVolumePage()
{
    auto* page = named(new QWidget, "tbsVolume");
    auto* grid = new QGridLayout(page);
    const std::pair<QLineEdit**, const char8_t*> dimensions[] = {{&ed001, u8"长"}, {&ed002, u8"宽"}, {&ed003, u8"高"}};
    int row = 0;
    for (const auto& [edit, caption] : dimensions) {
        const std::string name = "ed00" + std::to_string(row + 1);
        *edit = lineEdit(page, name.c_str(), 6);
        auto* label = new QLabel(text::utf8(caption), page);
        label->setObjectName(QStringLiteral("lbl00%1").arg(row + 1));
        label->setBuddy(*edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(*edit, row, 1);
        grid->addWidget(new QLabel(QStringLiteral("CM"), page), row, 2);
        ++row;
    }
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(row, 1);
    return page;
}

void TfrmTavi52ZF::selectPage(int page)
{
    pgMain->setCurrentIndex(page == volumePage ? volumePage : explosionPage);
    // The dialog takes the size of the page shown, not of the larger one.
    for (int i = 0; i < pgMain->count(); ++i) {
        const auto policy = i == pgMain->currentIndex() ? QSizePolicy::Preferred : QSizePolicy::Ignored;
        pgMain->widget(i)->setSizePolicy(policy, policy);
    }
    setWindowTitle(pgMain->tabText(pgMain->currentIndex()).trimmed());
    if (page == volumePage) {
        for (QLineEdit* edit : {ed001, ed002, ed003})
            edit->setText(QStringLiteral("0"));
        ed001->setFocus();
    } else {
        resetExplosionPage();
    }
}

void TfrmTavi52ZF::resetExplosionPage()
{
    ed01->clear();
    ed02->clear();
    edDate03->setFieldText(DateText(Today()));
    chk04->setChecked(false);
    cbo05->setCurrentIndex(0);
    cbo06->setCurrentIndex(0);
    cbo06Change();
    edDate08->setFieldText(DateText(Today()));
    ed01->setFocus();
}

void TfrmTavi52ZF::cbo06Change()
{
    const bool given = itemCode(*cbo06) == 2;
    if (!given)
        ed07->clear();
    ed07->setEnabled(given);
    btn07->setEnabled(given);
    if (given)
        paintRequired(*ed07);
    else
        paintButtonFace(*ed07);
}

std::string TfrmTavi52ZF::factory() const
{
    const Field* field = module_.cdsMain.active() ? module_.cdsMain.findField("TC007") : nullptr;
    return field != nullptr ? field->asString() : std::string();
}

void TfrmTavi52ZF::OpenF2Window(int& key, QWidget* control)
{
    if (control != ed07) {
        TfrmZtDialog::OpenF2Window(key, control);
        return;
    }
    key = 0;
    if (!ed07->isEnabled())
        return;
    Variant chosen;
    const std::string typed = text::fromQString(ed07->text());
    brokers().F2GetData(Variant("CMSMC"), Variant("01"), Variant::arrayOf({factory()}), false, Variant(typed),
                        owner().windowHandle(), false, chosen);
    if (chosen.isUnassigned())
        return;
    const LookupAnswer answer = LookupAnswer::fromVariant(chosen);
    if (!answer.rows.empty() && !answer.rows.front().empty())
        ed07->setText(text::toQString(text::trim(answer.rows.front().front().toString())));
}

bool TfrmTavi52ZF::FormKeyDown(QKeyEvent& event)
{
    QWidget* control = focusWidget();
    const bool numberEdit = control == ed02 || control == ed001 || control == ed002 || control == ed003;
    if (numberEdit && refusesNumberKey(event, *static_cast<QLineEdit*>(control)))
        return true;
    if (control == edDate03 || control == edDate08) {
        if (event.key() == Qt::Key_Delete)
            return true; // a masked date keeps its separators in place
        if (event.text() == QStringLiteral("$")) {
            static_cast<MaskEdit*>(control)->setFieldText(DateText(Today()));
            return true;
        }
        if (refusesDateKey(event))
            return true;
    }
    return TfrmZtDialog::FormKeyDown(event);
}

bool TfrmTavi52ZF::eventFilter(QObject* watched, QEvent* event)
{
    const bool focusEvent = event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut;
    auto* control = qobject_cast<QWidget*>(watched);
    if (focusEvent && !checking_ && control != nullptr && control->window() == this) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (!focusTakenOver(reason)) {
            if (event->type() == QEvent::FocusIn)
                guarded("TfrmTavi52ZF.ControlEnter", [&] { controlEnter(control); });
            else
                guarded("TfrmTavi52ZF.ControlExit", [&] { controlExit(control); });
        }
    }
    return TfrmZtDialog::eventFilter(watched, event);
}

void TfrmTavi52ZF::controlEnter(QWidget* control)
{
    // An empty planned delivery date takes over the BOM date, the date before it (the BOM date
    // has none before it: the quantity is no date).
    if (control == edDate08 && text::isBlankMaskText(edDate08->fieldText(), dateSeparator()))
        edDate08->setText(edDate03->text());
}

bool TfrmTavi52ZF::controlExit(QWidget* control)
{
    if (control == ed001 || control == ed002 || control == ed003) {
        auto* edit = static_cast<QLineEdit*>(control);
        if (edit->text().trimmed().isEmpty())
            edit->setText(QStringLiteral("0"));
        return true;
    }
    if (focusWidget() == btnCancel)
        return true;
    checking_ = true;
    bool passed = true;
    if (control == ed01 && !ed01->text().trimmed().isEmpty()) {
        passed = CheckCode(*ed01, "BOMMC", "01", "E", Variant());
    } else if (control == ed07 && !ed07->text().trimmed().isEmpty()) {
        passed = CheckCode(*ed07, "CMSMC", "02", "E",
                           Variant::arrayOf({factory(), text::trim(text::fromQString(ed07->text()))}));
    } else if (control == edDate03 || control == edDate08) {
        const std::string stored = StoredDate(static_cast<MaskEdit*>(control)->fieldText());
        passed = stored.empty() || text::isValidStoredDate(stored);
        if (!passed) {
            const Variant none[] = {Variant("")};
            owner().ShowMessageCode("E", "000005", false, none);
        }
    }
    if (!passed)
        control->setFocus();
    checking_ = false;
    return passed;
}

bool TfrmTavi52ZF::numbersTyped(std::initializer_list<QLineEdit*> edits)
{
    for (QLineEdit* edit : edits) {
        if (typedNumber(*edit))
            continue;
        tellAbout(*edit, "msgNotNumber", u8"[%1]不是数字, 请重新输入!");
        edit->setFocus();
        return false;
    }
    return true;
}

void TfrmTavi52ZF::tellAbout(const QLineEdit& edit, std::string_view part, const char8_t* designText)
{
    owner().ShowInterfaceMessage(
        text::fromQString(TDDObject::OwnText(*this, part, designText).arg(text::toQString(LabelFor(&edit)))));
}

bool TfrmTavi52ZF::setsCounted()
{
    if (number(*ed02) > 0)
        return true;
    tellAbout(*ed02, "msgNotAboveZero", u8"[%1]必须大于零!");
    ed02->setFocus();
    return false;
}

bool TfrmTavi52ZF::requiredFilled()
{
    std::vector<QLineEdit*> required{ed01, ed02, edDate03};
    if (itemCode(*cbo06) == 2)
        required.push_back(ed07);
    required.push_back(edDate08);
    for (QLineEdit* edit : required) {
        const auto* date = qobject_cast<MaskEdit*>(edit);
        const bool empty = date != nullptr ? StoredDate(date->fieldText()).empty() : edit->text().trimmed().isEmpty();
        if (!empty)
            continue;
        const Variant label[] = {Variant(LabelFor(edit))};
        owner().ShowMessageCode("E", "000003", false, label);
        edit->setFocus();
        return false;
    }
    return true;
}

Variant TfrmTavi52ZF::explosionValues() const
{
    return Variant::arrayOf({text::trim(text::fromQString(ed01->text())), number(*ed02),
                             StoredDate(edDate03->fieldText()), chk04->isChecked() ? "Y" : "N", itemCode(*cbo05),
                             itemCode(*cbo06), text::trim(text::fromQString(ed07->text())),
                             StoredDate(edDate08->fieldText())});
}

double TfrmTavi52ZF::CubicFeet(double length, double width, double height)
{
    const double foot = feetPerCentimetre;
    return text::roundTo(length * width * height * foot * foot * foot, 3);
}

bool TfrmTavi52ZF::FormCloseQuery()
{
    if (modalResult() != mrOK)
        return true;
    if (pgMain->currentIndex() == volumePage) {
        if (!numbersTyped({ed001, ed002, ed003}))
            return false;
        result_ = Variant(CubicFeet(number(*ed001), number(*ed002), number(*ed003)));
        return true;
    }
    // The focused control is checked as when it is left; a refusal keeps the dialog open.
    if (QWidget* control = focusWidget(); control != nullptr && !controlExit(control))
        return false;
    if (!requiredFilled() || !numbersTyped({ed02}) || !setsCounted())
        return false;
    result_ = explosionValues();
    return true;
}

bool ShowZF(TfrmVozuraz& owner, TdmTavi52& module, int page, int width, int height, Variant& result)
{
    const DialogOnce<TfrmTavi52ZF> dialog(new TfrmTavi52ZF(owner, module));
    dialog->selectPage(page);
    dialog->resize(width, height);
    if (dialog->ShowModal() != TfrmZtDialog::mrOK)
        return false;
    result = dialog->result();
    return true;
}

} // namespace orvane
