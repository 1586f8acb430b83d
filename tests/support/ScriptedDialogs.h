#pragma once
// A test's view of the dialog service: scripted, empty at the start, and back to scripted and
// empty at the end, so that queued answers never leak from one test into the next.

#include "ui/DialogService.h"

namespace orvane::test {

class ScriptedDialogs {
public:
    ScriptedDialogs() { reset(); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;
    ~ScriptedDialogs() { reset(); }

    DialogService& service() const { return DialogService::instance(); }
    DialogService* operator->() const { return &DialogService::instance(); }

private:
    static void reset()
    {
        DialogService::instance().setScripted(true);
        DialogService::instance().clear();
    }
};

} // namespace orvane::test
