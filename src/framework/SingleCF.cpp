#include "framework/SingleCF.h"

#include "controls/DBGrid.h"
#include "framework/KnlVozuraz.h"
#include "framework/LookupKeys.h"
#include "framework/ZtQBE.h"
#include "platform/text/ByteText.h"
#include "ui/DialogService.h"
#include "ui/Guard.h"
#include "ui/PageKeys.h"
#include "ui/QtText.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <memory>

namespace orvane {

namespace {

// A column of the table (two letters and three digits) or an audit column the server knows:
// the fields a query condition may name; companions and nested fields are not.
bool isQueryColumn(const Field& field)
{
    const std::string& name = field.name();
    if (field.type() == FieldType::DataSet)
        return false;
    if (IsAuditField(name))
        return name != "FLAG";
    return name.size() == 5 && std::isalpha(static_cast<unsigned char>(name[0])) &&
           std::isalpha(static_cast<unsigned char>(name[1])) && std::all_of(name.begin() + 2, name.end(), [](char c) {
               return std::isdigit(static_cast<unsigned char>(c));
           });
}

std::vector<std::string> queryColumns(const DataSet* dataSet)
{
    std::vector<std::string> names;
    if (dataSet == nullptr)
        return names;
    for (int i = 0; i < dataSet->fieldCount(); ++i) {
        const Field& field = dataSet->field(i);
        if (field.visible() && isQueryColumn(field))
            names.push_back(field.name());
    }
    return names;
}

// The fields typed as full dates: those carrying the date mask, which the date text handlers
// come with.
void addDateFields(const DataSet& dataSet, const std::string& dateMask, std::vector<std::string>& names)
{
    for (int i = 0; i < dataSet.fieldCount(); ++i) {
        const Field& field = dataSet.field(i);
        if (field.editMask() == dateMask)
            names.push_back(field.name());
    }
}

} // namespace

const QColor TfrmSingle::oddRowColor = QColor(251, 255, 236);
const QColor TfrmSingle::evenRowColor = QColor(206, 249, 231);

TfrmSingle::TfrmSingle()
{
    pnlHead = new QWidget(this);
    pnlHead->setObjectName(QStringLiteral("pnlHead"));
    pnlHead->hide();
    clientLayout()->addWidget(pnlHead);

    pgHead = new QTabWidget(this);
    pgHead->setObjectName(QStringLiteral("pgHead"));
    tbsHead1 = new QWidget(pgHead);
    tbsHead1->setObjectName(QStringLiteral("tbsHead1"));
    tbsBrowse = new QWidget(pgHead);
    tbsBrowse->setObjectName(QStringLiteral("tbsBrowse"));
    pgHead->addTab(tbsHead1, text::utf8(u8"详细字段"));
    pgHead->addTab(tbsBrowse, text::utf8(u8"信息浏览"));
    clientLayout()->addWidget(pgHead, 1);
    connect(pgHead, &QTabWidget::currentChanged, this,
            guardedSlot("TfrmSingle.pgHeadChange", [this](int index) { pgHeadChanging(index); }));

    gdHead = new DBGrid(tbsBrowse);
    gdHead->setObjectName(QStringLiteral("gdHead"));
    gdHead->setReadOnly(true);
    gdHead->setBackgroundColor(oddRowColor);
    gdHead->setCellColorHook(&TfrmSingle::paintRows);
    auto* browseLayout = new QVBoxLayout(tbsBrowse);
    browseLayout->setContentsMargins(0, 0, 0, 0);
    browseLayout->addWidget(gdHead);
    connect(gdHead, &DBGrid::cellDoubleClicked, this,
            guardedSlot("TfrmSingle.gdHeadDblClick", [this] { gdHeadDblClick(); }));
    connect(gdHead, &DBGrid::titleClicked, this,
            guardedSlot("TfrmSingle.gdHeadTitleButtonClick", [this](Field* field) { gdHeadTitleButtonClick(field); }));

    recordMenu()->addSeparator();
    miOK = addMenuItem(recordMenu(), "miOK", text::utf8(u8"确定"), [this] { miOKClick(); });
    miOK->setShortcut(Qt::Key_F12);
    miCancel = addMenuItem(recordMenu(), "miCancel", text::utf8(u8"取消"), [this] { miCancelClick(); });
    miPrint = addMenuItem(recordMenu(), "miPrint", text::utf8(u8"打印"), [this] { miPrintClick(); });
    miExport = recordMenu()->addMenu(text::utf8(u8"汇出(&E)"));
    miExport->setObjectName(QStringLiteral("miExport"));
    miTable2Excel =
        addMenuItem(miExport, "miTable2Excel", text::utf8(u8"资料转Excel(含格式)"), [this] { miTable2ExcelClick(); });
    miTable2Excel->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F1));
    miTable2Excel2 = addMenuItem(miExport, "miTable2Excel2", text::utf8(u8"资料转Excel(不含格式)"),
                                 [this] { miTable2Excel2Click(); });
    miTable2Excel2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F2));
    miPrior->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    miNext->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));

    popOpenF2Window = new QMenu(this);
    popOpenF2Window->setObjectName(QStringLiteral("popOpenF2Window"));
    miOpenF2Window =
        addMenuItem(popOpenF2Window, "miOpenF2Window", QStringLiteral("F2"), [this] { miOpenF2WindowClick(); });
    miOpenF3Window =
        addMenuItem(popOpenF2Window, "miOpenF3Window", QStringLiteral("F3"), [this] { miOpenF3WindowClick(); });
    miOpenF4Window =
        addMenuItem(popOpenF2Window, "miOpenF4Window", QStringLiteral("F4"), [this] { miOpenF4WindowClick(); });

    ToolBar1->addSeparator();
    btnOK = addToolButton("btnOK", text::utf8(u8"保存"), "document-save", QStyle::SP_DialogSaveButton,
                          [this] { miOKClick(); });
    btnCancel = addToolButton("btnCancel", text::utf8(u8"取消"), "dialog-cancel", QStyle::SP_DialogCancelButton,
                              [this] { miCancelClick(); });
    // The window's own shortcuts work whichever control has the focus.
    addActions({miOK, miTable2Excel, miTable2Excel2, miPrior, miNext});
}

TfrmSingle::~TfrmSingle() = default;

TdmSingle* TfrmSingle::singleModule() const
{
    return dynamic_cast<TdmSingle*>(dataModule());
}

void TfrmSingle::paintRows(int row, const Field& /*field*/, QColor& background, QColor& text)
{
    // Record numbers count from 1: the first row is odd.
    background = (row + 1) % 2 == 0 ? evenRowColor : oddRowColor;
    text = Qt::black;
}

void TfrmSingle::focusWhenPossible(QWidget* control)
{
    if (control != nullptr && control->isVisible() && control->isEnabled() && control->focusPolicy() != Qt::NoFocus)
        control->setFocus();
}

void TfrmSingle::ConfigureDocument()
{
    TfrmBase::ConfigureDocument();
}

void TfrmSingle::ApplyProgramOptions()
{
    // The browse grid shows the head before the dictionary lays out the grids' columns, so that
    // it takes their order and widths too.
    TdmSingle* module = singleModule();
    if (module != nullptr)
        gdHead->setDataSource(&module->dsMain);
    TfrmBase::ApplyProgramOptions();
    if (module != nullptr && module->connected())
        LoadAttachments();
}

void TfrmSingle::RunStartAction()
{
    TdmSingle* module = singleModule();
    if (module == nullptr)
        return;
    switch (startMode()) {
    case 1: AddRecord(true); break;
    case 2: QueryRecords(); break;
    case 7:
    case 8:
        CloseAfterSave = true;
        lastCondition = startValue().toString();
        RunQuery();
        if (startMode() == 8)
            EditRecord();
        break;
    case 9:
        CloseAfterSave = true;
        module->setPresetValues(startValue());
        AddRecord(true);
        break;
    default: break;
    }
}

void TfrmSingle::UpdateCommandStates()
{
    TfrmBase::UpdateCommandStates();
    const TdmSingle* module = singleModule();
    const bool open = module != nullptr && module->cdsMain.active() && !module->cdsMain.isEmpty();
    const bool browsing = recordMode() == RecordMode::Browse;
    // The button's place on the tool bar, not the button: while the window starts, the tool bar has not
    // laid its buttons out, and a record shown then would stay unprintable.
    const bool printable = toolBarAction(btnPrint)->isVisible() && !PrintProgramID.empty() && browsing && open &&
                           rights().canPrint && (CommandMask & cmPrint);
    enableCommand(btnPrint, miPrint, printable);
    const bool editing = recordMode() == RecordMode::Edit || recordMode() == RecordMode::Add;
    enableCommand(btnOK, miOK, editing);
    enableCommand(btnCancel, miCancel, editing);
    const bool exportable = open && notEditing() && rights().canPrint;
    miTable2Excel->setEnabled(exportable);
    miTable2Excel2->setEnabled(exportable);
}

void TfrmSingle::ShowState(DataSetState state)
{
    TfrmBase::ShowState(state);
}

bool TfrmSingle::AddRecord(bool reset)
{
    TdmSingle* module = singleModule();
    if (module == nullptr)
        return false;
    if (reset)
        module->ResetCarryOverValues();
    module->cdsMain.setIndexFieldNames("");
    gdHead->setSortMark(nullptr);
    pgHead->setCurrentIndex(0);
    if (recordMode() == RecordMode::Browse)
        shownBeforeAdd = hasRecord() ? keyValues() : std::vector<std::string>();
    const bool added = TfrmBase::AddRecord(reset);
    if (added)
        focusWhenPossible(firstAddControl);
    return added;
}

bool TfrmSingle::CancelRecord(bool ask)
{
    const bool adding = recordMode() == RecordMode::Add;
    const bool cancelled = TfrmBase::CancelRecord(ask);
    // The clerk's own cancel only: a window closing, or a draft being restored, needs no record read.
    if (cancelled && adding && ask && !CloseAfterSave)
        showRecord(shownBeforeAdd);
    return cancelled;
}

std::vector<std::string> TfrmSingle::keyValues() const
{
    const TdmSingle* module = singleModule();
    std::vector<std::string> values;
    for (const std::string& name : text::splitList(module->KeyFields(), ',', text::ListItems::TrimmedNonEmpty)) {
        const Field* field = module->cdsMain.findField(name);
        values.push_back(field != nullptr ? text::trim(field->asString()) : std::string());
    }
    return values;
}

void TfrmSingle::showRecord(const std::vector<std::string>& keys)
{
    TdmSingle* module = singleModule();
    if (module == nullptr || keys.empty())
        return;
    if (!lastCondition.empty()) {
        RunQuery();
        if (locateRecord(keys))
            return;
    }
    // Without a query, or a record the query does not hold (one just saved): that record alone.
    OpenDataSet(module->cdsMain, module->KeyConditionOf(keys), "");
}

bool TfrmSingle::locateRecord(const std::vector<std::string>& keys)
{
    TdmSingle* module = singleModule();
    if (module == nullptr || keys.empty())
        return false;
    std::string names = module->KeyFields();
    std::ranges::replace(names, ',', ';');
    const Variant values = Variant::arrayOf(std::vector<Variant>(keys.begin(), keys.end()));
    // The record may sit in a packet not fetched yet: the packets come until it shows or none is left.
    ClientDataSet& heads = module->cdsMain;
    while (!heads.locate(names, values)) {
        if (heads.allFetched())
            return false;
        heads.getNextPacket();
    }
    return true;
}

void TfrmSingle::btnReFreshClick()
{
    const std::vector<std::string> shown = hasRecord() ? keyValues() : std::vector<std::string>();
    RunQuery();
    locateRecord(shown);
}

bool TfrmSingle::EditRecord()
{
    TdmSingle* module = singleModule();
    if (module == nullptr)
        return false;
    module->cdsMain.setIndexFieldNames("");
    gdHead->setSortMark(nullptr);
    pgHead->setCurrentIndex(0);
    const bool editing = TfrmBase::EditRecord();
    if (editing)
        focusWhenPossible(firstEditControl);
    return editing;
}

QBEInputs TfrmSingle::queryInputs(TdmSingle& module)
{
    QBEInputs inputs;
    inputs.dataSet = &module.cdsMain;
    inputs.headTable = TableName();
    inputs.keyFieldList = module.KeyFields();
    inputs.fieldNames = queryColumns(&module.cdsMain);
    const std::string dateMask = module.DateFieldEditMask();
    addDateFields(module.cdsMain, dateMask, inputs.dateFields);
    if (const ClientDataSet* lines = module.findDataSet("cdsBody1")) {
        inputs.bodyTable = brokers().ProgramParameter("D11_TABLE");
        inputs.bodyKeyFieldList = brokers().ProgramParameter("D11_KEY");
        inputs.bodyFieldNames = queryColumns(lines);
        addDateFields(*lines, dateMask, inputs.dateFields);
    }
    inputs.companyDb = brokers().companyDb();
    inputs.dateStyle = dateStyle();
    inputs.dateSeparator = dateSeparator();
    return inputs;
}

bool TfrmSingle::QueryRecords()
{
    TdmSingle* module = singleModule();
    if (module == nullptr)
        return false;
    // The window is kept: the next query starts from what the clerk typed for this one.
    if (queryWindow_ == nullptr) {
        auto window = std::make_unique<TQBEForm>(this);
        window->setInputs(queryInputs(*module));
        queryWindow_ = window.release();
    }
    TQBEForm& window = *queryWindow_;
    if (!window.Execute())
        return false;
    lastCondition = window.WhereText();
    lastOrder = window.OrderText();
    // The server keeps the limit for the openings that follow, until the next query sets another.
    module->appServer().dispatch()->call("SetTopRow", {Variant(window.RowLimit())});
    RunQuery();
    // An empty window alone would leave the clerk wondering whether the query ran. The browse stays
    // empty rather than keeping the former records, which would pass for this query's result.
    if (module->cdsMain.isEmpty())
        ShowInterfaceMessage(nothingMatchesText(interfaceTexts()));
    return true;
}

bool TfrmSingle::SaveRecord()
{
    TdmSingle* module = singleModule();
    if (module == nullptr || !writeFocusedControl())
        return false;
    ClientDataSet& head = module->cdsMain;
    if (isEditing(head))
        head.post();
    const RecordMode mode = recordMode();
    if (mode == RecordMode::Add)
        module->StampLines();
    const bool saved = module->SaveData(head);
    if (saved) {
        if (CloseAfterSave) {
            SetRecordMode(RecordMode::Browse);
            close();
        } else if (mode == RecordMode::Add) {
            shownBeforeAdd = keyValues();
            AddRecord(false);
        } else {
            SetRecordMode(RecordMode::Browse);
        }
    } else {
        const Variant empty[] = {Variant("")};
        ShowMessageCode("E", "000008", false, empty);
        if (head.active() && !head.isEmpty())
            head.edit();
    }
    SaveFailed = !saved;
    return saved;
}

bool TfrmSingle::ValidateDataSet(DataSet& dataSet)
{
    TdmSingle* module = singleModule();
    if (module != nullptr && &dataSet == &module->cdsMain && isEditing(dataSet)) {
        for (const std::string& name : text::splitList(module->KeyFields(), ',', text::ListItems::TrimmedNonEmpty)) {
            Field* field = dataSet.findField(name);
            if (field == nullptr || name == module->AutoNumberField() || field->readOnly() || !field->visible() ||
                !text::trim(field->text()).empty())
                continue;
            const Variant label[] = {Variant(field->displayLabel())};
            ShowMessageCode("E", "000003", false, label);
            for (QWidget* control : findChildren<QWidget*>()) {
                if (boundFieldOf(control) == field) {
                    focusWhenPossible(control);
                    break;
                }
            }
            return false;
        }
    }
    return TfrmBase::ValidateDataSet(dataSet);
}

bool TfrmSingle::CanShowPage(int index)
{
    return hiddenPages.count(index) == 0;
}

std::string TfrmSingle::TableName() const
{
    const TdmSingle* module = singleModule();
    return module != nullptr ? module->MainTable() : std::string();
}

void TfrmSingle::LoadAttachments()
{
    attachedKeys_.clear();
    std::string program;
    GetProgramID(program);
    const std::string company = brokers().companyId();
    if (program.find('\'') != std::string::npos || company.find('\'') != std::string::npos)
        return;
    const Variant args = Variant::arrayOf(
        {" SELECT DISTINCT KeyValues FROM ATTACH WHERE Parent = '" + program + "' AND CompanyID = '" + company + "'",
         "KeyValues", brokers().companyDb(), "N"});
    Variant answer;
    brokers().RemoteCall("SimpleSql", args, answer);
    if (!answer.isArray())
        return;
    for (const Variant& row : answer.array().elements())
        if (row.isArray() && !row.array().empty())
            attachedKeys_.insert(row.array().elements()[0].toString());
}

int TfrmSingle::AttachmentCount() const
{
    const TdmSingle* module = singleModule();
    if (module == nullptr || !module->cdsMain.active() || module->cdsMain.isEmpty())
        return 0;
    std::string key;
    for (const std::string& name : text::splitList(module->KeyFields(), ',', text::ListItems::TrimmedNonEmpty)) {
        const Field* field = module->cdsMain.findField(name);
        key += (key.empty() ? "" : "||") + (field ? text::trim(field->asString()) : std::string());
    }
    return attachedKeys_.count(key) > 0 ? 1 : 0;
}

void TfrmSingle::pgHeadChanging(int index)
{
    const bool browsePage = pgHead->widget(index) == tbsBrowse;
    if ((browsePage && !notEditing()) || (index >= 1 && !CanShowPage(index))) {
        const QSignalBlocker blocker(pgHead);
        pgHead->setCurrentIndex(previousPage_);
        return;
    }
    previousPage_ = index;
}

bool TfrmSingle::FormKeyPress(QKeyEvent& event)
{
    const bool enter = event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter;
    const bool tab = event.key() == Qt::Key_Tab && event.modifiers() == Qt::NoModifier;
    QWidget* control = focusWidget();
    QWidget* page = pgHead->currentWidget();
    // Enter on a row of the browse grid opens it, as a double-click does.
    if (enter && control == gdHead) {
        gdHeadDblClick();
        return true;
    }
    // A memo takes Enter as a line break, and is left by Tab; a control with a later one on its page moves on
    // as usual.
    const bool movesOn = tab || (enter && qobject_cast<QPlainTextEdit*>(control) == nullptr);
    if (!movesOn || control == nullptr || page == tbsBrowse || !page->isAncestorOf(control) ||
        page->isAncestorOf(nextTabStop(control, this)))
        return TfrmBase::FormKeyPress(event);
    const std::vector<int> later = laterHeadPages(control);
    if (later.empty())
        return TfrmBase::FormKeyPress(event);
    // The control's own check decides first: a refused value keeps the clerk on its page.
    return !writeFocusedControl() || turnToFirstOf(*pgHead, later) || TfrmBase::FormKeyPress(event);
}

std::vector<int> TfrmSingle::laterHeadPages(QWidget* control) const
{
    std::vector<int> later = shownPagesAfterCurrent(*pgHead, 1, false);
    std::erase_if(later, [&](int page) {
        return pgHead->widget(page) == tbsBrowse || nextTabStop(control, pgHead->widget(page)) == nullptr;
    });
    return later;
}

void TfrmSingle::gdHeadDblClick()
{
    pgHead->setCurrentIndex(0);
    // The grid is hidden now: the keyboard goes on in the record's first control.
    if (QWidget* first = nextTabStop(gdHead, pgHead->widget(0)))
        first->setFocus(Qt::OtherFocusReason);
}

void TfrmSingle::gdHeadTitleButtonClick(Field* field)
{
    TdmSingle* module = singleModule();
    if (module == nullptr || field == nullptr || !notEditing())
        return;
    // Sorting the packets fetched so far would leave the records still on the server out of place.
    module->FetchAllRecords(module->cdsMain);
    module->cdsMain.setIndexFieldNames(field->name());
    gdHead->setSortMark(field, Qt::AscendingOrder);
}

void TfrmSingle::miOKClick()
{
    SaveRecord();
}

void TfrmSingle::miCancelClick()
{
    CancelRecord(true);
}

void TfrmSingle::miPrintClick()
{
    if (PrintProgramID.empty())
        return;
    std::string condition;
    if (TdmSingle* module = singleModule())
        module->KeyCondition(condition);
    RunOtherProgram(PrintProgramID, condition);
}

void TfrmSingle::miTable2ExcelClick()
{
    if (TdmSingle* module = singleModule())
        module->ExportToSpreadsheet(module->cdsMain);
}

void TfrmSingle::miTable2Excel2Click()
{
    if (TdmSingle* module = singleModule())
        module->ExportToSpreadsheetText(module->cdsMain);
}

void TfrmSingle::miOpenF2WindowClick()
{
    int key = keyF2;
    OpenF2Window(key, focusWidget());
}

void TfrmSingle::miOpenF3WindowClick()
{
    int key = keyF3;
    OpenF3Window(key, focusWidget());
}

void TfrmSingle::miOpenF4WindowClick()
{
    int key = keyF4;
    OpenF4Window(key, focusWidget());
}

} // namespace orvane
