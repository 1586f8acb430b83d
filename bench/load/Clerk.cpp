#include "Clerk.h"

#include "RoundTripCounting.h"

#include "framework/KnlVozuraz.h"
#include "platform/data/SilentAbort.h"
#include "salesorder/Tavi52CD.h"
#include "salesorder/Tavi52CF.h"
#include "server/db/PostgresDatabase.h"
#include "services/Language_Convert.h"
#include "shell/HostObject.h"
#include "shell/ServerAccess.h"
#include "shell/ShellWindows.h"
#include "ui/DialogService.h"

#include <QApplication>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace orvane::bench {
namespace {

double steadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The order window as the shell starts it; the module file named as an installed client's.
class ClerkWindow : public TfrmTavi52 {
protected:
    std::string ModuleFileName() const override { return "/opt/orvane/C_PKG/tavi52c.so"; }
};

struct FormFree {
    void operator()(TfrmVozuraz* form) const { TZtForm::Free(form); }
};

// The shell's side of a clerk: the client configuration, the login, the host object, the
// connector, all counted.
class ClerkShell {
public:
    explicit ClerkShell(const ClerkOptions& options)
    {
        const std::filesystem::path folder = options.folder;
        std::filesystem::create_directories(folder / "client");
        std::ofstream(folder / "client" / "OrvaneC.ini")
            << "[Server Information]\nComputerName=" << options.address << "\nServerPort=" << options.port << "\n";
        std::ofstream(folder / "settings.ini")
            << "[Software\\ZTK\\Orvane]\nClientPath=" << (folder / "client").string() << "\n";
        ::setenv("ORVANE_SETTINGS", (folder / "settings.ini").c_str(), 1);
        ServerAccessOptions access;
        access.address = options.address;
        access.port = options.port;
        access.dataFolder = folder;
        access_ = std::make_unique<ServerAccess>(access, ServerCredentials{"ZT", "demo", "PRTest50"});
        ServerConnector::install(std::make_shared<CountingConnector>(access_->connector(), calls));
        host_ = std::make_shared<CountingHost>(std::make_shared<HostObject>(*access_, windows_, launcher_, tables_), calls);
        services_ = std::make_shared<CountedObject>(access_->createObject("OrvaneS.Services"), calls);
        if (!options.cluster.empty())
            cluster_ = std::make_unique<PostgresDatabase>(options.cluster);
    }
    ~ClerkShell() { ServerConnector::install(nullptr); }
    ClerkShell(const ClerkShell&) = delete;
    ClerkShell& operator=(const ClerkShell&) = delete;

    Variant host() const { return Variant(DispatchPtr(host_)); }
    // A call the server answers without its database.
    void bareRoundTrip() { services_->call("Today"); }
    // A round trip of the clerk's own to the PostgreSQL cluster, a statement kept prepared as the
    // server keeps its own; only where the run has a cluster (not on SQLite).
    bool hasCluster() const { return cluster_ != nullptr; }
    void clusterRoundTrip() { cluster_->query("SELECT 1"); }

    CallMeter calls; // the round trips of the program and of the bare round trip, and their time

private:
    std::unique_ptr<ServerAccess> access_;
    LanguageTables tables_;
    ShellWindows windows_;
    ProgramLauncher launcher_;
    std::shared_ptr<CountingHost> host_;
    DispatchPtr services_;
    std::unique_ptr<PostgresDatabase> cluster_;
};

// Enters orders through the window, timing each step.
class OrderEntry {
public:
    OrderEntry(ClerkShell& shell, ClerkSamples& samples, int firstSerial, bool shown)
        : shell_(shell), samples_(samples), firstSerial_(firstSerial)
    {
        form_.reset(TfrmVozuraz::Create<ClerkWindow>());
        form_->brokers().setHostObject(shell_.host());
        if (!form_->PrepareProgram(Variant::arrayOf({"ZT", "PRTest50", "PRTest50", 0, Variant()})))
            throw std::runtime_error("the order window did not start");
        if (shown)
            form_->show();
        QCoreApplication::processEvents();
    }

    // One order of `lines` lines; false (with the first refusal shown) when it was not saved or
    // a check refused a value.
    bool enter(int serial, int lines)
    {
        bool saved = false;
        try {
            saved = typeAndSave(serial, lines);
        } catch (const SilentAbort&) {
            // A check refused the entry after its message, as the window's guard sees it.
        }
        // Informations, warnings and the credit question are no failure.
        DialogService& dialogs = DialogService::instance();
        const auto refusal = std::ranges::find_if(
            dialogs.shownMessages(), [](const MessageDialog& shown) { return shown.kind == DialogKind::Error; });
        const bool clean = saved && refusal == dialogs.shownMessages().end();
        if (!clean)
            samples_.errors.push_back(refusal == dialogs.shownMessages().end()
                                          ? std::string("not saved")
                                          : refusedAt_ + ": " + refusal->text.toStdString());
        dialogs.clear();
        refusedAt_.clear();
        if (!saved) {
            form_->CancelRecord(false);
            form_->AddRecord(true);
        }
        return clean;
    }

    // A bare round trip, timed beside the steps: one before the head and one before each line.
    void timeBareRoundTrip()
    {
        step("bare round trip", [&] { shell_.bareRoundTrip(); });
    }
    // On PostgreSQL a round trip of the clerk's to the cluster, once an order, after the bare one
    // before the head (once a line would add a tenth of a millisecond to every line entered).
    void timeClusterRoundTrip()
    {
        if (shell_.hasCluster())
            step("cluster round trip (SELECT 1)", [&] { shell_.clusterRoundTrip(); });
    }

private:
    // The order typed and saved: the order type confirms an order on its first save; the window
    // then starts the next order (Add) itself.
    bool typeAndSave(int serial, int lines)
    {
        static constexpr std::array<const char*, 2> items{"A100", "A200"};
        TdmTavi52& module = *form_->orderModule();
        timeBareRoundTrip();
        timeClusterRoundTrip();
        if (serial == firstSerial_)
            step("add (first order)", [&] { form_->AddRecord(true); });
        step("order type TC001", [&] { type(module.cdsMain, "TC001", "2205"); });
        step("customer TC004", [&] { type(module.cdsMain, "TC004", "C001"); });
        for (int line = 0; line < lines; ++line) {
            timeBareRoundTrip();
            step("new line", [&] { module.cdsBody1.append(); });
            step("item TD004", [&] { type(module.cdsBody1, "TD004", items[(serial + line) % items.size()]); });
            step("quantity TD008", [&] { type(module.cdsBody1, "TD008", std::to_string(1 + (serial + line) % 7)); });
            step("line post", [&] { module.cdsBody1.post(); });
        }
        // The demonstration customer's credit is soon used up: the clerk answers the question
        // whether to confirm all the same with Yes.
        DialogService::instance().queueAnswer(DialogAnswer::Yes);
        bool saved = false;
        step("save, confirm, next Add", [&] { saved = form_->SaveRecord(); });
        return saved;
    }

    // Never inlined, so that a profile can collect the steps alone (--toggle-collect='*OrderEntry::step*').
    template <typename Action>
    [[gnu::noinline]] void step(const std::string& name, Action&& action)
    {
        if (std::getenv("ORVANE_LOAD_TRACE") != nullptr)
            std::cerr << name << ":\n";
        const long tripsBefore = shell_.calls.roundTrips;
        const double microsBefore = shell_.calls.micros;
        const auto start = std::chrono::steady_clock::now();
        const std::size_t shown = DialogService::instance().shownMessages().size();
        try {
            action();
        } catch (const SilentAbort&) {
            refusedAt_ = name + " (ended the order)";
            throw;
        }
        if (DialogService::instance().shownMessages().size() > shown && refusedAt_.empty())
            refusedAt_ = name;
        QCoreApplication::processEvents();
        samples_.micros[name].push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
        samples_.roundTrips[name] += shell_.calls.roundTrips - tripsBefore;
        samples_.callMicros[name].push_back(shell_.calls.micros - microsBefore);
    }
    static void type(ClientDataSet& dataSet, const char* field, const std::string& text)
    {
        SetFieldText(&dataSet.fieldByName(field), text, false);
    }

    ClerkShell& shell_;
    ClerkSamples& samples_;
    int firstSerial_;
    std::string refusedAt_; // the step that showed the order's first message
    std::unique_ptr<ClerkWindow, FormFree> form_;
};

} // namespace

void writeSamples(const ClerkSamples& samples, const std::string& file)
{
    std::ofstream out(file);
    out.precision(17);
    out << "orders " << samples.orders << "\nend " << samples.endSeconds << "\n";
    for (const auto& [name, micros] : samples.micros) {
        out << "trips " << samples.roundTrips.at(name) << " " << name << "\n";
        for (const double value : micros)
            out << "step " << value << " " << name << "\n";
        for (const double value : samples.callMicros.at(name))
            out << "calls " << value << " " << name << "\n";
    }
    for (const auto& [kind, micros] : samples.calls)
        for (const double value : micros)
            out << "kind " << value << " " << kind << "\n";
    for (const std::string& error : samples.errors)
        out << "error 0 " << error << "\n";
}

ClerkSamples readSamples(const std::string& file)
{
    ClerkSamples samples;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind;
        double value = 0;
        std::string name;
        words >> kind >> value;
        std::getline(words >> std::ws, name);
        if (kind == "orders")
            samples.orders = static_cast<int>(value);
        else if (kind == "end")
            samples.endSeconds = value;
        else if (kind == "trips")
            samples.roundTrips[name] = static_cast<long>(value);
        else if (kind == "step")
            samples.micros[name].push_back(value);
        else if (kind == "calls")
            samples.callMicros[name].push_back(value);
        else if (kind == "kind")
            samples.calls[name].push_back(value);
        else if (kind == "error")
            samples.errors.push_back(name);
    }
    return samples;
}

int runClerk(const ClerkOptions& options, int readyFd, int goFd, const std::string& resultFile)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int argc = 1;
    std::array<char*, 2> argv{const_cast<char*>("clerk"), nullptr};
    QApplication application(argc, argv.data());
    DialogService::instance().setScripted(true);
    ClerkShell shell(options);
    ClerkSamples samples;
    const int firstSerial = options.number * options.orders;
    OrderEntry entry(shell, samples, firstSerial, options.shown);
    const char ready = 1;
    if (::write(readyFd, &ready, 1) != 1)
        return 1;
    char go = 0;
    while (::read(goFd, &go, 1) > 0) {
    }
    shell.calls.callMicros.clear(); // the calls of the orders only, not those of the login
    for (int serial = 0; serial < options.orders; ++serial) {
        if (entry.enter(firstSerial + serial, options.lines))
            ++samples.orders;
    }
    samples.endSeconds = steadySeconds();
    samples.calls = std::move(shell.calls.callMicros);
    writeSamples(samples, resultFile);
    return 0;
}

} // namespace orvane::bench
