#pragma once
// The programs the shell runs: starts a program of the suite from its module (the program
// menu and the host's "ExecWork" come here), hears each controller's notifications, frees a
// controller once its form is gone, and closes everything when the shell ends.
//
// Start: the program's row and the user's rights from the server, the module
// "<id lower case>c.so" from the work-module folders, GetController, the host object and the
// notification handler, Execute [user, company, company database, shell window, start data],
// SetStartKey when a key is given, SetStartMode with the rights mask, SetVisible. Several
// programs, and several copies of one, run side by side.
//
// Spare windows: after a program has started, the host prepares in idle time one more copy of
// it (GetController and Execute, never shown, so it holds no clerk's work), and the next plain
// start of that program (no start key, start mode 0, the same start data) takes it: RenewStart
// logs it in again and reads its data anew, then SetStartMode and SetVisible as usual. A spare
// whose controller cannot renew, or whose rights or language changed, is freed and the program
// starts afresh. At most one spare per program; all go with closeAll (the session's end).
//
// Client thread only.

#include "shell/LaunchCode.h"
#include "shell/ProgramCatalog.h"
#include "shell/ProgramModule.h"
#include "shell/ShellWindows.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace orvane {

// Who the programs run for.
struct SessionIdentity {
    std::string user;      // user code
    std::string company;   // company identifier
    std::string companyDb; // company database
};

// What to start and how.
struct StartRequest {
    std::string programId;
    Variant startData; // element 4 of Execute's parameters
    std::int32_t startMode = 0;
    Variant startValue;   // the value SetStartMode hands over
    std::string startKey; // given to SetStartKey when not empty
};

// The answer of a start.
struct StartOutcome {
    int code = 0;            // 0 started, else a launch code
    std::string programName; // the program's name (data code page), its identifier when unknown
    std::string detail;      // what failed (UTF-8), empty on success
};

class ProgramHost : public QObject, public ProgramLauncher {
    Q_OBJECT
public:
    ProgramHost(ProgramCatalog& catalog, std::vector<std::string> workFolders, SessionIdentity identity,
                QObject* parent = nullptr);
    // Closes every program (see closeAll).
    ~ProgramHost() override;

    // The host object the programs receive; a program started without one fails with code -3.
    // Spares made with another one are freed.
    void setHostObject(Variant host)
    {
        dropSpares();
        host_ = std::move(host);
    }
    // The shell window's identifier passed in Execute; spares made with another one are freed.
    void setShellWindow(std::int64_t window)
    {
        if (window != shellWindow_)
            dropSpares();
        shellWindow_ = window;
    }

    // Starts a program; never raises.
    StartOutcome start(const StartRequest& request);

    // "ExecWork": identity [user, company, program, window] (the program is element 2; the
    // shell's own login is used), filter (start key and start data when a text), params
    // [start mode, unused, start value] (defaults 0 and unassigned), mode (not used).
    int execWork(const Variant& identity, const Variant& filter, const Variant& params, int mode,
                 Variant& result) override;
    // "CallHelp": a box naming the program family and the help topic.
    void callHelp(const Variant& topic) override;

    // Prepares the spare of a program now (see above), unless it has one or its last spare
    // failed; never raises (a failure is logged). startData: what its plain start will hand in.
    void prepareSpare(const std::string& programId, const Variant& startData);
    // The same once the event loop has been idle for a moment (the new window painted first).
    void prepareSpareLater(const std::string& programId, const Variant& startData);
    std::size_t spareCount() const { return spares_.size(); }

    // Programs whose form still exists.
    std::size_t runningCount() const;
    // The controller of the first running copy of a program, null when none runs.
    TDLLBaseController* controller(std::string_view programId) const;

    // Asks each shown program window to close as the clerk closing it would: a window with a
    // document being added or edited asks whether to save it first. False as soon as one stays
    // open (the clerk cancelled, or the save failed); the windows closed until then are gone.
    bool closeWindows();
    // Frees the spares, closes every program (CloseProgram(0)), frees the controllers, then
    // unloads the modules.
    void closeAll();

signals:
    // A controller's notification (256 created ... 320 closed), after the program heard it.
    void notified(int code, const QString& programId);

private:
    struct Running {
        std::string programId;
        std::shared_ptr<ProgramModule> module; // keeps the library loaded while the controller lives
        std::unique_ptr<TDLLBaseController> controller;
        bool formGone = false; // 304 received: free at the next sweep
    };

    // A program's spare, prepared for a plain start with startData.
    struct Spare {
        std::unique_ptr<Running> program;
        Variant startData;
    };

    void launch(const StartRequest& request, StartOutcome& outcome);
    // The runnable program's entry and the file of its module (programName is set as soon as the
    // program is known); raises LaunchError.
    std::pair<ProgramEntry, std::filesystem::path> runnable(const std::string& programId, std::string& programName);
    std::shared_ptr<ProgramModule> module(const std::filesystem::path& file);
    std::unique_ptr<Running> newProgram(const ProgramEntry& entry, const std::filesystem::path& file);
    void executeController(Running& program, const Variant& startData);
    void startController(Running& program, const StartRequest& request, std::uint8_t rightsMask, bool executed);
    // The program's spare renewed for request, or null (then the program starts afresh).
    std::unique_ptr<Running> takeSpare(const std::string& programId, const StartRequest& request);
    void dropSpares();
    void onNotify(std::int32_t code, TDLLBaseController* sender);
    // A spare whose form went by itself joins the programs to free.
    void forgetSpare(TDLLBaseController* sender);
    void queueSweep();
    // Frees the controllers whose form is gone; runs from the event loop, never inside a
    // controller's own notification.
    void freeClosed();
    void discard(std::unique_ptr<Running> program);

    ProgramCatalog& catalog_;
    std::vector<std::string> workFolders_;
    SessionIdentity identity_;
    Variant host_;
    std::int64_t shellWindow_ = 0;
    std::map<std::filesystem::path, std::shared_ptr<ProgramModule>> modules_; // loaded once each
    std::vector<std::unique_ptr<Running>> running_;
    std::map<std::string, Spare> spares_;  // by program identifier
    std::set<std::string> withoutSpares_; // programs whose spare failed: started afresh this session
    bool sweepQueued_ = false;
};

} // namespace orvane
