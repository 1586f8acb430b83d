#pragma once
// What the order window's tests share: the shell's windows with the lookup lists answered by
// script (each list shown takes the next queued row, after checking how many rows it lists; a
// list shown with nothing queued is a failure and chooses nothing), the order window as
// installed, and the fixture that starts an order window of class Window over them.

#include "framework/DocumentWindow.h"

#include "salesorder/Tavi52CF.h"
#include "shell/ShellWindows.h"

#include <gtest/gtest.h>

#include <deque>

namespace orvane::test {

class ScriptedLookups : public ShellWindows {
public:
    // The next list chooses its row `row`, after listing `rows` rows (any number when negative).
    void choose(std::size_t row, int rows = -1) { queue_.push_back({row, rows}); }
    std::size_t shown() const { return shown_; }

    std::optional<std::vector<Variant>> chooseLookupRow(const LookupList& list) override
    {
        ++shown_;
        if (queue_.empty()) {
            ADD_FAILURE() << "a lookup list of " << list.request.table << " was shown unasked";
            return std::nullopt;
        }
        const auto [row, rows] = queue_.front();
        queue_.pop_front();
        if (rows >= 0) {
            EXPECT_EQ(static_cast<int>(list.page.rows.size()), rows) << list.request.table;
        }
        if (row >= list.page.rows.size())
            return std::nullopt;
        return list.page.rows[row];
    }

private:
    struct Choice {
        std::size_t row;
        int rows;
    };
    std::deque<Choice> queue_;
    std::size_t shown_ = 0;
};

// The order window, installed as the order module is.
class OrderTestWindow : public TfrmTavi52 {
protected:
    std::string ModuleFileName() const override { return moduleFile; }
};

template <typename Window>
class OrderWindowFixture : public DocumentWindowTest {
protected:
    void SetUp() override
    {
        DocumentWindowTest::SetUp();
        host = std::make_shared<HostObject>(*server, lookups, launcher, tables);
        form = started<Window>();
    }
    void TearDown() override
    {
        form.reset();
        DocumentWindowTest::TearDown();
    }

    ScriptedLookups lookups;
    WindowPtr<Window> form;
};

} // namespace orvane::test
