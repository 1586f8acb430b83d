#pragma once
// The shell's host object over the demonstration server on the test's road, with the windows
// and the launcher of the test's choice.

#include "support/DemoServer.h"

#include "services/Language_Convert.h"
#include "shell/HostObject.h"
#include "shell/ShellWindows.h"

namespace orvane::test {

template <typename Windows, typename Launcher = ProgramLauncher>
class DemoHostTest : public DemoServerTest {
protected:
    void SetUp() override
    {
        DemoServerTest::SetUp();
        if (IsSkipped())
            return;
        server = access();
        host = std::make_shared<HostObject>(*server, windows, launcher, tables);
    }
    void TearDown() override
    {
        host.reset();
        server.reset();
        DemoServerTest::TearDown();
    }
    DispatchPtr component(std::string_view name) { return host->call(name).dispatch(); }

    LanguageTables tables; // set before SetUp for Big5/GB conversions
    Windows windows;
    Launcher launcher;
    std::unique_ptr<ServerAccess> server;
    std::shared_ptr<HostObject> host;
};

} // namespace orvane::test
