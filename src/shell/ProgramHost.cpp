#include "shell/ProgramHost.h"

#include "platform/text/CodePage.h"
#include "ui/DialogService.h"
#include "ui/QtText.h"

#include <QCoreApplication>
#include <QEvent>

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
    std::optional<ProgramEntry> entry;
    try {
        entry = catalog_.find(request.programId);
    } catch (const std::exception& e) {
        throw LaunchError(LaunchCode::Rights, "cannot read the rights of user " + named(identity_.user) +
                                                  " in program " + named(request.programId) + ": " + e.what());
    }
    if (!entry)
        throw LaunchError(LaunchCode::NotThere,
                          "company " + named(identity_.company) + " has no program " + named(request.programId));
    outcome.programName = entry->name;
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

    auto program = std::make_unique<Running>();
    program->programId = entry->id;
    program->module = module(*file);
    program->controller = program->module->newController();
    Running* started = program.get();
    running_.push_back(std::move(program));
    try {
        startController(*started, request, rightsMask(*entry));
    } catch (...) {
        const auto at =
            std::find_if(running_.begin(), running_.end(), [&](const auto& p) { return p.get() == started; });
        std::unique_ptr<Running> failed = std::move(*at);
        running_.erase(at);
        discard(std::move(failed));
        throw;
    }
}

std::shared_ptr<ProgramModule> ProgramHost::module(const std::filesystem::path& file)
{
    auto& loaded = modules_[file];
    if (!loaded)
        loaded = ProgramModule::load(file);
    return loaded;
}

void ProgramHost::startController(Running& program, const StartRequest& request, std::uint8_t rightsMask)
{
    TDLLBaseController& controller = *program.controller;
    if (!host_.isDispatch())
        throw LaunchError(LaunchCode::Components, "program " + named(program.programId) +
                                                      ": the shell's components are not ready (no host object)");
    controller.HostObject = host_;
    controller.OnNotify = [this](std::int32_t code, TDLLBaseController* sender) { onNotify(code, sender); };

    const Variant params = Variant::arrayOf(
        {identity_.user, identity_.company, identity_.companyDb, Variant(shellWindow_), request.startData});
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
    if (!request.startKey.empty() &&
        controller.SetStartKey(Variant::arrayOf({program.programId, request.startKey})) != 0)
        throw LaunchError(LaunchCode::StartFailed, "program " + named(program.programId) + " refused its start key");
    if (controller.SetStartMode(request.startMode, rightsMask, request.startValue) != 0)
        throw LaunchError(LaunchCode::StartFailed, "program " + named(program.programId) + " refused start mode " +
                                                       std::to_string(request.startMode));
    controller.SetVisible(-1);
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
    box.caption = QStringLiteral("帮助");
    box.text = QStringLiteral("帮助主题: %1 %2").arg(text::toQString(part(0)), text::toQString(part(1)));
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
    if (at == running_.end())
        return;
    if (code == TDLLBaseController::notifyDestroying) {
        (*at)->formGone = true;
        if (!sweepQueued_) {
            sweepQueued_ = true;
            QMetaObject::invokeMethod(
                this, [this] { freeClosed(); }, Qt::QueuedConnection);
        }
    }
    emit notified(code, QString::fromStdString((*at)->programId));
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

void ProgramHost::closeAll()
{
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
