// The whole shell over the real server (embedded and over TCP) and the real sales-order
// module: log in, list the programs, open TAVI52, run several and close them.
#include "shell/ShellSession.h"
#include "services/Language_Convert.h"
#include "shell/DocumentStoreClient.h"
#include "shell/LoginDialog.h"
#include "shell/MainWindow.h"
#include "shell/QtShellWindows.h"
#include "shell/ShellApplication.h"
#include "support/DemoServer.h"
#include "support/ScriptedDialogs.h"
#include "ui/QtText.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTableWidget>
#include <QTest>
#include <QWidget>

#include <fstream>
#include <functional>
#include <map>

namespace orvane::test {
namespace {

namespace fs = std::filesystem;

const fs::path moduleFolder = ORVANE_MODULE_DIR;

// The order windows shown, or the hidden ones (spares prepared ahead), whatever their language.
std::vector<QWidget*> orderWindows(bool shown)
{
    std::vector<QWidget*> found;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() == shown && std::string(top->metaObject()->className()) == "orvane::TfrmTavi52")
            found.push_back(top);
    return found;
}

class ShellSessionTest : public DemoServerTest {
protected:
    void SetUp() override
    {
        if (!fs::exists(moduleFolder / "tavi52c.so"))
            GTEST_SKIP() << "the sales-order module is not built in " << moduleFolder;
        DemoServerTest::SetUp();
        // The client folder the module reads its configuration from.
        const ServerAccessOptions road = options();
        std::ofstream(folder_ / "OrvaneC.ini")
            << "[Server Information]\nComputerName=" << road.address << "\nServerPort=" << road.port
            << "\n[WorkDLLPath]\nModules=" << moduleFolder.string() << "\n";
        fs::copy_file(ORVANE_LANGUAGE_FILE, folder_ / "Language");
        useClientFolder();
        tables_ = LanguageTables::load(ORVANE_LANGUAGE_FILE);
    }
    void TearDown() override
    {
        session_.reset();
        DemoServerTest::TearDown();
    }

    ShellSession& logIn(const std::string& user = "ZT")
    {
        session_ = std::make_unique<ShellSession>(
            options(), ServerCredentials{user, std::string(demoPassword), std::string(demoCompanyId)},
            std::vector<std::string>{moduleFolder.string()}, documentFolder(folder_), tables_, windows_);
        QObject::connect(&session_->programs(), &ProgramHost::notified,
                         [this](int code, const QString&) { notifications_.push_back(code); });
        return *session_;
    }

    // Lets queued work run (the host frees closed programs from the event loop).
    static void settle()
    {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }

    ScriptedDialogs dialogs_;
    QtShellWindows windows_;
    LanguageTables tables_;
    std::unique_ptr<ShellSession> session_;
    std::vector<int> notifications_;
};

TEST_P(ShellSessionTest, OpensTheOrderProgramWithTheLoginAndReportsAFailedStart)
{
    ShellSession& session = logIn();
    MainWindow window(session);
    ASSERT_EQ(window.programTable().rowCount(), 1);
    EXPECT_EQ(window.programTable().item(0, 0)->text(), "TAVI52");
    EXPECT_EQ(window.programTable().item(0, 1)->text(), "客户订单录入作业");

    ASSERT_EQ(window.openProgram("TAVI52"), 0)
        << (dialogs_->shownMessages().empty() ? std::string() : dialogs_->shownMessages()[0].text.toStdString());
    const std::vector<QWidget*> shown = orderWindows(true);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0]->windowTitle(), "客户订单录入作业[演示公司]");
    EXPECT_EQ(notifications_.front(), TDLLBaseController::notifyCreated);
    EXPECT_NE(session.programs().controller("TAVI52"), nullptr);

    // A failed start shows the launch text and the cause.
    EXPECT_EQ(window.openProgram("NOSUCH"), -1);
    ASSERT_EQ(dialogs_->shownMessages().size(), 1u);
    EXPECT_EQ(dialogs_->shownMessages()[0].kind, DialogKind::Error);
    EXPECT_TRUE(dialogs_->shownMessages()[0].text.startsWith("[NOSUCH]程序不存在!\n"));
}

// Closing the shell while an order is being typed asks, as closing the order window does: Cancel
// keeps the shell and the order, No drops the order and closes both.
TEST_F(ShellSessionTest, ClosingTheShellAsksAboutAnOrderBeingTypedAndStaysWhenTheClerkCancels)
{
    ShellSession& session = logIn();
    MainWindow window(session);
    window.show();
    ASSERT_EQ(window.openProgram("TAVI52"), 0);
    QWidget* order = orderWindows(true).at(0);
    order->findChild<QAbstractButton*>("btnAdd")->click();
    const std::size_t shownBefore = dialogs_->shownMessages().size();

    dialogs_->queueAnswer(DialogAnswer::Cancel);
    EXPECT_FALSE(window.close());
    ASSERT_EQ(dialogs_->shownMessages().size(), shownBefore + 1) << "asked whether to save the order";
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(orderWindows(true), std::vector<QWidget*>{order});

    dialogs_->queueAnswer(DialogAnswer::No);
    EXPECT_TRUE(window.close());
    EXPECT_TRUE(orderWindows(true).empty());
    EXPECT_EQ(session.programs().runningCount(), 0u);
}

// What a clerk sees of a program window: caption, the state of every button and edit, the
// labels' texts, the lines in the body grid and the control holding the focus.
std::map<QString, QString> lookOf(QWidget& window)
{
    std::map<QString, QString> look{{"caption", window.windowTitle()}};
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        look["button " + button->objectName()] =
            QString("%1%2").arg(button->isEnabled() ? "enabled" : "disabled", button->isVisible() ? "" : " hidden");
    for (const QLabel* label : window.findChildren<QLabel*>())
        look["label " + label->objectName()] = label->text();
    for (const QLineEdit* edit : window.findChildren<QLineEdit*>())
        look["edit " + edit->objectName()] = edit->text() + (edit->isReadOnly() ? " (read only)" : "");
    if (const auto* grid = window.findChild<QAbstractItemView*>("gdBody1"))
        look["lines"] = QString::number(grid->model()->rowCount());
    look["focus"] = window.focusWidget() != nullptr ? window.focusWidget()->objectName() : QString();
    return look;
}

TEST_F(ShellSessionTest, ASpareLooksLikeAFreshStartIsTakenOnceAndFreedUnusedWhenTheRightsOrTheLanguageChanged)
{
    ShellSession& session = logIn("SALES01");
    MainWindow window(session);
    ProgramHost& programs = session.programs();
    ASSERT_EQ(window.openProgram("TAVI52"), 0);
    QWidget* fresh = orderWindows(true).at(0);
    // The shell makes the spare by itself once it has been idle.
    for (int wait = 0; wait < 400 && programs.spareCount() == 0; ++wait)
        QTest::qWait(50);
    ASSERT_EQ(programs.spareCount(), 1u);
    ASSERT_EQ(orderWindows(false).size(), 1u);
    const QPointer<QWidget> spare = orderWindows(false)[0];

    notifications_.clear();
    ASSERT_EQ(window.openProgram("TAVI52"), 0);
    settle();
    EXPECT_TRUE(spare->isVisible());
    EXPECT_EQ(notifications_, (std::vector<int>{TDLLBaseController::notifyCreated, TDLLBaseController::notifyShown}));
    EXPECT_EQ(lookOf(*spare), lookOf(*fresh));

    // The next start gets a window of its own, never the one taken: three programs run at once.
    ASSERT_EQ(window.openProgram("TAVI52"), 0);
    EXPECT_EQ(orderWindows(true).size(), 3u);
    EXPECT_EQ(programs.runningCount(), 3u);
    // What the program reports as its window closes: ControllerTest; here what the host makes of it.
    fresh->close();
    settle();
    EXPECT_EQ(programs.runningCount(), 2u) << "the window the user closed is forgotten";
    programs.closeAll();
    EXPECT_EQ(programs.runningCount(), 0u);
    EXPECT_TRUE(orderWindows(true).empty());

    // The session's end frees a spare that was never taken. Its client classes come and go with it:
    // a document is checked out into the client folder while it runs.
    programs.prepareSpare("TAVI52", Variant(""));
    const QPointer<QWidget> unused = orderWindows(false).at(0);
    std::vector<Variant> document{"DOC-A100"};
    EXPECT_EQ(createAutomationObject("DmsC.DMSClass1")->invoke("CheckOut", document), Variant(0));
    EXPECT_EQ(document[0], Variant((documentFolder(folder_) / "A100-sheet.txt").string()));
    session_.reset();
    settle();
    EXPECT_TRUE(unused.isNull());
    EXPECT_TRUE(spare.isNull());
    EXPECT_FALSE(AutomationRegistry::instance().isRegistered("DmsC.DMSClass1"));

    // A spare is freed unused when the rights or the language changed since it was made. Each
    // start here runs the module again in a new session: Qt keeps texts of a module's read-only
    // data in its caches, which a module unmapped by the last session's end would leave dangling.
    const auto startWithSpare = [this](const std::function<void()>& change) {
        MainWindow shell(logIn("SALES01"));
        session_->programs().prepareSpare("TAVI52", Variant(""));
        const QPointer<QWidget> made = orderWindows(false).at(0);
        change();
        EXPECT_EQ(shell.openProgram("TAVI52"), 0);
        settle();
        EXPECT_TRUE(made.isNull()) << "the spare was shown instead of a fresh window";
        EXPECT_EQ(orderWindows(true).size(), 1u);
        session_->programs().prepareSpare("TAVI52", Variant(""));
        EXPECT_EQ(session_->programs().spareCount(), 0u) << "no more spares in this session";
    };
    startWithSpare([this] {
        const auto db = companyDatabase();
        db->execute("UPDATE " + db->dialect().companyTable(demoCompanyDb, "ADMMG") +
                    " SET MG006 = ',Y,Y,YYYYYYYYYYYY,YYYYYYY,YYYYYYY' WHERE MG001 = 'SALES01'");
    });
    session_.reset();
    startWithSpare([this] { std::ofstream(folder_ / "OrvaneC.ini", std::ios::app) << "[Client Components]\nLangType=CHT\n"; });
}

INSTANTIATE_TEST_SUITE_P(Roads, ShellSessionTest, ::testing::Values(Road::Embedded, Road::Tcp), roadName);

class ShellLoginTest : public ShellSessionTest {};

// A server that fails the session after its login (here it allows one object per session, and the
// session needs more): the login window says why and offers another try; the shell does not end.
TEST_P(ShellLoginTest, AFailureAfterTheLoginIsShownInTheLoginWindow)
{
    server_ = std::make_unique<RpcServer>(RpcServerOptions{.address = tcpAddress,
                                                           .port = 0,
                                                           .threads = 2,
                                                           .authenticate = passwordAuthenticator(context_),
                                                           .server = {.sessionObjects = 1}},
                                          serverRegistry_);
    server_->start();
    std::ofstream(folder_ / "OrvaneC.ini")
        << "[Server Information]\nComputerName=" << tcpAddress << "\nServerPort=" << server_->port() << "\n";
    onWindow<LoginDialog>(dialogs_, [](LoginDialog& login) {
        login.findChild<QLineEdit*>("edUser")->setText("ZT");
        login.findChild<QLineEdit*>("edCompany")->setText(QString::fromStdString(std::string(demoCompanyId)));
        login.findChild<QLineEdit*>("edPassword")->setText(QString::fromStdString(std::string(demoPassword)));
        login.accept();
    });
    QString error;
    onWindow<LoginDialog>(dialogs_, [&error](LoginDialog& login) {
        error = login.findChild<QLabel*>("lblError")->text();
        login.reject();
    });
    EXPECT_EQ(ShellApplication(ShellOptions{}).run(), 0) << "the clerk cancelled the second login window";
    EXPECT_TRUE(error.contains(QString("application server %1:").arg(tcpAddress))) << error.toStdString();
    EXPECT_TRUE(dialogs_->shownMessages().empty());
}

// Under a code page that is neither GB nor Big5 every text would show converted wrongly: the shell
// does not start, and names the setting.
TEST_P(ShellLoginTest, AnInterfaceCodePageOtherThanGbOrBig5StopsTheShellNamingTheSetting)
{
    std::ofstream(folder_ / "OrvaneC.ini") << "[CodePage]\nUICodePage=65001\n";
    EXPECT_EQ(ShellApplication(ShellOptions{}).run(), 1);
    ASSERT_EQ(dialogs_->shownMessages().size(), 1u);
    EXPECT_TRUE(dialogs_->shownMessages()[0].text.contains("[CodePage] UICodePage to '65001'"))
        << dialogs_->shownMessages()[0].text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Roads, ShellLoginTest, ::testing::Values(Road::Tcp), roadName);

} // namespace
} // namespace orvane::test
