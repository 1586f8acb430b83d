#include "framework/BaseCF.h"

#include "controls/DBEdit.h"
#include "controls/DBGrid.h"
#include "controls/DataAware.h"
#include "controls/ZtDBMemo.h"
#include "framework/KnlBase.h"
#include "framework/KnlVozuraz.h"
#include "platform/config/IniFile.h"
#include "platform/data/SilentAbort.h"
#include "platform/text/ByteText.h"
#include "platform/text/FieldTextRules.h"
#include "platform/text/LocalText.h"
#include "platform/variant/NumberText.h"
#include "services/OrvaneINI.h"
#include "ui/DialogService.h"
#include "ui/Guard.h"
#include "ui/PageKeys.h"
#include "ui/QtText.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>
#include <map>
#include <tuple>

namespace orvane {

namespace {

// A tool button's icon, made once per application and style: the style's pictures are PNG files, which
// every window's start would decode again.
QIcon toolButtonIcon(const QStyle& style, const char* themeIcon, int standardIcon)
{
    static std::map<std::tuple<QString, std::string, int>, QIcon> made;
    [[maybe_unused]] static const bool freedWithTheApplication = [] {
        qAddPostRoutine([] { made.clear(); });
        return true;
    }();
    const auto key = std::make_tuple(style.name(), std::string(themeIcon), standardIcon);
    auto found = made.find(key);
    if (found == made.end())
        found =
            made.emplace(key, QIcon::fromTheme(QString::fromLatin1(themeIcon),
                                               style.standardIcon(static_cast<QStyle::StandardPixmap>(standardIcon))))
                .first;
    return found->second;
}

DataSetState stateOf(RecordMode mode)
{
    switch (mode) {
    case RecordMode::Edit: return DataSetState::Edit;
    case RecordMode::Add: return DataSetState::Insert;
    default: return DataSetState::Browse;
    }
}

// Section of a grid layout: the dataset's name in upper case; a body dataset's section also
// names the form, so two forms of one program keep their line grids apart.
std::string layoutSection(const std::string& formName, const DataSet& dataSet)
{
    const std::string upper = text::upperCase(dataSet.name());
    if (upper.find("CDSBODY") != std::string::npos)
        return formName + "_" + dataSet.name();
    return upper;
}

std::string joinedLayout(const std::vector<ColumnLayout>& columns, const auto& part)
{
    std::string text;
    for (std::size_t i = 0; i < columns.size(); ++i)
        text += (i == 0 ? "" : ";") + part(columns[i]);
    return text;
}

// A title as the layout file lists it: a ";" would split it in two and shift the titles after it,
// so it becomes the full-width "；", which reads the same.
std::string layoutTitle(QString title)
{
    return text::fromQString(title.replace(u';', QChar(0xFF1B)));
}

} // namespace

TfrmBase::TfrmBase()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    MainMenu = new QMenuBar(this);
    MainMenu->setObjectName(QStringLiteral("MainMenu"));
    layout->setMenuBar(MainMenu);
    recordMenu_ = MainMenu->addMenu(text::utf8(u8"资料(&F)"));
    browseMenu_ = MainMenu->addMenu(text::utf8(u8"浏览(&B)"));
    optionsMenu_ = MainMenu->addMenu(text::utf8(u8"选项(&O)"));
    recordMenu_->setObjectName(QStringLiteral("mnuRecord"));
    browseMenu_->setObjectName(QStringLiteral("mnuBrowse"));
    optionsMenu_->setObjectName(QStringLiteral("mnuOptions"));
    miAdd = addMenuItem(recordMenu_, "miAdd", text::utf8(u8"新增(&A)"), [this] { miAddClick(); });
    miQuery = addMenuItem(recordMenu_, "miQuery", text::utf8(u8"查询(&Q)"), [this] { miQueryClick(); });
    miEdit = addMenuItem(recordMenu_, "miEdit", text::utf8(u8"更改(&M)"), [this] { miEditClick(); });
    miDelete = addMenuItem(recordMenu_, "miDelete", text::utf8(u8"删除(&D)"), [this] { miDeleteClick(); });
    recordMenu_->addSeparator();
    miViewItem = addMenuItem(recordMenu_, "miViewItem", text::utf8(u8"品号文档(&I)"), [this] { miViewItemClick(); });
    recordMenu_->addSeparator();
    miExit = addMenuItem(recordMenu_, "miExit", text::utf8(u8"退出(&X)"), [this] { miExitClick(); });
    const std::tuple<QAction**, const char*, const char8_t*, void (TfrmBase::*)()> browseItems[] = {
        {&miFirst, "miFirst", u8"第一笔(&F)", &TfrmBase::miFirstClick},
        {&miPrior, "miPrior", u8"上一笔(&P)", &TfrmBase::miPriorClick},
        {&miNext, "miNext", u8"下一笔(&N)", &TfrmBase::miNextClick},
        {&miLast, "miLast", u8"最后一笔(&L)", &TfrmBase::miLastClick},
        {&miReFresh, "miReFresh", u8"刷新(&R)", &TfrmBase::btnReFreshClick}};
    for (const auto& [item, name, caption, handler] : browseItems)
        *item = addMenuItem(browseMenu_, name, text::utf8(caption), [this, handler = handler] { (this->*handler)(); });
    browseMenu_->insertSeparator(miReFresh);
    miReFresh->setShortcut(QKeySequence(Qt::Key_F5));
    miToolBar = addMenuItem(optionsMenu_, "miToolBar", text::utf8(u8"工具栏"), [this] { miToolBarClick(); });
    miToolBar->setCheckable(true);
    miToolBar->setChecked(true);
    miManager = addMenuItem(optionsMenu_, "miManager", text::utf8(u8"显示管理字段"), [this] { miManagerClick(); });
    miManager->setCheckable(true);
    NG = addMenuItem(optionsMenu_, "NG", text::utf8(u8"保存表格格式"), [this] { NGClick(); });
    miViewItem->setVisible(false);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setIconSize(QSize(20, 20));
    layout->addWidget(ToolBar1);
    btnAdd =
        addToolButton("btnAdd", text::utf8(u8"新增"), "document-new", QStyle::SP_FileIcon, [this] { miAddClick(); });
    btnEdit = addToolButton("btnEdit", text::utf8(u8"更改"), "document-edit", QStyle::SP_FileDialogDetailedView,
                            [this] { miEditClick(); });
    btnQuery = addToolButton("btnQuery", text::utf8(u8"查询"), "edit-find", QStyle::SP_FileDialogContentsView,
                             [this] { miQueryClick(); });
    btnDelete = addToolButton("btnDelete", text::utf8(u8"删除"), "edit-delete", QStyle::SP_TrashIcon,
                              [this] { miDeleteClick(); });
    ToolBar1->addSeparator();
    btnFirst = addToolButton("btnFirst", text::utf8(u8"第一笔"), "go-first", QStyle::SP_MediaSkipBackward,
                             [this] { miFirstClick(); });
    btnPrior = addToolButton("btnPrior", text::utf8(u8"上一笔"), "go-previous", QStyle::SP_ArrowBack,
                             [this] { miPriorClick(); });
    btnNext =
        addToolButton("btnNext", text::utf8(u8"下一笔"), "go-next", QStyle::SP_ArrowForward, [this] { miNextClick(); });
    btnLast = addToolButton("btnLast", text::utf8(u8"最后一笔"), "go-last", QStyle::SP_MediaSkipForward,
                            [this] { miLastClick(); });
    ToolBar1->addSeparator();
    btnPrint = addToolButton("btnPrint", text::utf8(u8"打印"), "document-print", QStyle::SP_DialogSaveButton,
                             [this] { btnPrintClick(); });
    btnReFresh = addToolButton("btnReFresh", text::utf8(u8"刷新"), "view-refresh", QStyle::SP_BrowserReload,
                               [this] { btnReFreshClick(); });

    // The tool buttons take no focus: their keys are the menu items', whichever control has the focus.
    addAction(miReFresh);

    clientLayout_ = new QVBoxLayout;
    clientLayout_->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(clientLayout_, 1);

    Status = new QStatusBar(this);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setSizeGripEnabled(false);
    stateCaption_ = new QLabel(Status);
    stateCaption_->setMinimumWidth(80);
    serverCaption_ = new QLabel(Status);
    Status->addWidget(stateCaption_);
    Status->addPermanentWidget(serverCaption_);
    layout->addWidget(Status);
}

TfrmBase::~TfrmBase()
{
    // The module outlives this part of the form: its data sources must not call back into it.
    if (TdmBase* module = baseModule())
        module->dsMain.onStateChange = nullptr;
}

QAction* TfrmBase::addMenuItem(QMenu* menu, const char* name, const QString& caption, std::function<void()> handler)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    connect(item, &QAction::triggered, this, guardedSlot(std::string(name) + "Click", std::move(handler)));
    return item;
}

QToolButton* TfrmBase::addToolButton(const char* name, const QString& hint, const char* themeIcon, int standardIcon,
                                     std::function<void()> handler)
{
    auto* button = new QToolButton(ToolBar1);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(toolButtonIcon(*style(), themeIcon, standardIcon));
    ToolBar1->addWidget(button);
    connect(button, &QToolButton::clicked, this, guardedSlot(std::string(name) + "Click", std::move(handler)));
    return button;
}

QAction* TfrmBase::toolBarAction(const QToolButton* button) const
{
    for (QAction* action : ToolBar1->actions()) {
        if (ToolBar1->widgetForAction(action) == button)
            return action;
    }
    return nullptr;
}

void TfrmBase::enableCommand(QToolButton* button, QAction* item, bool enabled)
{
    if (button != nullptr)
        button->setEnabled(enabled);
    if (item != nullptr)
        item->setEnabled(enabled);
}

TdmBase* TfrmBase::baseModule() const
{
    return dynamic_cast<TdmBase*>(dataModule());
}

void TfrmBase::FormCreate()
{
    TfrmVozuraz::FormCreate();
    ApplyRights();
}

void TfrmBase::ApplyDictionaryTexts()
{
    // The "Base" texts of the data dictionary join the form's once the dictionary is read.
    TfrmVozuraz::ApplyDictionaryTexts();
}

void TfrmBase::ConfigureDocument()
{
    TfrmVozuraz::ConfigureDocument();
    ItemDocSource = true;
    SaveFailed = false;
}

void TfrmBase::FetchRights()
{
    TfrmVozuraz::FetchRights();
    TdmBase* module = baseModule();
    if (module == nullptr || !module->connected())
        return;
    module->OpenData();
    module->ShowAuditFields(false);
    module->dsMain.onStateChange = [this](DataSource& source) {
        if (source.dataSet() != nullptr)
            ShowState(source.dataSet()->state());
    };
    module->ProgramHook();
    ShowState(DataSetState::Browse);
    ApplyRecordRights(module->cdsMain);
    const ServerEndpoint server = TOrvaneIniC().firstServer();
    serverCaption_->setText(QString::number(server.port) + QStringLiteral(" - ") +
                            text::toQString(module->serverAddress()));
}

bool TfrmBase::RenewProgram()
{
    if (!TfrmVozuraz::RenewProgram())
        return false;
    TdmBase* module = baseModule();
    if (module == nullptr || !module->connected())
        return true;
    ShowState(DataSetState::Browse);
    ApplyRecordRights(module->cdsMain);
    return true;
}

void TfrmBase::ApplyProgramOptions()
{
    TfrmVozuraz::ApplyProgramOptions();
    if (rights_.protectedReadOnly)
        lockFields(ProtectedFields, true);
    else if (!rights_.protectedVisible)
        lockFields(ProtectedFields, false);
    if (rights_.priceReadOnly)
        lockFields(PriceFields, true);
    else if (!rights_.priceVisible)
        lockFields(PriceFields, false);
    const std::string unitOption = brokers().SystemParameter("SYS024");
    if (unitOption == "1" || unitOption == "3")
        lockFields(UnitFields1, false);
    if (unitOption == "1" || unitOption == "2")
        lockFields(UnitFields2, false);
    LoadGridLayouts();
    // The form's conversion came after the first state was shown and took its caption for a
    // design-time text.
    showStateCaption(stateOf(recordMode()));
}

ClientDataSet* TfrmBase::findModuleDataSet(std::string_view name) const
{
    return dataModule() != nullptr ? dataModule()->findDataSet(name) : nullptr;
}

std::vector<QWidget*> TfrmBase::controlsOf(const DataSet& dataSet, std::string_view field) const
{
    std::vector<QWidget*> controls;
    const QString name = text::toQString(std::string(field));
    for (QWidget* control : findChildren<QWidget*>()) {
        const DataSource* source = dataSourceOf(control);
        if (source != nullptr && source->dataSet() == &dataSet &&
            dataFieldOf(control).compare(name, Qt::CaseInsensitive) == 0)
            controls.push_back(control);
    }
    return controls;
}

void TfrmBase::lockFields(const std::string& list, bool readOnly)
{
    const QColor formColour = palette().color(QPalette::Window);
    for (const FieldListItem& item : parseFieldList(list)) {
        ClientDataSet* dataSet = findModuleDataSet(item.dataSet);
        if (dataSet == nullptr)
            continue;
        for (const std::string& name : item.fields) {
            Field* field = dataSet->findField(name);
            if (field == nullptr)
                continue;
            if (readOnly)
                field->setReadOnly(true);
            else
                field->setVisible(false);
            for (QWidget* control : controlsOf(*dataSet, name)) {
                if (readOnly) {
                    control->setProperty("ReadOnly", true);
                    control->setFocusPolicy(Qt::NoFocus);
                } else {
                    control->setProperty("DataField", QString());
                    control->setEnabled(false);
                }
                QPalette colours = control->palette();
                colours.setColor(QPalette::Base, formColour);
                control->setPalette(colours);
            }
        }
    }
}

bool TfrmBase::notEditing() const
{
    const TdmBase* module = baseModule();
    return module == nullptr || !isEditing(module->cdsMain);
}

bool TfrmBase::hasRecord() const
{
    const TdmBase* module = baseModule();
    return module != nullptr && notEditing() && module->cdsMain.active() && !module->cdsMain.isEmpty();
}

void TfrmBase::UpdateCommandStates()
{
    const bool browsing = notEditing();
    const bool record = hasRecord();
    enableCommand(btnAdd, miAdd, browsing && rights_.canAdd && (CommandMask & cmAdd));
    enableCommand(btnQuery, miQuery, browsing && rights_.canQuery && (CommandMask & cmQuery));
    enableCommand(btnEdit, miEdit, record && rights_.canEdit && (CommandMask & cmEdit));
    enableCommand(btnDelete, miDelete, record && rights_.canDelete && (CommandMask & cmDelete));
    enableCommand(btnPrint, nullptr, record && rights_.canPrint && (CommandMask & cmPrint));
    for (auto [button, item] :
         {std::pair{btnFirst, miFirst}, {btnPrior, miPrior}, {btnNext, miNext}, {btnLast, miLast}})
        enableCommand(button, item, record);
    miExit->setEnabled(browsing);
    // Reading the query again while a record is typed would drop what was typed.
    enableCommand(btnReFresh, miReFresh, recordMode() == RecordMode::Browse);
    const TdmBase* module = baseModule();
    miViewItem->setVisible(module != nullptr && module->cdsMain.active() && !module->cdsMain.isEmpty() &&
                           !ViewItemField.empty());
    SaveFailed = false;
}

void TfrmBase::ApplyRights()
{
    const RightFlags program = programRights(commandSet());
    if (program.recordLevel) {
        // The per-record flags stay as ApplyRecordRights set them.
        const RightFlags perRecord = rights_;
        rights_ = program;
        rights_.canEdit = perRecord.canEdit;
        rights_.canDelete = perRecord.canDelete;
        rights_.canConfirm = perRecord.canConfirm;
        rights_.canUnConfirm = perRecord.canUnConfirm;
        rights_.canInvalid = perRecord.canInvalid;
    } else {
        rights_ = program;
    }
    UpdateCommandStates();
}

void TfrmBase::ApplyRecordRights(DataSet& dataSet)
{
    if (programRights(commandSet()).recordLevel) {
        const Field* creator = dataSet.active() && !dataSet.isEmpty() ? dataSet.findField("CREATOR") : nullptr;
        const Field* group = creator != nullptr ? dataSet.findField("USR_GROUP") : nullptr;
        const RecordClass recordClass = recordClassOf(creator ? creator->asString() : "",
                                                      group ? group->asString() : "", brokers().userId(), groupList());
        applyRecordClass(rights_, commandSet(), recordClass);
    }
    ApplyRights();
}

void TfrmBase::AfterRecordChange(DataSet& dataSet)
{
    ApplyRecordRights(dataSet);
}

void TfrmBase::SetRecordMode(RecordMode mode)
{
    setRecordMode(mode);
    ShowState(stateOf(mode));
}

void TfrmBase::showStateCaption(DataSetState state)
{
    // The state's name in the interface language; a dictionary without it leaves the Chinese one.
    // Either is in the installation's code page already: a display conversion would read a Big5
    // text as GB and garble it.
    std::string caption;
    switch (state) {
    case DataSetState::Edit: caption = frameworkText("stEdit", LOCAL_TEXT(u8"更改")); break;
    case DataSetState::Insert: caption = frameworkText("stInsert", LOCAL_TEXT(u8"新增")); break;
    default: caption = frameworkText("stBrowse", LOCAL_TEXT(u8"浏览")); break;
    }
    stateCaption_->setText(text::toQString(caption));
}

void TfrmBase::ShowState(DataSetState state)
{
    showStateCaption(state);
    // A browsing window's edits take no typing: a value typed then would put the record into edit
    // behind the window's back and ride along with the next save.
    if (TdmBase* module = baseModule())
        module->dsMain.setAutoEdit(recordMode() != RecordMode::Browse);
    UpdateCommandStates();
}

void TfrmBase::OpenDataSet(ClientDataSet& dataSet, std::string_view condition, std::string_view order)
{
    if (TdmBase* module = baseModule())
        module->OpenDataSet(dataSet, condition, order);
}

bool TfrmBase::AddRecord(bool /*reset*/)
{
    TdmBase* module = baseModule();
    if (module == nullptr)
        return false;
    module->RefreshToday();
    module->OpenDataSet(module->cdsMain, "1=2", module->KeyFields());
    SetRecordMode(RecordMode::Add);
    module->cdsMain.append();
    SetRecordMode(RecordMode::Add);
    return true;
}

bool TfrmBase::EditRecord()
{
    TdmBase* module = baseModule();
    if (module == nullptr || !module->cdsMain.active() || module->cdsMain.isEmpty())
        return false;
    module->RefreshToday();
    SetRecordMode(RecordMode::Edit);
    module->cdsMain.edit();
    SetRecordMode(RecordMode::Edit);
    return true;
}

bool TfrmBase::DeleteRecord(bool ask)
{
    TdmBase* module = baseModule();
    if (module == nullptr || !module->cdsMain.active() || module->cdsMain.isEmpty())
        return false;
    if (ask) {
        const Variant empty[] = {Variant("")};
        if (ShowMessageCode("C", "000001", false, empty) != DialogAnswer::Ok)
            return false;
    }
    module->cdsMain.deleteRecord();
    const bool saved = module->SaveData(module->cdsMain);
    if (!saved)
        module->cdsMain.cancelUpdates();
    SetRecordMode(RecordMode::Browse);
    return saved;
}

bool TfrmBase::QueryRecords()
{
    return true;
}

bool TfrmBase::ConfirmSaveHook()
{
    return true;
}

bool TfrmBase::SaveRecord()
{
    return false;
}

bool TfrmBase::writeFocusedControl()
{
    QWidget* control = focusWidget();
    if (auto* edit = qobject_cast<DBEdit*>(control))
        return edit->updateRecord();
    if (auto* memo = qobject_cast<TZtDBMemo*>(control))
        return memo->updateRecord();
    for (QWidget* w = control; w != nullptr && w != this; w = w->parentWidget()) {
        if (auto* grid = qobject_cast<DBGrid*>(w))
            return grid->writeOpenEditor();
    }
    return true;
}

bool TfrmBase::turnToFirstOf(QTabWidget& pages, const std::vector<int>& candidates)
{
    QWidget* control = focusWidget();
    for (int page : candidates) {
        pages.setCurrentIndex(page);
        if (pages.currentIndex() != page)
            continue; // a page the user may not see, or the browse page while editing
        if (QWidget* first = control != nullptr ? nextTabStop(control, pages.widget(page)) : nullptr)
            first->setFocus(Qt::TabFocusReason);
        return true;
    }
    return false;
}

bool TfrmBase::turnPage(int direction)
{
    QWidget* control = focusWidget();
    QTabWidget* pages = control != nullptr ? pagesHolding(control) : nullptr;
    if (pages == nullptr)
        pages = pagesOutsideFocus();
    if (pages == nullptr)
        return false;
    // Qt's own turning passes no hidden tab by, and shows pages the window leaves out.
    if (writeFocusedControl())
        turnToFirstOf(*pages, shownPagesAfterCurrent(*pages, direction, true));
    return true;
}

bool TfrmBase::KeepFailedEdit()
{
    return false;
}

bool TfrmBase::CancelRecord(bool ask)
{
    TdmBase* module = baseModule();
    if (module == nullptr)
        return false;
    ClientDataSet& head = module->cdsMain;
    // Going into edit stamps the audit fields: alone, they are nothing typed to ask about.
    const bool changed =
        head.active() &&
        (head.hasChanges() || head.modifiedBesides([](const Field& field) { return IsAuditField(field.name()); }));
    bool proceed = !(changed && ask);
    if (!proceed) {
        const Variant empty[] = {Variant("")};
        const char* code = recordMode() == RecordMode::Add ? "000004" : "000002";
        proceed = ShowMessageCode("C", code, false, empty) == DialogAnswer::Ok;
    }
    if (!proceed && !(recordMode() == RecordMode::Edit && SaveFailed && !KeepFailedEdit()))
        return false;
    if (head.active()) {
        head.cancel();
        head.cancelUpdates();
    }
    SetRecordMode(RecordMode::Browse);
    if (CloseAfterSave) {
        lastCondition.clear();
        lastOrder.clear();
        head.close();
    }
    return proceed;
}

bool TfrmBase::CloseForm()
{
    close();
    return true;
}

void TfrmBase::RunQuery()
{
    if (TdmBase* module = baseModule())
        module->OpenDataSet(module->cdsMain, lastCondition, lastOrder);
}

bool TfrmBase::ValidateDataSet(DataSet& dataSet)
{
    return recordMode() == RecordMode::Browse || checkRequiredFields(dataSet, RequiredFields);
}

bool TfrmBase::checkRequiredFields(DataSet& dataSet, const std::string& list)
{
    for (const FieldListItem& item : parseFieldList(list)) {
        if (!text::equalsIgnoringAsciiCase(item.dataSet, dataSet.name()))
            continue;
        for (const std::string& name : item.fields) {
            Field* field = dataSet.findField(name);
            if (field == nullptr || field->readOnly() || !field->visible() || field->type() == FieldType::DataSet ||
                !text::trim(field->text()).empty())
                continue;
            const Variant label[] = {Variant(field->displayLabel())};
            ShowMessageCode("E", "000003", false, label);
            focusField(*field);
            return false;
        }
        break;
    }
    return true;
}

DBGrid* TfrmBase::gridOf(const DataSet& dataSet) const
{
    for (DBGrid* grid : findChildren<DBGrid*>()) {
        if (grid->dataSource() != nullptr && grid->dataSource()->dataSet() == &dataSet)
            return grid;
    }
    return nullptr;
}

void TfrmBase::focusField(Field& field)
{
    const TdmBase* module = baseModule();
    if (module == nullptr || &field.dataSet() != &module->cdsMain) {
        if (DBGrid* grid = gridOf(field.dataSet())) {
            grid->setSelectedField(&field);
            grid->setFocus();
            return;
        }
    }
    for (QWidget* control : controlsOf(field.dataSet(), field.name())) {
        if (control->isEnabled()) {
            control->setFocus();
            return;
        }
    }
}

void TfrmBase::ViewItem()
{
    if (ViewItemField.empty())
        return;
    const std::vector<FieldListItem> items = parseFieldList(ViewItemField);
    if (items.empty() || items.front().fields.empty())
        return;
    ClientDataSet* dataSet = findModuleDataSet(items.front().dataSet.empty() ? "cdsMain" : items.front().dataSet);
    const Field* field = dataSet != nullptr ? dataSet->findField(items.front().fields.front()) : nullptr;
    if (field == nullptr || text::trim(field->asString()).empty())
        return;
    Variant row;
    const Variant keys = Variant::arrayOf({text::trim(field->asString())});
    const bool found =
        ItemDocSource ? brokers().CheckValue("INVMB", "12", keys, row) : brokers().CheckValue("CMSMV", "07", keys, row);
    if (!found || !row.isArray() || row.array().empty())
        return;
    const std::string reference = row[row.lowBound()].toString();
    if (text::trim(reference).empty())
        return;
    const DispatchPtr store = AutomationRegistry::instance().create("DmsC.DMSClass1");
    std::vector<Variant> args{Variant(brokers().userId()), Variant("R"), Variant(std::string()), Variant(reference),
                              Variant(std::string())};
    if (store->invoke("CheckOut", args).toIntegerOrZero() < 0)
        return;
    const std::string file = args[2].toString();
    if (!file.empty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(text::toQString(file)));
}

std::string TfrmBase::gridLayoutFile() const
{
    const TOrvaneIniC configuration;
    std::string folder;
    if (!configuration.configFile().empty())
        folder = IniFile(configuration.configFile()).readString("Client Components", "GridViewDataPath");
    if (folder.empty())
        folder = configuration.clientPath() + "c_Data/";
    std::string program;
    GetProgramID(program);
    return (std::filesystem::path(folder) / (program + "_" + brokers().userId() + "C.ugs")).string();
}

void TfrmBase::SaveGridLayouts()
{
    const std::string file = gridLayoutFile();
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    IniFile ini(file);
    const std::string formName = text::fromQString(objectName());
    for (DBGrid* grid : findChildren<DBGrid*>()) {
        const DataSet* dataSet = grid->dataSource() != nullptr ? grid->dataSource()->dataSet() : nullptr;
        if (dataSet == nullptr)
            continue;
        const std::vector<ColumnLayout> columns = grid->columnLayout();
        const std::string section = layoutSection(formName, *dataSet);
        ini.eraseSection(section);
        ini.writeString(section, "Fields", joinedLayout(columns, [](const ColumnLayout& c) { return c.field; }));
        ini.writeString(section, "Widths",
                        joinedLayout(columns, [](const ColumnLayout& c) { return std::to_string(c.width); }));
        ini.writeString(section, "Titles",
                        joinedLayout(columns, [](const ColumnLayout& c) { return layoutTitle(c.title); }));
    }
    ini.save();
}

void TfrmBase::LoadGridLayouts()
{
    const std::string file = gridLayoutFile();
    if (!std::filesystem::exists(file))
        return;
    const IniFile ini(file);
    const std::string formName = text::fromQString(objectName());
    for (DBGrid* grid : findChildren<DBGrid*>()) {
        const DataSet* dataSet = grid->dataSource() != nullptr ? grid->dataSource()->dataSet() : nullptr;
        if (dataSet == nullptr)
            continue;
        const std::string section = layoutSection(formName, *dataSet);
        const auto fields = text::splitList(ini.readString(section, "Fields"), ';', text::ListItems::Trimmed);
        const auto widths = text::splitList(ini.readString(section, "Widths"), ';', text::ListItems::Trimmed);
        const auto titles = text::splitList(ini.readString(section, "Titles"), ';', text::ListItems::AsWritten);
        std::vector<ColumnLayout> columns;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            ColumnLayout column{fields[i]};
            column.width = i < widths.size() ? static_cast<int>(text::parseIntegerOrZero(widths[i])) : 0;
            column.title = i < titles.size() ? text::toQString(titles[i]) : QString();
            columns.push_back(std::move(column));
        }
        grid->applyColumnLayout(columns);
    }
}

bool TfrmBase::FormKeyDown(QKeyEvent& event)
{
    if (TfrmVozuraz::FormKeyDown(event))
        return true;
    const bool tab = event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab;
    if (tab && (event.modifiers() & Qt::ControlModifier))
        return turnPage(event.key() == Qt::Key_Tab ? 1 : -1);
    if (event.key() != Qt::Key_Escape)
        return false;
    if (recordMode() == RecordMode::Browse)
        CloseForm();
    else
        CancelRecord(true);
    return true;
}

bool TfrmBase::FormCloseQuery()
{
    if (recordMode() == RecordMode::Browse || baseModule() == nullptr)
        return true;
    const Variant empty[] = {Variant(""), Variant(""), Variant("")};
    const int answer = ShowMessageCode("D", recordMode() == RecordMode::Edit ? "000002" : "000001", false, empty);
    if (answer == DialogAnswer::Yes)
        return SaveRecord();
    if (answer == DialogAnswer::No)
        return CancelRecord(false);
    return false;
}

void TfrmBase::miAddClick()
{
    AddRecord(true);
}

void TfrmBase::miQueryClick()
{
    QueryRecords();
}

void TfrmBase::miEditClick()
{
    EditRecord();
}

void TfrmBase::miDeleteClick()
{
    DeleteRecord(true);
}

void TfrmBase::miFirstClick()
{
    if (TdmBase* module = baseModule())
        module->cdsMain.first();
}

void TfrmBase::miPriorClick()
{
    if (TdmBase* module = baseModule())
        module->cdsMain.prior();
}

void TfrmBase::miNextClick()
{
    if (TdmBase* module = baseModule())
        module->cdsMain.next();
}

void TfrmBase::miLastClick()
{
    if (TdmBase* module = baseModule())
        module->cdsMain.last();
}

void TfrmBase::miExitClick()
{
    CloseForm();
}

void TfrmBase::miToolBarClick()
{
    ToolBar1->setVisible(miToolBar->isChecked());
}

void TfrmBase::miManagerClick()
{
    if (TdmBase* module = baseModule())
        module->ShowAuditFields(miManager->isChecked());
}

void TfrmBase::miViewItemClick()
{
    ViewItem();
}

void TfrmBase::NGClick()
{
    SaveGridLayouts();
}

void TfrmBase::btnPrintClick() {}

void TfrmBase::btnReFreshClick()
{
    RunQuery();
}

} // namespace orvane
