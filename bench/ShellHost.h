#pragma once
// For the benchmarks that start program windows: a demonstration installation with the shell's
// host object over it, and the main of a benchmark that needs a QApplication (offscreen unless
// a platform is set, message boxes answered by script).

#include "DemoInstallation.h"

#include "services/Language_Convert.h"
#include "shell/HostObject.h"
#include "shell/ShellWindows.h"
#include "ui/DialogService.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace orvane {

class ShellHostInstallation : public DemoInstallation {
public:
    ShellHostInstallation(bool embedded, const std::string& name, const Populate& populate = {})
        : DemoInstallation(embedded, name, populate),
          host_(std::make_shared<HostObject>(access(), windows_, launcher_, tables_))
    {}

    Variant host() const { return Variant(DispatchPtr(host_)); }

private:
    LanguageTables tables_;
    ShellWindows windows_;
    ProgramLauncher launcher_;
    std::shared_ptr<HostObject> host_;
};

inline int runWindowBenchmarks(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    DialogService::instance().setScripted(true);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace orvane
