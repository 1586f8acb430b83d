#pragma once
// The shell's host object: the dispatch object a program module receives from the shell and
// calls for the shell's components and services.
//
//   "Com_VarManager", "Com_Validator", "Com_F2Window", "Com_InputDate", "Com_Phrase",
//   "Com_Counter"          () -> the component (the same object on every call)
//   "GetMessage"           (type, code) -> message text in the interface language (the
//                          dictionary's, else the server's)
//   "ExecWork"             (identity&, filter&, params&, mode&, result&) -> launch code
//   "CallHelp"             (topic) -> nothing
//   "Connect"              () -> nothing; the host is connected when it is made
//   "BIG5toGB", "GBtoBig5" (text) -> the converted text (other values unchanged)
//   "Big5ToGB", "GBToBig5" (text&) -> the converted text, also written back
//
// The components that the server answers share one "OrvaneS.Services" session. See
// docs/host-object.md. Client thread only.

#include "platform/variant/Dispatch.h"
#include "shell/ServiceRelay.h"

#include <memory>

namespace orvane {

class LanguageTables;
class ProgramLauncher;
class ServerAccess;
class ShellWindows;

class HostObject : public AutomationObject {
public:
    // windows, launcher and tables outlive the host object.
    HostObject(ServerAccess& server, ShellWindows& windows, ProgramLauncher& launcher, const LanguageTables& tables);

private:
    // A component answering methods through the shell's server session.
    DispatchPtr relay(std::string className, std::initializer_list<ServiceRelay::Relayed> methods) const;
    // Declares a method without arguments answering a component.
    void component(std::string name, DispatchPtr object);
    // Declares a Big5/GB conversion; byReference writes the answer back into the argument.
    void conversion(std::string name, std::string (LanguageTables::*convert)(std::string_view) const, bool byReference);

    DispatchPtr services_; // the shell's server session
    ProgramLauncher& launcher_;
    const LanguageTables& tables_;
};

} // namespace orvane
