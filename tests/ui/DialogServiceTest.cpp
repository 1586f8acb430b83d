#include "ui/DialogService.h"

#include "support/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <map>

namespace orvane::test {
namespace {

using A = DialogAnswer;
MessageDialog box(std::vector<int> buttons, DialogKind kind = DialogKind::Warning)
{
    return {QStringLiteral("Caption"), QStringLiteral("Text"), kind, std::move(buttons), {}};
}

class DialogServiceTest : public ::testing::Test {
protected:
    ScriptedDialogs dialogs;
};

// Queued answers in their order, then the default button. Work done ahead of the user shows nothing
// and leaves the script alone; the scope tells that something was to be shown, and the service
// speaks again once the scope ends.
TEST_F(DialogServiceTest, ScriptQueuedAnswersThenTheDefaultButtonQueuedModalActionsAndNothingShownWhileUnattended)
{
    dialogs->queueAnswer(A::No);
    QWidget window;
    {
        const DialogService::Unattended unattended;
        EXPECT_EQ(dialogs->showMessage(box({A::Yes, A::No})), A::No); // what Escape would answer
        dialogs->runModal(window);
        EXPECT_FALSE(window.isVisible());
        EXPECT_TRUE(unattended.asked());
        EXPECT_TRUE(dialogs->shownMessages().empty());
        EXPECT_EQ(dialogs->pendingAnswers(), 1u);
    }
    dialogs->queueAnswer(A::Cancel);
    EXPECT_EQ(dialogs->showMessage(box({A::Yes, A::No})), A::No);
    EXPECT_EQ(dialogs->showMessage(box({A::Ok, A::Cancel})), A::Cancel);
    EXPECT_EQ(dialogs->showMessage(box({A::Yes, A::No, A::Cancel})), A::Yes);
    EXPECT_EQ(dialogs->showMessage(box({})), A::Ok);
    EXPECT_EQ(dialogs->shownMessages().size(), 4u);

    // A modal window runs the queued action and is closed afterwards.
    QWidget inner;
    std::vector<QWidget*> seen;
    dialogs->queueModalAction([&](QWidget& shown) {
        seen.push_back(&shown);
        EXPECT_TRUE(shown.isVisible());
        dialogs->runModal(inner); // nested modal windows take the next action
    });
    dialogs->queueModalAction([&](QWidget& shown) { seen.push_back(&shown); });
    dialogs->runModal(window);
    EXPECT_EQ(seen, (std::vector<QWidget*>{&window, &inner}));
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(inner.isVisible());

    dialogs->runModal(window); // nothing queued: shown and closed at once
    EXPECT_FALSE(window.isVisible());

    dialogs->queueModalAction([](QWidget& shown) { delete &shown; });
    dialogs->runModal(*new QWidget); // the action may free the window
}

// Runs `drive` on the message box once it is shown; closes it when it is not one.
void whenShown(std::function<void(QMessageBox&)> drive)
{
    QTimer::singleShot(0, [drive = std::move(drive)] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* shown = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(modal, nullptr);
        if (shown == nullptr) {
            modal->close();
            FAIL() << "the modal widget is not a message box";
        }
        drive(*shown);
    });
}

std::vector<QString> buttonsLeftToRight(QMessageBox& shown)
{
    std::map<int, QString> byPlace;
    for (QAbstractButton* button : shown.buttons())
        byPlace[button->mapTo(&shown, QPoint()).x()] = button->text().remove(QLatin1Char('&'));
    std::vector<QString> texts;
    for (const auto& [x, text] : byPlace)
        texts.push_back(text);
    return texts;
}

// The real dialogs, driven from a timer inside their own event loop.
TEST_F(DialogServiceTest, RealButtonsInTheGivenOrderEscapeAnswersCancelElseTheLastButtonAndModalLoopsEndWithTheirWindow)
{
    dialogs->setScripted(false);
    const struct {
        std::vector<int> buttons;
        std::vector<QString> texts;
        int escapeAnswer;
    } cases[] = {
        {{A::Yes, A::No, A::Cancel}, {"Yes", "No", "Cancel"}, A::Cancel},
        {{A::Cancel, A::Ok}, {"Cancel", "OK"}, A::Cancel},
        {{A::Yes, A::No}, {"Yes", "No"}, A::No},
        {{A::Ok}, {"OK"}, A::Ok},
    };
    for (const auto& c : cases) {
        std::vector<QString> texts;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        whenShown([&](QMessageBox& shown) {
            texts = buttonsLeftToRight(shown);
            icon = shown.icon();
            QTest::keyClick(&shown, Qt::Key_Escape);
        });
        EXPECT_EQ(dialogs->showMessage(box(c.buttons, DialogKind::Error)), c.escapeAnswer);
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ(icon, QMessageBox::Critical);
    }
    EXPECT_TRUE(dialogs->shownMessages().empty());

    // A modal loop ends when its window is hidden or deleted.
    QWidget window;
    window.setWindowModality(Qt::NonModal);
    Qt::WindowModality during = Qt::NonModal;
    QTimer::singleShot(0, [&] {
        during = window.windowModality();
        window.close();
    });
    dialogs->runModal(window);
    EXPECT_EQ(during, Qt::ApplicationModal);
    EXPECT_EQ(window.windowModality(), Qt::NonModal);
    EXPECT_FALSE(window.isVisible());

    auto* doomed = new QWidget;
    QTimer::singleShot(0, [doomed] { delete doomed; });
    dialogs->runModal(*doomed);
}

// The buttons speak the language of Qt's installed translation: they stayed English under Chinese.
TEST_F(DialogServiceTest, RealButtonsFollowQtsTranslation)
{
    dialogs->setScripted(false);
    QTranslator traditional;
    ASSERT_TRUE(traditional.load("qtbase_zh_TW", QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&traditional);
    std::vector<QString> texts;
    whenShown([&](QMessageBox& shown) {
        texts = buttonsLeftToRight(shown);
        QTest::keyClick(&shown, Qt::Key_Escape);
    });
    dialogs->showMessage(box({A::Yes, A::Cancel}, DialogKind::Confirmation));
    QCoreApplication::removeTranslator(&traditional);
    EXPECT_EQ(texts, (std::vector<QString>{QString::fromUtf8(u8"是(Y)"), QString::fromUtf8(u8"取消")}));
}

} // namespace
} // namespace orvane::test
