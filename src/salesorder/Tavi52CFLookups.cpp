// The order window's lookup keys (F2, F3, F4 on head edits and line columns) and the small
// windows of figures they open: prices, credit, stock.
#include "salesorder/Tavi52CF.h"

#include "controls/DBEdit.h"
#include "controls/DBGrid.h"
#include "controls/ZtDBMemo.h"
#include "framework/CommonPhrases.h"
#include "framework/DDObject.h"
#include "platform/lookup/LookupAnswer.h"
#include "platform/text/ByteText.h"
#include "platform/text/FieldTextRules.h"
#include "platform/text/FormatFloat.h"
#include "platform/variant/Dispatch.h"
#include "salesorder/Tavi52CD.h"
#include "ui/DialogService.h"
#include "ui/QtText.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace orvane {

// A list of the shell's lookup window for the fields it serves: the list's keys are the named
// values of the order ("=X" a fixed text) followed by the typed text unless the list takes no
// search text; the chosen row's first columns go into the fills (the field itself when empty;
// "-" for a list only looked at).
struct TfrmTavi52::ListLookup {
    std::string_view fields;
    const char* table;
    const char* kind;
    std::string_view keys;
    std::string_view fills;
    bool searched = true;
};

namespace {

using ListLookup = TfrmTavi52::ListLookup;

constexpr ListLookup f2Lists[] = {
    {"TC001", "CMSMQ", "01", "=22", ""},
    {"TC004,TC022,TC032,TC033", "COPMA", "01", "", ""},
    {"TC005", "CMSME", "01", "", ""},
    {"TC006", "CMSMK", "01", "", ""},
    {"TC007", "CMSMB", "01", "", ""},
    {"TC008", "CMSMF", "01", "", ""},
    {"TC009", "CMSMG", "01", "TC008", ""},
    {"TC010", "COPMD", "01", "TC004", ""},
    {"TC042", "CMSNA", "01", "=2", ""},
    {"TC023,TC024,TC025", "PURMA", "01", "", ""},
    {"TC034", "EPSMD", "01", "TC004", ""},
    {"TC036", "CMSMO", "01", "", ""},
    {"TC047", "NOTMA", "01", "", ""},
    {"TC049", "MTPMA", "01", "", ""},
    {"TD004", "INVMB", "01", "", ""},
    {"TD007", "CMSMC", "01", "TC007", ""},
    {"TD008", "INVMC", "01", "TD004", "-"},
    {"TD010,TD040", "INVMD", "01", "TD004", ""},
    {"TD014", "COPMG", "01", "TC004", ""},
    {"TD015", "COPMF", "01", "TC004,=N", "TD015,TD028"},
    {"TD017", "COPTA", "02", "TC004,TC006,TC008,TC039,TC016", "TD017,TD018,TD019"},
    {"TD027", "INVLD", "01", "", ""},
    {"TD029", "EPSMC", "01", "TD004,TD010", ""},
};

constexpr ListLookup f3Lists[] = {
    {"TD004", "COPMB", "02", "TC004", ""},
    {"TD011", "COPTH", "01", "TC004,TD004,TC008", "", false},
    {"TD032", "INVMC", "01", "TD004", "-"},
};

bool serves(std::string_view fields, std::string_view field)
{
    for (const std::string& name : text::splitList(fields, ',', text::ListItems::TrimmedNonEmpty)) {
        if (name == field)
            return true;
    }
    return false;
}

template <std::size_t N>
const ListLookup* listFor(const ListLookup (&lists)[N], std::string_view field)
{
    for (const ListLookup& list : lists) {
        if (serves(list.fields, field))
            return &list;
    }
    return nullptr;
}

constexpr std::string_view phraseFields = "TC013,TC015,TC020,TC021,TC052,TC053,TC054,TC055,TD020";

// A figure as the windows show it: grouped by thousands, as the order's own number fields.
QString shown(const Variant& value)
{
    return text::toQString(value.isNumeric() ? text::formatFloat(text::numberDisplayFormat, value.toFloat())
                                             : value.toString());
}

// The figure of a remote answer's element ("" past its end).
QString figure(const Variant& answer, int element)
{
    if (!answer.isArray() || element < answer.lowBound() || element > answer.highBound())
        return {};
    return shown(answer[element]);
}

double numberOrZero(const Variant& value)
{
    return value.isNumeric() ? value.toFloat() : 0;
}

} // namespace

Field* TfrmTavi52::lookupField(QWidget* control) const
{
    if (control == nullptr)
        return nullptr;
    if (control == gdBody1 || gdBody1->isAncestorOf(control))
        return gdBody1->selectedField();
    return boundFieldOf(control);
}

void TfrmTavi52::OpenF2Window(int& key, QWidget* control)
{
    TfrmDouble::OpenF2Window(key, control);
    Field* field = lookupField(control);
    if (field == nullptr)
        return;
    const std::string name = field->name();
    TdmTavi52& module = *orderModule();
    if (name == "TC056" || name == "TC057") {
        if (auto* edit = qobject_cast<DBEdit*>(control))
            choosePictureFile(*edit);
    } else if (name == "TC039" || name == "TD013") {
        pickDate(*field);
    } else if (serves(phraseFields, name)) {
        InsertCommonPhrase(brokers(), *control, name);
    } else if (name == "TD011") {
        showPriceWindow();
    } else if (name == "TD012") {
        showCreditWindow(remoteAnswer("CreditCtrl", Variant(headText("TC004"))));
    } else if (name == "TD031") {
        module.CalcCartonCount();
    } else if (name == "TD032") {
        showStockWindow(true);
    } else if (const ListLookup* list = listFor(f2Lists, name)) {
        if (name == "TD004")
            itemFromPriceWindow_ = false;
        openList(*list, *field, control);
    }
}

void TfrmTavi52::OpenF3Window(int& key, QWidget* control)
{
    TfrmDouble::OpenF3Window(key, control);
    Field* field = lookupField(control);
    if (field == nullptr)
        return;
    const std::string name = field->name();
    if (name == "TC004") {
        showCreditWindow(remoteAnswer("CreditCtrl", Variant(headText("TC004"))));
    } else if (name == "TC010") {
        std::string address = field->asString();
        brokers().PopupAddress(address, 0);
    } else if (name == "TC056" || name == "TC057") {
        appendFigure(control, DiamondMark);
    } else if (name == "TD008") {
        showStockWindow(false);
    } else if (const ListLookup* list = listFor(f3Lists, name)) {
        // A price picked from the customer's item prices is kept by the item check.
        if (openList(*list, *field, control) && name == "TD004")
            itemFromPriceWindow_ = true;
    }
}

void TfrmTavi52::OpenF4Window(int& key, QWidget* control)
{
    TfrmDouble::OpenF4Window(key, control);
    Field* field = lookupField(control);
    if (field == nullptr)
        return;
    if (field->name() == "TC056" || field->name() == "TC057") {
        appendFigure(control, TriangleMark);
    } else if (field->name() == "TD004" && recordMode() != RecordMode::Browse) {
        // A set is exploded only into an order being added or edited: a browsed order's lines are
        // only looked at.
        ClientDataSet& lines = orderModule()->cdsBody1;
        if (lines.state() == DataSetState::Insert && lineText("TD004").empty())
            lines.cancel(); // a new line without its item yet: the set's lines take its place
        else if (lines.state() == DataSetState::Insert)
            lines.post();
        else if (!isEditing(lines))
            lines.edit();
        ExplodeSetItem();
    }
}

bool TfrmTavi52::openList(const ListLookup& list, Field& field, QWidget* control)
{
    const bool looked = list.fills == "-";
    if (!looked && !isEditing(field.dataSet()) && recordMode() == RecordMode::Browse)
        return false;
    std::vector<std::string> fills = text::splitList(list.fills, ',', text::ListItems::TrimmedNonEmpty);
    if (fills.empty())
        fills.push_back(field.name());
    DataSet& dataSet = field.dataSet();
    // A list that fills a locked field (a price without the price right) does not open to write it.
    const auto locked = [&](const std::string& name) {
        const Field* filled = dataSet.findField(name);
        return filled != nullptr && filled->readOnly();
    };
    if (!looked && std::ranges::any_of(fills, locked))
        return false;
    auto* edit = qobject_cast<QLineEdit*>(control);
    const std::string typed = edit != nullptr ? text::fromQString(edit->text()) : field.asString();
    std::vector<Variant> keys;
    for (const std::string& key : text::splitList(list.keys, ',', text::ListItems::TrimmedNonEmpty))
        keys.emplace_back(key.starts_with('=') ? key.substr(1) : valueOf(key));
    if (list.searched)
        keys.emplace_back(looked ? std::string() : typed);
    Variant chosen;
    brokers().F2GetData(Variant(list.table), Variant(list.kind), Variant::arrayOf(std::move(keys)), false,
                        Variant(typed), windowHandle(), false, chosen);
    if (looked || chosen.isUnassigned())
        return false;
    const LookupAnswer answer = LookupAnswer::fromVariant(chosen);
    if (answer.rows.empty())
        return false;
    const std::vector<Variant>& row = answer.rows.front();
    if (dataSet.state() == DataSetState::Browse)
        dataSet.edit();
    // The row holds stored values, not typed text: a code field's text handler would look the
    // chosen code up once more in its own pick list.
    for (std::size_t i = 0; i < fills.size() && i < row.size(); ++i)
        dataSet.fieldByName(fills[i]).setAsString(row[i].toString());
    return true;
}

std::string TfrmTavi52::valueOf(std::string_view field) const
{
    const TdmTavi52& module = *orderModule();
    const ClientDataSet& dataSet = field.starts_with("TD") ? module.cdsBody1 : module.cdsMain;
    const Field* found = dataSet.hasRecord() ? dataSet.findField(field) : nullptr;
    return found != nullptr ? text::trim(found->asString()) : std::string();
}

void TfrmTavi52::pickDate(Field& field)
{
    if (field.readOnly() || recordMode() == RecordMode::Browse)
        return;
    const std::string chosen = brokers().ShowInputDay(Variant(text::trim(field.asString())));
    if (chosen.empty())
        return;
    if (field.dataSet().state() == DataSetState::Browse)
        field.dataSet().edit();
    field.setAsString(chosen);
}

Variant TfrmTavi52::remoteAnswer(std::string_view method, const Variant& args)
{
    Variant answer;
    brokers().RemoteCall(method, args, answer);
    return answer;
}

void TfrmTavi52::showFigureWindow(const char* name, const QString& caption, const std::vector<QString>& columns,
                                  const std::vector<std::pair<QString, std::vector<QString>>>& rows,
                                  const QString& note)
{
    // A dialog, so that Escape closes it: the window has no button of its own, and without a
    // window manager's title bar a plain window kept the order window blocked for good.
    QDialog window(this);
    window.setObjectName(QLatin1String(name));
    window.setWindowTitle(caption);
    auto* table = new QTableWidget(static_cast<int>(rows.size()), static_cast<int>(columns.size()), &window);
    table->setObjectName(QStringLiteral("gdFigures"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList titles;
    for (const QString& column : columns)
        titles << column;
    table->setHorizontalHeaderLabels(titles);
    for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
        table->setVerticalHeaderItem(row, new QTableWidgetItem(rows[row].first));
        for (int column = 0; column < static_cast<int>(rows[row].second.size()); ++column) {
            auto* item = new QTableWidgetItem(rows[row].second[column]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(row, column, item);
        }
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(table);
    int height = table->verticalHeader()->length() + table->horizontalHeader()->height() + 40;
    if (!note.isEmpty()) {
        auto* label = new QLabel(note, &window);
        label->setObjectName(QStringLiteral("lblNote"));
        label->setWordWrap(true);
        layout->addWidget(label);
        height += label->sizeHint().height() * 2;
    }
    // As wide as the titles and figures need (longer in some languages), 360 pixels at least.
    const QMargins margins = layout->contentsMargins();
    const int width = table->verticalHeader()->sizeHint().width() + table->horizontalHeader()->length() +
                      2 * table->frameWidth() + margins.left() + margins.right();
    window.resize(std::max(360, width), height);
    DialogService::instance().runModal(window);
}

void TfrmTavi52::showCreditWindow(const Variant& answer)
{
    if (!rightsSet().test(1) && !rightsSet().test(3)) {
        const Variant empty[] = {Variant("")};
        ShowMessageCode("E", "100253", false, empty);
        return;
    }
    if (!answer.isArray())
        return;
    const std::vector<QString> captions =
        TDDObject::OwnTexts("frmCredit", "row",
                            {u8"应收票据", u8"应收账款", u8"未结账销货", u8"订货金额", u8"合    计", u8"信用额度",
                             u8"可超出信用额度", u8"信用余额"});
    std::vector<std::pair<QString, std::vector<QString>>> rows;
    for (int i = 0; i < 8; ++i)
        rows.emplace_back(captions[i], std::vector<QString>{figure(answer, answer.lowBound() + i)});
    showFigureWindow("frmCredit", TDDObject::OwnText("frmCredit", "frmCredit", u8"客户信用余额查询"),
                     TDDObject::OwnTexts("frmCredit", "col", {u8"金额"}), rows);
}

void TfrmTavi52::showPriceWindow()
{
    const Variant quantity = remoteValue("QtyDToS", {Variant(valueOf("TD004")), Variant(lineNumber("TD008")),
                                                     Variant(0), Variant(valueOf("TD010")), Variant(valueOf("TD010"))});
    const Variant answer = remoteAnswer(
        "PriceList", Variant::arrayOf({Variant(valueOf("TC004")), Variant(valueOf("TD004")), Variant(valueOf("TD010")),
                                       Variant(valueOf("TC008")), Variant(valueOf("TC039")), Variant(valueOf("TC016")),
                                       Variant(lineNumber("TD037")), quantity}));
    if (!answer.isArray())
        return;
    // A price the server could not bring into the order's currency (no rate in force) is null:
    // marked, and the note under the figures says which rate is missing.
    bool unconverted = false;
    const auto price = [&](int element) {
        const bool missing = element <= answer.highBound() && answer[element].isNull();
        unconverted = unconverted || missing;
        return missing ? TDDObject::OwnText("frmPrice", "noRate", u8"无汇率") : figure(answer, element);
    };
    // Elements 0 to 5: the customer's and the standard price, each its kind, before and after
    // the quantity's discount; 6 the retail price; 7 to 12 the six price levels.
    const int at = answer.lowBound();
    const std::vector<QString> captions =
        TDDObject::OwnTexts("frmPrice", "row",
                            {u8"客户计价", u8"标准售价", u8"零 售 价", u8"售价定价一", u8"售价定价二", u8"售价定价三",
                             u8"售价定价四", u8"售价定价五", u8"售价定价六"});
    std::vector<std::pair<QString, std::vector<QString>>> rows{
        {captions[0], {figure(answer, at), price(at + 1), price(at + 2)}},
        {captions[1], {figure(answer, at + 3), price(at + 4), price(at + 5)}},
        {captions[2], {{}, price(at + 6), price(at + 6)}}};
    for (int level = 0; level < 6; ++level)
        rows.push_back({captions[3 + level], {{}, price(at + 7 + level), price(at + 7 + level)}});
    const QString note = unconverted
                             ? TDDObject::OwnText("frmPrice", "note", u8"币别 %1 于 %2 无汇率, 本币的品号价格无法换算")
                                   .arg(text::toQString(valueOf("TC008")),
                                        text::toQString(orderModule()->cdsMain.fieldByName("TC039").displayText()))
                             : QString();
    showFigureWindow("frmPrice", TDDObject::OwnText("frmPrice", "frmPrice", u8"客户价格查询"),
                     TDDObject::OwnTexts("frmPrice", "col", {u8"单价别", u8"折扣前", u8"折扣后"}), rows, note);
}

void TfrmTavi52::showStockWindow(bool packages)
{
    const Variant item(valueOf("TD004"));
    const Variant unit(valueOf(packages ? "TD036" : "TD010"));
    const Variant warehouse(valueOf("TD007"));
    const Variant factory(valueOf("TC007"));
    const Variant onHand = remoteValue(packages ? "OnHandPack" : "OnHand", {item, warehouse, unit, factory});
    const Variant onOrder =
        remoteValue(packages ? "CopOnOrderPack" : "CopOnOrder", {item, warehouse, unit, factory, Variant("")});
    // Both answers are plain quantities (open lines made single by the server), as is their difference.
    const Variant available(numberOrZero(onHand) - numberOrZero(onOrder));
    // The package figures are a window of their own, with their own texts.
    const char* window = packages ? "frmStockPack" : "frmStock";
    const QString caption = TDDObject::OwnText(window, window, packages ? u8"可用包装量查询" : u8"可用量查询");
    const std::vector<QString> captions =
        packages ? TDDObject::OwnTexts(window, "row", {u8"现有包装存量", u8"已受包装订量", u8"可用包装量"})
                 : TDDObject::OwnTexts(window, "row", {u8"现有存量", u8"已受订量", u8"可用量"});
    showFigureWindow(
        window, caption, TDDObject::OwnTexts(window, "col", {u8"数量"}),
        {{captions[0], {shown(onHand)}}, {captions[1], {shown(onOrder)}}, {captions[2], {shown(available)}}});
}

double TfrmTavi52::lineNumber(std::string_view field) const
{
    const ClientDataSet& lines = orderModule()->cdsBody1;
    const Field* found = lines.hasRecord() ? lines.findField(field) : nullptr;
    return found != nullptr && !found->isNull() ? found->asFloat() : 0;
}

void TfrmTavi52::choosePictureFile(DBEdit& edit)
{
    Field* field = edit.field();
    if (field == nullptr || edit.isReadOnly())
        return;
    if (dlgopen == nullptr) {
        dlgopen = new QFileDialog(this);
        dlgopen->setObjectName(QStringLiteral("dlgopen"));
        dlgopen->setOption(QFileDialog::DontUseNativeDialog);
        dlgopen->setFileMode(QFileDialog::ExistingFile);
        dlgopen->setNameFilters({QStringLiteral("All (*.jpg *.jpeg *.bmp *.ico *.emf *.wmf)"),
                                 QStringLiteral("JPEG Image File (*.jpg)"), QStringLiteral("JPEG Image File (*.jpeg)"),
                                 QStringLiteral("Bitmaps (*.bmp)"), QStringLiteral("Icons (*.ico)"),
                                 QStringLiteral("Enhanced Metafiles (*.emf)"), QStringLiteral("Metafiles (*.wmf)")});
    }
    dlgopen->setResult(QDialog::Rejected);
    DialogService::instance().runModal(*dlgopen);
    if (dlgopen->result() != QDialog::Accepted || dlgopen->selectedFiles().isEmpty())
        return;
    const QString path = dlgopen->selectedFiles().front();
    const std::string name = text::fromQString(QFileInfo(path).fileName());
    std::vector<Variant> args{Variant(text::fromQString(path)), Variant(name)};
    const bool stored = AutomationRegistry::instance().isRegistered("DmsC.DMSClass1") &&
                        createAutomationObject("DmsC.DMSClass1")->invoke("CheckIn", args).toIntegerOrZero() >= 0;
    if (!stored) {
        // A picture the store did not take would be named by a mark no one can show again.
        ZtConverter().ShowError(text::fromQString(
            TDDObject::OwnText(brokers().programId(), "msgMarkNotStored", u8"唛头图片未能存入文件库: %1")
                .arg(text::toQString(name))));
        return;
    }
    if (field->dataSet().state() == DataSetState::Browse)
        field->dataSet().edit();
    field->setText(name);
}

void TfrmTavi52::appendFigure(QWidget* control, const std::vector<std::string>& figure)
{
    auto* memo = qobject_cast<TZtDBMemo*>(control);
    if (memo == nullptr || memo->isReadOnly())
        return;
    const text::CodePage page = codePage() == "950" ? text::CodePage::Big5 : text::CodePage::Gbk;
    for (const std::string& line : figure)
        memo->appendPlainText(text::toQString(line, page));
}

} // namespace orvane
