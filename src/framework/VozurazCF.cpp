#include "framework/VozurazCF.h"

#include "controls/DBGrid.h"
#include "controls/DataAware.h"
#include "controls/MaskEdit.h"
#include "framework/DDObject.h"
#include "framework/FormExportDialogs.h"
#include "framework/LookupKeys.h"
#include "framework/SearchCF.h"
#include "platform/text/ByteText.h"
#include "platform/text/CodePage.h"
#include "platform/text/FieldTextRules.h"
#include "platform/text/LocalText.h"
#include "services/CodeConverter.h"
#include "services/InterfaceTexts.h"
#include "services/OrvaneINI.h"
#include "services/ZtMsg.h"
#include "ui/DialogService.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>
#include <QToolTip>

#include <dlfcn.h>

#include <charconv>
#include <filesystem>
#include <stdexcept>

namespace orvane {

namespace {

// The host class a stand-alone build starts itself with, and the start it makes.
constexpr std::string_view standAloneHostClass = "TalvexWorkCenter.Manager";
Variant standAloneParams()
{
    return Variant::arrayOf({"ZT", "PRTest50", "PRTest50", 0, ""});
}

void focusControl(QWidget* control)
{
    if (control != nullptr && !inGrid(control) && control->isEnabled() && control->isVisible() &&
        control->focusPolicy() != Qt::NoFocus)
        control->setFocus();
}

// Element index of the start parameters, read with the context an error needs.
Variant startParameter(const Variant& params, int index, std::string_view meaning)
{
    try {
        return params[index];
    } catch (const VariantIndexError& e) {
        throw VariantIndexError("start parameter " + std::to_string(index) + " (" + std::string(meaning) +
                                "): " + e.what());
    }
}

std::string startText(const Variant& params, int index, std::string_view meaning)
{
    try {
        return startParameter(params, index, meaning).toString();
    } catch (const ConversionError& e) {
        throw ConversionError("start parameter " + std::to_string(index) + " (" + std::string(meaning) +
                              "): " + e.what());
    }
}

// A decimal integer, or fallback when text is not one.
int integerOr(std::string_view text, int fallback)
{
    const std::string trimmed = text::trim(text);
    int value = 0;
    const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), value);
    return error == std::errc() && end == trimmed.data() + trimmed.size() && !trimmed.empty() ? value : fallback;
}

} // namespace

CommandSet TfrmVozuraz::initialCommands()
{
    CommandSet commands;
    for (int element = 0; element <= 14; ++element)
        commands.set(static_cast<std::size_t>(element));
    for (int element = 22; element <= 59; ++element)
        commands.set(static_cast<std::size_t>(element));
    return commands;
}

CommandSet TfrmVozuraz::noRightsCommands()
{
    CommandSet commands;
    for (int element = 15; element <= 29; ++element)
        commands.set(static_cast<std::size_t>(element));
    return commands;
}

TfrmVozuraz::TfrmVozuraz() : TZtForm(nullptr)
{
    // Key preview: the form sees the keys of its controls before they do.
    qApp->installEventFilter(this);
    OnShow = [this](QObject*) { FormShow(); };
    OnClose = [this](QObject*, CloseAction& action) { FormClose(action); };
}

TfrmVozuraz::~TfrmVozuraz() = default;

void TfrmVozuraz::FormCreate()
{
    brokers_ = std::make_unique<TBrokers>(*this, *this);
    commandSet_ = initialCommands();
    rightsSet_.set();
    startKey_.clear();
    startMode_ = 0;
    if (!RunsAsLibrary())
        StartStandAlone();
}

void TfrmVozuraz::StartStandAlone()
{
    // A development build starts as user ZT of the demonstration company. When the host class
    // is missing or the start fails, the guard shows the error and the form closes at its
    // first paint.
    bool started = false;
    guarded("TfrmVozuraz.FormCreate", [this, &started] {
        Variant host(AutomationRegistry::instance().create(standAloneHostClass));
        brokers_->setHostObject(host);
        host.dispatch()->call("Connect");
        started = PrepareProgram(standAloneParams());
    });
    closeOnPaint_ = !started;
}

std::string TfrmVozuraz::DateText(std::string_view stored) const
{
    const auto date = text::storedDateParts(stored);
    return date ? text::dateDisplayText(*date, dateStyle_, dateSeparator_) : std::string();
}

std::string TfrmVozuraz::Today() const
{
    const TdmVozuraz* module = dataModule();
    return module != nullptr && !module->Today().empty() ? module->Today() : text::dateText(text::today());
}

std::string TfrmVozuraz::ModuleFileName() const
{
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&TfrmVozuraz::ProgramIdOf), &info) == 0 || info.dli_fname == nullptr)
        return {};
    return info.dli_fname;
}

std::string TfrmVozuraz::ProgramIdOf(std::string_view moduleFile)
{
    const std::size_t slash = moduleFile.find_last_of('/');
    std::string_view name = slash == std::string_view::npos ? moduleFile : moduleFile.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    const std::size_t lastDigit = name.find_last_of("0123456789");
    if (lastDigit == std::string_view::npos)
        return {};
    return text::upperCase(name.substr(0, lastDigit + 1), text::CodePage::Utf8);
}

bool TfrmVozuraz::IsLibraryFile(std::string_view moduleFile)
{
    const std::size_t slash = moduleFile.find_last_of('/');
    const std::string_view name = slash == std::string_view::npos ? moduleFile : moduleFile.substr(slash + 1);
    const std::size_t dot = name.find_last_of('.');
    return dot != std::string_view::npos && text::equalsIgnoringAsciiCase(name.substr(dot), ".so");
}

void TfrmVozuraz::GetProgramID(std::string& id) const
{
    id = ProgramIdOf(ModuleFileName());
}

void TfrmVozuraz::CreateDataModule()
{
    dataModule_ = DataModuleClass()();
    if (!dataModule_)
        return;
    dataModule_->setOwner(this);
    dataModule_->setFocusReturn([this](Field& field) { focusBoundControl(field); });
    exportDialogs_ = std::make_unique<FormExportDialogs>(*this, programFolderName());
    dataModule_->setExportDialogs(exportDialogs_.get());
}

void TfrmVozuraz::focusBoundControl(const Field& field)
{
    for (QWidget* control : findChildren<QWidget*>()) {
        if (boundFieldOf(control) == &field && control->isVisible() && control->isEnabled()) {
            control->setFocus();
            return;
        }
    }
}

DataModuleFactory TfrmVozuraz::DataModuleClass() const
{
    return [] { return std::make_unique<TdmVozuraz>(); };
}

bool TfrmVozuraz::PrepareProgram(const Variant& params)
{
    hide();
    PrepareSteps(params);
    return true;
}

void TfrmVozuraz::PrepareSteps(const Variant& params)
{
    if (!params.isArray())
        throw ConversionError("start parameters: an array [user, company, company database, shell window, "
                              "start data] is expected, not a " +
                              std::string(typeName(params.type())));
    if (!RunsAsLibrary()) {
        startData_ = Variant::createArray(0, 3);
    } else if (params.highBound() >= 4) {
        startData_ = params[4];
    } else {
        const Variant empty[] = {Variant("")};
        ShowMessageCode("E", "000038", false, empty);
        QMetaObject::invokeMethod(
            this, [this] { guarded("TfrmVozuraz.PrepareProgram", [this] { close(); }); }, Qt::QueuedConnection);
    }
    ConfigureDocument();

    brokers_->setUserId(startText(params, 0, "user"));
    brokers_->setCompanyId(startText(params, 1, "company"));
    brokers_->setCompanyDb(startText(params, 2, "company database"));
    std::string programId;
    GetProgramID(programId);
    brokers_->setProgramId(programId);

    brokers_->AcquireComponents();
    brokers_->LoadSystemParameters();
    ZtConverter().setHostObject(brokers_->hostObject());
    FetchRights();

    ConvertOnce();
    // After the form's conversion, which would convert the dictionary's name a second time.
    setWindowTitle(programCaption(programId));
    ConvertScreenFonts();
    if (dataModule_)
        dataModule_->PrepareFieldTexts(ZtConverter());
    ApplyProgramOptions();
    // The options show and hide fields after the grids took their columns: lay them out again.
    for (DBGrid* grid : findChildren<DBGrid*>())
        grid->dataModel().refresh();

    try {
        shellWindowHandle_ = static_cast<std::int32_t>(startParameter(params, 3, "shell window").toInteger());
    } catch (const ConversionError& e) {
        throw ConversionError(std::string("start parameter 3 (shell window): ") + e.what());
    }
    const std::string attribute = text::trim(brokers_->programRow()[1]);
    if (!attribute.empty())
        programAttribute_ = attribute;
    companyDb_ = brokers_->companyDb();
}

bool TfrmVozuraz::RenewProgram()
{
    if (TOrvaneIniC().langType() != langType_)
        return false;
    return !dataModule_ || dataModule_->Renew();
}

void TfrmVozuraz::ConvertScreenFonts() const
{
    // The fonts Qt shows outside the form: hints and menus.
    QFont hintFont = QToolTip::font();
    TCodeConverter::ChooseFont(hintFont, ZtConverter().displayMode());
    QToolTip::setFont(hintFont);
    QFont menuFont = QApplication::font("QMenu");
    TCodeConverter::ChooseFont(menuFont, ZtConverter().displayMode());
    QApplication::setFont(menuFont, "QMenu");
}

QString TfrmVozuraz::programCaption(const std::string& programId) const
{
    // The dictionary's name is in the interface's code page; the server's texts come in the
    // data code page and are converted when that differs.
    const auto fromServer = [this](const std::string& text) {
        return ZtConverter().DataConvert(Variant(text)).toString();
    };
    std::optional<std::string> name = texts_ ? texts_->find(textObject::programs, programId) : std::nullopt;
    if (!name)
        name = fromServer(brokers_->programRow()[0]);
    return text::toQString(*name + "[" + fromServer(brokers_->SystemParameter("ZTK002")) + "]");
}

void TfrmVozuraz::ConfigureDocument()
{
    const TOrvaneIniC configuration;
    langType_ = configuration.langType();
    texts_ = InterfaceTexts::of(std::filesystem::path(configuration.clientPath()) / "C_DATA", langType_);
    profileFolder_ = configuration.profileFolder();
    configFile_ = configuration.configFile();
}

std::string TfrmVozuraz::frameworkText(std::string_view name, std::string_view designText) const
{
    return interfaceTexts().text(textObject::framework, name, designText);
}

const InterfaceTexts& TfrmVozuraz::interfaceTexts() const
{
    static const InterfaceTexts none;
    return texts_ ? *texts_ : none;
}

void TfrmVozuraz::FetchRights()
{
    dateStyle_ = text::knownDateStyle(integerOr(brokers_->SystemParameter("SYS001"), 1));
    dateSeparator_ = brokers_->SystemParameter("SYS002");
    if (!dataModule_)
        return;
    dataModule_->setBrokers(brokers_.get());
    dataModule_->setMessageService(this);
    dataModule_->setLangType(langType_);
    if (!dataModule_->ConnectServer())
        return;
    brokers_->setUserGroup(brokers_->ProgramParameter("USER_GROUP"));
    ParseRights(brokers_->ProgramParameter("POWER_DATA"), brokers_->ProgramParameter("GROUP_LIST"));
    dataModule_->setDateStyle(dateStyle_);
    dataModule_->setDateSeparator(dateSeparator_);
    const Variant sqlType = dataModule_->WhatIs("SQLTYPE");
    try {
        sqlType_ = static_cast<std::uint8_t>(sqlType.toInteger());
    } catch (const ConversionError& e) {
        throw ConversionError(std::string("the application server's database kind (WhatIs SQLTYPE): ") + e.what());
    }
}

void TfrmVozuraz::ParseRights(std::string_view powerData, std::string_view groupList)
{
    commandSet_ = noRightsCommands();
    groupList_ = groupList;
    if (powerData.empty()) {
        const Variant empty[] = {Variant("")};
        ShowMessageCode("E", "000004", false, empty);
        return;
    }
    commandSet_ = RightsCommands(powerData);
}

CommandSet TfrmVozuraz::RightsCommands(std::string_view powerData)
{
    const std::vector<std::string> fields = text::splitList(powerData, ',', text::ListItems::AsWritten);
    const auto field = [&](std::size_t index) { return index < fields.size() ? fields[index] : std::string_view(); };
    // The character at a position counted from 1, or 0 past the end.
    const auto at = [&](std::size_t index, std::size_t position) {
        const std::string_view f = field(index);
        return position <= f.size() ? f[position - 1] : '\0';
    };

    CommandSet commands;
    for (std::size_t element = 0; element <= 14; ++element)
        commands.set(element);
    commands.set(30, field(1) == "Y" || field(1) == "y");
    commands.set(31, field(2) == "Y" || field(2) == "y");
    commands.set(37);
    for (std::size_t position = 2; position <= 6; ++position)
        commands.set(36 + position, at(3, position) == 'Y'); // 38..42
    commands.set(32, at(3, 7) == 'Y');
    commands.set(34, at(3, 7) == 'R');
    commands.set(33, at(3, 8) == 'Y');
    commands.set(35, at(3, 8) == 'R');
    commands.set(36, at(3, 9) == 'Y');
    for (std::size_t position = 10; position <= 12; ++position)
        commands.set(33 + position, at(3, position) == 'Y'); // 43..45
    for (std::size_t position = 1; position <= 7; ++position) {
        commands.set(45 + position, at(4, position) == 'Y'); // 46..52
        commands.set(52 + position, at(5, position) == 'Y'); // 53..59
    }
    return commands;
}

void TfrmVozuraz::ApplyDictionaryTexts()
{
    TDDObject::Apply(langType_, "Vozuraz", *this);
}

void TfrmVozuraz::ApplyProgramOptions()
{
    ApplyDictionaryTexts();
    std::string programId;
    GetProgramID(programId);
    TDDObject::Apply(langType_, programId, *this);
    if (dataModule() != nullptr)
        DictionaryObject = std::make_unique<TDDField>(langType_, programId, *this, *dataModule());
}

int TfrmVozuraz::RunOtherProgram(std::string_view programId, std::string_view filter)
{
    Variant params = Variant::createArray(0, 2);
    params[0] = 0;
    params[1] = 0;
    Variant result;
    const int code = brokers_->RunProgram(programId, Variant(filter), params, result);
    if (code >= 0)
        return code;
    ZtConverter().ShowError(text::utf8ToLocal(launchText(code, text::localToUtf8(shownProgramName(programId)))));
    return code;
}

std::string TfrmVozuraz::shownProgramName(std::string_view programId)
{
    if (std::optional<std::string> name = texts_ ? texts_->find(textObject::programs, programId) : std::nullopt)
        return std::move(*name);
    std::string name;
    ProgramName(programId, name);
    if (name.empty())
        return std::string(programId); // a program the company does not list: "[]" would not say which
    return ZtConverter().DataConvert(Variant(name)).toString();
}

void TfrmVozuraz::ProgramName(std::string_view programId, std::string& name)
{
    name.clear();
    // The identifier is part of the query text: one with a quote cannot be a program's.
    if (programId.find('\'') != std::string_view::npos)
        return;
    const Variant args =
        Variant::arrayOf({"SELECT MB002 FROM ADMMB AS ADMMB  WHERE MB001='" + std::string(programId) + "'", "MB002",
                          brokers_->companyDb(), "N"});
    Variant answer;
    brokers_->RemoteCall("SimpleSql", args, answer);
    if (!answer.isArray() || answer.array().empty())
        return;
    const Variant& row = answer[answer.lowBound()];
    if (row.isArray() && !row.array().empty())
        name = row[row.lowBound()].toString();
}

void TfrmVozuraz::OpenF2Window(int& /*key*/, QWidget* control)
{
    focusControl(control);
}

void TfrmVozuraz::OpenF3Window(int& /*key*/, QWidget* control)
{
    focusControl(control);
}

void TfrmVozuraz::OpenF4Window(int& /*key*/, QWidget* control)
{
    focusControl(control);
}

void TfrmVozuraz::RunStartAction() {}

void TfrmVozuraz::UpdateCommandStates() {}

std::int64_t TfrmVozuraz::windowHandle() const
{
    return static_cast<std::int64_t>(const_cast<TfrmVozuraz*>(this)->winId());
}

std::optional<std::vector<Variant>> TfrmVozuraz::openSearchWindow(const SearchRequest& request)
{
    return TfrmSearch::Choose(this, brokers(), *this, request);
}

bool TfrmVozuraz::hasCommand(int element) const
{
    return element >= 0 && element < static_cast<int>(commandSet_.size()) &&
           commandSet_.test(static_cast<std::size_t>(element));
}

int TfrmVozuraz::ShowMessageCode(std::string_view type, std::string_view code, bool abortFlag,
                                 std::span<const Variant> values)
{
    return orvane::ShowMessageCode(MessageOwner{*brokers_, ZtConverter(), windowTitle()}, type, code, abortFlag,
                                   values);
}

bool TfrmVozuraz::ValidateDataSet(DataSet& /*dataSet*/)
{
    return true;
}

void TfrmVozuraz::AfterRecordChange(DataSet& /*dataSet*/) {}

void TfrmVozuraz::ShowServerMessage(std::string_view serverText)
{
    ShowInterfaceMessage(ZtConverter().DataConvert(Variant(serverText)).toString());
}

void TfrmVozuraz::ShowInterfaceMessage(std::string_view text)
{
    ShowCodeDialog(MessageOwner{*brokers_, ZtConverter(), windowTitle()}, std::string(text), DialogKind::Error,
                   {DialogAnswer::Ok}, ZtConverter().displayMode());
}

std::string TfrmVozuraz::newNumber() const
{
    return std::string();
}

void TfrmVozuraz::setBusy(bool busy)
{
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

std::string TfrmVozuraz::programFolderName() const
{
    const std::filesystem::path folder = std::filesystem::path(ModuleFileName()).parent_path().filename();
    if (!folder.empty())
        return folder.string();
    std::string id;
    GetProgramID(id);
    return id;
}

void TfrmVozuraz::GetHelpTopic(std::string_view key, std::string& topic) const
{
    topic = std::string(key) + "0000";
    const QWidget* control = focusWidget();
    if (!isActiveWindow() || control == nullptr)
        return;
    if (!control->whatsThis().isEmpty()) {
        topic = text::fromQString(control->whatsThis());
        return;
    }
    // Characters 3..5 of a field name: "TC004" gives "004".
    const auto fieldPart = [](const QString& field) { return text::fromQString(field.mid(2, 3)); };
    if (inGrid(control)) {
        for (const QWidget* w = control; w != nullptr && !w->isWindow(); w = w->parentWidget()) {
            if (qobject_cast<const QAbstractItemView*>(w) != nullptr) {
                topic = std::string(key) + "2" + fieldPart(selectedFieldOf(w));
                return;
            }
        }
    }
    const Field* field = boundFieldOf(control);
    if (field != nullptr && field->dataSet().name() == "cdsMain")
        topic = std::string(key) + "1" + fieldPart(text::toQString(field->name()));
}

void TfrmVozuraz::CallHelp()
{
    const std::string& id = brokers_->programId();
    if (id.size() < 4)
        return;
    std::string prefix;
    switch (id[3]) {
    case 'I': prefix = "1"; break;
    case 'A': prefix = "6"; break;
    case 'M': prefix = "8"; break;
    default: return;
    }
    std::string topic;
    GetHelpTopic(prefix + "1" + id.substr(id.size() - 2), topic);
    const Variant& host = brokers_->hostObject();
    if (host.isDispatch())
        host.dispatch()->call("CallHelp", {Variant::arrayOf({id.substr(0, 3), topic})});
}

void TfrmVozuraz::ShowVersionInfo()
{
    MessageDialog box;
    box.caption = windowTitle();
    box.text = text::toQString(frameworkText("msgModuleFile", LOCAL_TEXT(u8"模块文件: "))) +
               QString::fromLocal8Bit(ModuleFileName()) + '\n' +
               text::toQString(frameworkText("msgVersion", LOCAL_TEXT(u8"版本: "))) +
               QString::fromLatin1(ORVANE_VERSION);
    box.kind = DialogKind::Information;
    DialogService::instance().showMessage(box);
}

bool TfrmVozuraz::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return TZtForm::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this)
        return TZtForm::eventFilter(watched, event);
    if (event->type() == QEvent::KeyRelease) {
        previewedKey_ = nullptr;
        return TZtForm::eventFilter(watched, event);
    }
    // A key a control does not take travels up to its parents as the same event: the form previews it
    // at its first receiver only. The window system builds every press at one address, and a press
    // may come before the last one is released (rolling keys) or after its release went to another
    // window, so the address alone does not tell the next press from this one travelling up: only the
    // same event reaching an ancestor of the control it came to first is one travelling up.
    const bool travellingUp = event == previewedKey_ && previewedAt_ != nullptr && previewedAt_ != widget &&
                              widget->isAncestorOf(previewedAt_);
    if (travellingUp)
        return false;
    previewedKey_ = event;
    previewedAt_ = widget;
    bool swallowed = false;
    guarded("TfrmVozuraz.FormKeyDown", [&] {
        auto& key = static_cast<QKeyEvent&>(*event);
        swallowed = FormKeyDown(key) || FormKeyPress(key);
    });
    return swallowed;
}

bool TfrmVozuraz::FormKeyDown(QKeyEvent& event)
{
    int key = 0;
    switch (event.key()) {
    case Qt::Key_F1: CallHelp(); return false;
    case Qt::Key_F2:
        key = keyF2;
        OpenF2Window(key, focusWidget());
        return false;
    case Qt::Key_F3:
        key = keyF3;
        OpenF3Window(key, focusWidget());
        return false;
    case Qt::Key_F4:
        key = keyF4;
        OpenF4Window(key, focusWidget());
        return false;
    case Qt::Key_V:
        if ((event.modifiers() & (Qt::ControlModifier | Qt::AltModifier)) == (Qt::ControlModifier | Qt::AltModifier))
            ShowVersionInfo();
        return false;
    default: return false;
    }
}

bool TfrmVozuraz::FormKeyPress(QKeyEvent& event)
{
    if (event.text() == u"$")
        return typeToday(focusWidget());
    if (event.key() != Qt::Key_Return && event.key() != Qt::Key_Enter)
        return false;
    QWidget* control = focusWidget();
    if (control != nullptr && inGrid(control))
        return false;
    focusNextChild();
    return true;
}

bool TfrmVozuraz::typeToday(QWidget* control)
{
    auto* edit = qobject_cast<MaskEdit*>(control);
    const TdmVozuraz* module = dataModule();
    if (edit == nullptr || edit->isReadOnly() || module == nullptr || edit->editMask() != module->DateFieldEditMask())
        return false;
    edit->setFieldText(DateText(Today()));
    edit->setModified(true); // written when the clerk leaves the edit, as typed digits are
    return true;
}

bool TfrmVozuraz::event(QEvent* event)
{
    int key = 0;
    QWidget* control = nullptr;
    switch (static_cast<int>(event->type())) {
    case LookupRequestEvent::F2Request: key = keyF2; break;
    case LookupRequestEvent::F3Request: key = keyF3; break;
    case LookupRequestEvent::F4Request: key = keyF4; break;
    default: return TZtForm::event(event);
    }
    control = static_cast<LookupRequestEvent*>(event)->control();
    guarded("TfrmVozuraz.LookupRequest", [&] {
        if (key == keyF2)
            OpenF2Window(key, control);
        else if (key == keyF3)
            OpenF3Window(key, control);
        else
            OpenF4Window(key, control);
    });
    return true;
}

void TfrmVozuraz::FormShow()
{
    if (isMinimized())
        showNormal();
    RunStartAction();
    raise();
    activateWindow();
}

void TfrmVozuraz::FormClose(CloseAction& /*action*/)
{
    if (dataModule_ && dataModule_->connected())
        dataModule_->CloseConnection();
}

void TfrmVozuraz::paintEvent(QPaintEvent* event)
{
    TZtForm::paintEvent(event);
    if (!closeOnPaint_ || closeQueued_)
        return;
    closeQueued_ = true;
    QMetaObject::invokeMethod(
        this, [this] { guarded("TfrmVozuraz.FormPaint", [this] { close(); }); }, Qt::QueuedConnection);
}

void TfrmVozuraz::moveEvent(QMoveEvent* event)
{
    TZtForm::moveEvent(event);
    RepaintShellWindow();
}

void TfrmVozuraz::resizeEvent(QResizeEvent* event)
{
    TZtForm::resizeEvent(event);
    RepaintShellWindow();
}

void TfrmVozuraz::RepaintShellWindow() const
{
    if (shellWindowHandle_ == 0)
        return;
    if (QWidget* shell = QWidget::find(static_cast<WId>(shellWindowHandle_)))
        shell->repaint();
}

} // namespace orvane
