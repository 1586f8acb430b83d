#include "ui/Guard.h"

#include "platform/data/SilentAbort.h"
#include "support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

namespace orvane::test {
namespace {

// Records what reached the reporter during one test, then restores the default reporter.
class ReporterRecord {
public:
    ReporterRecord()
    {
        setExceptionReporter([this](const std::exception* error, std::string_view routine) {
            whats.push_back(error ? error->what() : "<none>");
            routines.emplace_back(routine);
            if (failure)
                throw std::runtime_error(*failure);
        });
    }
    ReporterRecord(const ReporterRecord&) = delete;
    ReporterRecord& operator=(const ReporterRecord&) = delete;
    ~ReporterRecord() { setExceptionReporter({}); }

    std::vector<std::string> whats;
    std::vector<std::string> routines;
    std::optional<std::string> failure; // the reporter itself fails with this text
};

// A reporter that fails itself has its failure shown with the error, and nothing escapes the
// guard, in a queued slot either.
TEST(GuardTest, EachKindOfEndingIsReportedAsItShouldBe)
{
    const struct {
        const char* name;
        std::function<void()> action;
        bool completed;
        std::vector<std::string> reported;
        const char* boxText; // nullptr: no box
        std::optional<std::string> reporterFailure;
    } cases[] = {
        {"normal end", [] {}, true, {}, nullptr},
        {"silent abort", [] { abortSilently(); }, false, {}, nullptr},
        {"runtime error",
         [] { throw std::runtime_error("Customer C001 not found"); },
         false,
         {"Customer C001 not found"},
         "Customer C001 not found"},
        {"not a std::exception", [] { throw 42; }, false, {"<none>"}, "Unknown exception"},
        {"the reporter fails",
         [] { throw std::runtime_error("Save failed"); },
         false,
         {"Save failed"},
         "Save failed\n\nCannot open the log file",
         "Cannot open the log file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialogs dialogs;
        ReporterRecord record;
        record.failure = c.reporterFailure;
        EXPECT_EQ(guarded("btnCopyClick", c.action), c.completed);
        EXPECT_EQ(record.whats, c.reported);
        if (c.boxText == nullptr) {
            EXPECT_TRUE(dialogs->shownMessages().empty());
            continue;
        }
        ASSERT_EQ(dialogs->shownMessages().size(), 1u);
        EXPECT_EQ(dialogs->shownMessages()[0].text, QString::fromUtf8(c.boxText));
        EXPECT_EQ(dialogs->shownMessages()[0].kind, DialogKind::Error);
        EXPECT_EQ(record.routines, std::vector<std::string>{"btnCopyClick"});

        QObject context; // the same ending in a queued slot
        QMetaObject::invokeMethod(&context, guardedSlot("timerTick", c.action), Qt::QueuedConnection);
        QCoreApplication::processEvents();
        EXPECT_EQ(dialogs->shownMessages().size(), 2u);
    }
}

} // namespace
} // namespace orvane::test
