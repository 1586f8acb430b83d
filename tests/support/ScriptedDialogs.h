#pragma once
// A test's view of the dialog service: scripted, empty at the start, and back to scripted and
// empty at the end, so that queued answers never leak from one test into the next.

#include "ui/DialogService.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace orvane::test {

class ScriptedDialogs {
public:
    ScriptedDialogs() { reset(); }
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;
    ~ScriptedDialogs() { reset(); }

    DialogService* operator->() const { return &DialogService::instance(); }

private:
    static void reset()
    {
        DialogService::instance().setScripted(true);
        DialogService::instance().clear();
    }
};

// Runs action on the next modal window, which must be a Window.
template <typename Window>
void onWindow(ScriptedDialogs& dialogs, std::function<void(Window&)> action)
{
    dialogs->queueModalAction([action](QWidget& shown) {
        auto* window = dynamic_cast<Window*>(&shown);
        ASSERT_NE(window, nullptr) << "the modal window is a " << shown.metaObject()->className();
        action(*window);
    });
}

} // namespace orvane::test
