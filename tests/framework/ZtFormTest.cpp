// The root form's life: the destroy handler sees the whole form, the close action decides
// whether a closed form stays, hides or is freed after the close event.
#include "framework/ZtForm.h"

#include "support/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QPointer>

#include <gtest/gtest.h>

namespace orvane::test {
namespace {

class DerivedForm : public TZtForm {
public:
    std::string name = "derived part";
};

TEST(ZtFormTest, FreeRunsTheDestroyHandlerOnTheWholeFormOnceAndFreesEvenWhenItFails)
{
    auto* form = new DerivedForm;
    QPointer<QWidget> alive(form);
    std::vector<std::string> seen;
    form->OnDestroy = [&](QObject* sender) {
        auto* derived = static_cast<DerivedForm*>(sender);
        EXPECT_TRUE(derived->destroying());
        seen.push_back(derived->name);
        TZtForm::Free(derived); // a second Free while freeing is ignored
        throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(TZtForm::Free(form), std::runtime_error);
    EXPECT_EQ(seen, std::vector<std::string>{"derived part"});
    EXPECT_TRUE(alive.isNull());
}

TEST(ZtFormTest, TheCloseActionDecidesWhatACloseDoesAndAFailingHandlerKeepsTheWindowOpen)
{
    ScriptedDialogs dialogs;
    auto* form = new DerivedForm;
    QPointer<QWidget> alive(form);
    CloseAction chosen = CloseAction::None;
    std::vector<std::string> events;
    form->OnShow = [&](QObject*) { events.push_back("show"); };
    form->OnHide = [&](QObject*) { events.push_back("hide"); };
    form->OnClose = [&](QObject*, CloseAction& action) {
        EXPECT_EQ(action, CloseAction::Hide) << "a close starts with Hide";
        action = chosen;
        events.push_back("close");
    };
    form->OnDestroy = [&](QObject*) { events.push_back("destroy"); };

    form->show();
    EXPECT_FALSE(form->close());
    EXPECT_TRUE(form->isVisible());

    chosen = CloseAction::Hide;
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(form->isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(alive.isNull());

    form->show();
    chosen = CloseAction::Free;
    form->close();
    EXPECT_FALSE(alive.isNull()) << "freed after the close event, not inside it";
    QCoreApplication::processEvents();
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(events, (std::vector<std::string>{"show", "close", "close", "hide", "show", "close", "destroy"}))
        << "a freed form reports its destruction, not a hide";

    DerivedForm failing;
    failing.OnClose = [](QObject*, CloseAction& action) {
        action = CloseAction::Free;
        throw std::runtime_error("cannot close now");
    };
    failing.show();
    EXPECT_FALSE(failing.close()) << "a failing handler keeps the window open";
    EXPECT_TRUE(failing.isVisible());
    EXPECT_EQ(dialogs->shownMessages().size(), 1u) << "the guard reports the failure";
}

} // namespace
} // namespace orvane::test
