#include "shell/ProgramHost.h"

#include "platform/text/CodePage.h"
#include "platform/text/LocalText.h"
#include "services/InterfaceTexts.h"
#include "ui/DialogService.h"
#include "ui/QtText.h"

#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace orvane {

namespace {

// A program's identifier or name (client code page) inside a UTF-8 error text.
std::string named(std::string_view local)
{
    return "'" + text::localToUtf8(local) + "'";
}

// Element i of a one-dimensional array counted from its low bound; unassigned when missing.
Variant element(const Variant& array, int i)
{
    if (!array.isArray() || array.dimensions() != 1 || array.lowBound() + i > array.highBound())
        return {};
    return array[array.lowBound() + i];
}

// A start the spare of a program can serve: no start key and the plain start mode.
bool plainStart(const StartRequest& request)
{
    return request.startKey.empty() && request.startMode == 0;
}

// Lays out and renders a program's window once while it is hidden: its first show then only
// paints, the polishing, layout and font work already done.
void renderHidden(TDLLBaseController& controller)
{
    if (QWidget* window = QWidget::find(static_cast<WId>(controller.GetWindowHandle())))
        window->grab();
}

// How long the event loop runs after a start before the program's next spare is made: the new
// window paints first.
constexpr int spareDelay = 250;

} // namespace

ProgramHost::ProgramHost(ProgramCatalog& catalog, std::vector<std::string> workFolders, SessionIdentity identity,
                         QObject* parent)
    : QObject(parent), catalog_(catalog), workFolders_(std::move(workFolders)), identity_(std::move(identity))
{}

ProgramHost::~ProgramHost()
{
    closeAll();
}

StartOutcome ProgramHost::start(const StartRequest& request)
{
    StartOutcome outcome{0, request.programId, {}};
    try {
        launch(request, outcome);
    } catch (const LaunchError& e) {
        outcome.code = static_cast<int>(e.code());
        outcome.detail = e.what();
    } catch (const std::exception& e) {
        outcome.code = static_cast<int>(LaunchCode::Unforeseen);
        outcome.detail = "program " + named(request.programId) + ": " + e.what();
    } catch (...) {
        outcome.code = static_cast<int>(LaunchCode::Unforeseen);
        outcome.detail = "program " + named(request.programId) + ": an unknown failure";
    }
    return outcome;
}

void ProgramHost::launch(const StartRequest& request, StartOutcome& outcome)
{
    const auto [entry, file] = runnable(request.programId, outcome.programName);
    std::unique_ptr<Running> program = takeSpare(entry.id, request);
    const bool executed = program != nullptr;
    if (!executed)
        program = newProgram(entry, file);
    Running* started = program.get();
    running_.push_back(std::move(program));
    try {
        startController(*started, request, rightsMask(entry), executed);
    } catch (...) {
        const auto at =
            std::find_if(running_.begin(), running_.end(), [&](const auto& p) { return p.get() == started; });
        std::unique_ptr<Running> failed = std::move(*at);
        running_.erase(at);
        discard(std::move(failed));
        throw;
    }
    if (plainStart(request))
        prepareSpareLater(entry.id, request.startData);
}

std::pair<ProgramEntry, std::filesystem::path> ProgramHost::runnable(const std::string& programId,
                                                                     std::string& programName)
{
    std::optional<ProgramEntry> entry;
    try {
        entry = catalog_.find(programId);
    } catch (const std::exception& e) {
        throw LaunchError(LaunchCode::Rights, "cannot read the rights of user " + named(identity_.user) +
                                                  " in program " + named(programId) + ": " + e.what());
    }
    if (!entry)
        throw LaunchError(LaunchCode::NotThere,
                          "company " + named(identity_.company) + " has no program " + named(programId));
    programName = entry->name;
    if (!entry->mayRun)
        throw LaunchError(LaunchCode::NoRight,
                          "user " + named(identity_.user) + " may not run program " + named(entry->id));
    const auto file = ProgramModule::find(entry->id, workFolders_);
    if (!file) {
        std::string folders;
        for (const std::string& folder : workFolders_)
            folders += (folders.empty() ? "" : ", ") + folder;
        throw LaunchError(LaunchCode::NotThere, "the module " + ProgramModule::fileName(entry->id) +
                                                    " is in none of the work-module folders (" + folders + ")");
    }
    return {std::move(*entry), *file};
}

std::shared_ptr<ProgramModule> ProgramHost::module(const std::filesystem::path& file)
{
    auto& loaded = modules_[file];
    if (!loaded)
        loaded = ProgramModule::load(file);
    return loaded;
}

std::unique_ptr<ProgramHost::Running> ProgramHost::newProgram(const ProgramEntry& entry,
                                                              const std::filesystem::path& file)
{
    auto program = std::make_unique<Running>();
    program->programId = entry.id;
    program->module = module(file);
    program->controller = program->module->newController();
    return program;
}

void ProgramHost::executeController(Running& program, const Variant& startData)
{
    TDLLBaseController& controller = *program.controller;
    if (!host_.isDispatch())
        throw LaunchError(LaunchCode::Components, "program " + named(program.programId) +
                                                      ": the shell's components are not ready (no host object)");
    controller.HostObject = host_;
    controller.OnNotify = [this](std::int32_t code, TDLLBaseController* sender) { onNotify(code, sender); };

    const Variant params =
        Variant::arrayOf({identity_.user, identity_.company, identity_.companyDb, Variant(shellWindow_), startData});
    std::int32_t answer = -1;
    try {
        answer = controller.Execute(params);
    } catch (const std::exception& e) {
        throw LaunchError(LaunchCode::StartFailed,
                          "program " + named(program.programId) + " failed to start: " + e.what());
    }
    if (answer != 0)
        throw LaunchError(LaunchCode::StartFailed, "program " + named(program.programId) +
                                                       " refused the start (Execute answered " +
                                                       std::to_string(answer) + ")");
}

void ProgramHost::startController(Running& program, const StartRequest& request, std::uint8_t rightsMask,
                                  bool executed)
{
    TDLLBaseController& controller = *program.controller;
    if (executed)
        emit notified(TDLLBaseController::notifyCreated, QString::fromStdString(program.programId));
    else
        executeController(program, request.startData);
    if (!request.startKey.empty() &&
        controller.SetStartKey(Variant::arrayOf({program.programId, request.startKey})) != 0)
        throw LaunchError(LaunchCode::StartFailed, "program " + named(program.programId) + " refused its start key");
    if (controller.SetStartMode(request.startMode, rightsMask, request.startValue) != 0)
        throw LaunchError(LaunchCode::StartFailed, "program " + named(program.programId) + " refused start mode " +
                                                       std::to_string(request.startMode));
    controller.SetVisible(-1);
}

void ProgramHost::prepareSpare(const std::string& programId, const Variant& startData)
{
    if (spares_.contains(programId) || withoutSpares_.contains(programId))
        return;
    try {
        std::string name;
        const auto [entry, file] = runnable(programId, name);
        std::unique_ptr<Running> spare = newProgram(entry, file);
        bool asked = false;
        try {
            const DialogService::Unattended unattended;
            executeController(*spare, startData);
            renderHidden(*spare->controller);
            asked = unattended.asked();
        } catch (...) {
            discard(std::move(spare));
            throw;
        }
        // A start that has something to tell (a message, a question) tells it when the clerk
        // starts the program, not out of the blue: such a program gets no spare.
        if (asked) {
            discard(std::move(spare));
            withoutSpares_.insert(programId);
            return;
        }
        spares_[programId] = Spare{std::move(spare), startData};
    } catch (const std::exception& e) {
        withoutSpares_.insert(programId);
        qWarning("preparing a window of program %s ahead: %s", programId.c_str(), e.what());
    }
}

void ProgramHost::prepareSpareLater(const std::string& programId, const Variant& startData)
{
    if (spares_.contains(programId) || withoutSpares_.contains(programId))
        return;
    QTimer::singleShot(spareDelay, this, [this, programId, startData] {
        // A modal window runs a loop of its own: the spare waits until it has ended.
        if (QApplication::activeModalWidget() != nullptr)
            prepareSpareLater(programId, startData);
        else
            prepareSpare(programId, startData);
    });
}

std::unique_ptr<ProgramHost::Running> ProgramHost::takeSpare(const std::string& programId,
                                                             const StartRequest& request)
{
    const auto at = spares_.find(programId);
    if (at == spares_.end() || !plainStart(request) || !(at->second.startData == request.startData))
        return nullptr;
    std::unique_ptr<Running> spare = std::move(at->second.program);
    spares_.erase(at);
    std::int32_t renewed = -1;
    try {
        renewed = spare->controller->RenewStart();
    } catch (const std::exception& e) {
        qWarning("renewing the window of program %s prepared ahead: %s", programId.c_str(), e.what());
    }
    if (renewed == 0)
        return spare;
    // Its rights, its language or its module's abilities differ from a fresh start's.
    withoutSpares_.insert(programId);
    discard(std::move(spare));
    return nullptr;
}

void ProgramHost::dropSpares()
{
    std::map<std::string, Spare> spares;
    spares.swap(spares_);
    for (auto& [id, spare] : spares)
        discard(std::move(spare.program));
}

void ProgramHost::discard(std::unique_ptr<Running> program)
{
    if (program->controller && !program->controller->IsClosed()) {
        try {
            program->controller->CloseProgram(0);
        } catch (const std::exception& e) {
            qWarning("closing program %s: %s", program->programId.c_str(), e.what());
        }
    }
    program->controller.reset();
}

int ProgramHost::execWork(const Variant& identity, const Variant& filter, const Variant& params, int, Variant&)
{
    StartRequest request;
    request.programId = element(identity, 2).isString() ? element(identity, 2).asString() : std::string();
    if (filter.isString() && !filter.asString().empty()) {
        request.startKey = filter.asString();
        request.startData = filter;
    }
    request.startMode = static_cast<std::int32_t>(element(params, 0).toIntegerOrZero());
    request.startValue = element(params, 2);
    const StartOutcome outcome = start(request);
    if (outcome.code < 0)
        qWarning("ExecWork: %s", outcome.detail.c_str());
    return outcome.code;
}

void ProgramHost::callHelp(const Variant& topic)
{
    const auto part = [&](int i) {
        const Variant value = element(topic, i);
        return value.isArray() || value.isDispatch() ? std::string() : value.toString();
    };
    MessageDialog box;
    const auto texts = InterfaceTexts::current();
    box.caption = text::toQString(texts->text(textObject::shell, "frmHelp", LOCAL_TEXT(u8"帮助")));
    box.text = text::toQString(texts->text(textObject::shell, "msgHelpTopic", LOCAL_TEXT(u8"帮助主题: %1 %2")))
                   .arg(text::toQString(part(0)), text::toQString(part(1)));
    box.kind = DialogKind::Information;
    DialogService::instance().showMessage(box);
}

std::size_t ProgramHost::runningCount() const
{
    return static_cast<std::size_t>(
        std::count_if(running_.begin(), running_.end(), [](const auto& p) { return !p->formGone; }));
}

TDLLBaseController* ProgramHost::controller(std::string_view programId) const
{
    for (const auto& program : running_)
        if (!program->formGone && program->programId == programId)
            return program->controller.get();
    return nullptr;
}

void ProgramHost::onNotify(std::int32_t code, TDLLBaseController* sender)
{
    const auto at =
        std::find_if(running_.begin(), running_.end(), [&](const auto& p) { return p->controller.get() == sender; });
    if (at == running_.end()) {
        if (code == TDLLBaseController::notifyDestroying)
            forgetSpare(sender);
        return;
    }
    if (code == TDLLBaseController::notifyDestroying) {
        (*at)->formGone = true;
        queueSweep();
    }
    emit notified(code, QString::fromStdString((*at)->programId));
}

void ProgramHost::forgetSpare(TDLLBaseController* sender)
{
    const auto at = std::find_if(spares_.begin(), spares_.end(),
                                 [&](const auto& spare) { return spare.second.program->controller.get() == sender; });
    if (at == spares_.end())
        return;
    at->second.program->formGone = true;
    running_.push_back(std::move(at->second.program));
    spares_.erase(at);
    queueSweep();
}

void ProgramHost::queueSweep()
{
    if (sweepQueued_)
        return;
    sweepQueued_ = true;
    QMetaObject::invokeMethod(
        this, [this] { freeClosed(); }, Qt::QueuedConnection);
}

void ProgramHost::freeClosed()
{
    sweepQueued_ = false;
    std::vector<std::unique_ptr<Running>> gone;
    for (auto it = running_.begin(); it != running_.end();) {
        if ((*it)->formGone) {
            gone.push_back(std::move(*it));
            it = running_.erase(it);
        } else {
            ++it;
        }
    }
}

bool ProgramHost::closeWindows()
{
    std::vector<QPointer<QWidget>> shown;
    for (const auto& program : running_) {
        if (program->formGone || !program->controller || program->controller->IsClosed())
            continue;
        QWidget* window = QWidget::find(static_cast<WId>(program->controller->GetWindowHandle()));
        if (window != nullptr && window->isVisible())
            shown.emplace_back(window);
    }
    for (const QPointer<QWidget>& window : shown) {
        if (window.isNull())
            continue;
        window->close();
        // A window that frees itself on closing does so from the event loop: now.
        if (!window.isNull())
            QCoreApplication::sendPostedEvents(window, QEvent::MetaCall);
        if (!window.isNull() && window->isVisible())
            return false;
    }
    return true;
}

void ProgramHost::closeAll()
{
    dropSpares();
    // A snapshot: a notification handler may start another program meanwhile.
    std::vector<Running*> open;
    for (const auto& program : running_)
        open.push_back(program.get());
    for (Running* program : open) {
        if (program->formGone || !program->controller)
            continue;
        try {
            program->controller->CloseProgram(0);
        } catch (const std::exception& e) {
            qWarning("closing program %s: %s", program->programId.c_str(), e.what());
        }
    }
    running_.clear();
    // Objects of a module waiting for deferred deletion must go while its code is loaded.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    modules_.clear();
}

} // namespace orvane
