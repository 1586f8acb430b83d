// The root program form started over the real demonstration server (embedded): the start steps,
// rights, the messages of a short start and of a user without rights, launching other programs,
// the help key, lookups requested by controls, Enter as Tab, and the stand-alone start.
#include "framework/ProgramHost.h"

#include "salesorder/Tavi52CF.h"
#include "services/DictionaryFiles.h"
#include "support/Contains.h"
#include "support/LocalText.h"
#include "support/ScriptedDialogs.h"
#include "support/TextPacket.h"

#include <QApplication>
#include <QLayout>
#include <QLineEdit>
#include <QPaintEvent>
#include <QTableWidget>
#include <QTest>

#include <optional>

namespace orvane::test {
namespace {

// The order window as a given module file would run it, recording the lookups asked of it.
class ProgramTestForm : public TfrmTavi52 {
public:
    explicit ProgramTestForm(std::string moduleFile) : moduleFile_(std::move(moduleFile)) {}

    void OpenF2Window(int& key, QWidget* control) override
    {
        lookups.emplace_back(key, control);
        TfrmTavi52::OpenF2Window(key, control);
    }
    void OpenF4Window(int& key, QWidget* control) override
    {
        lookups.emplace_back(key, control);
        TfrmTavi52::OpenF4Window(key, control);
    }

    std::vector<std::pair<int, QWidget*>> lookups;

protected:
    std::string ModuleFileName() const override { return moduleFile_; }

private:
    std::string moduleFile_;
};

using ProgramFormPtr = std::unique_ptr<ProgramTestForm, FormFree>;

class ProgramFormTest : public ProgramHostTest {
protected:
    ScriptedDialogs dialogs;

    ProgramFormPtr makeForm(const std::string& file = moduleFile)
    {
        return ProgramFormPtr(TfrmVozuraz::Create<ProgramTestForm>(file));
    }
    // A form made and started as the controller does it.
    ProgramFormPtr startedForm(const Variant& params = startParams())
    {
        ProgramFormPtr form = makeForm();
        form->brokers().setHostObject(hostObject());
        EXPECT_TRUE(form->PrepareProgram(params));
        return form;
    }
    std::vector<QString> shownTexts() const
    {
        std::vector<QString> texts;
        for (const MessageDialog& box : dialogs->shownMessages())
            texts.push_back(box.text.trimmed());
        return texts;
    }
};

TEST_F(ProgramFormTest, StartBuildsTheCaptionAndLoadsRightsParametersAndDatesAndAnEmptyRightsTextWarns)
{
    ProgramFormPtr form = startedForm();
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8(u8"客户订单录入作业[演示公司]"));

    CommandSet expected = TfrmVozuraz::RightsCommands(",Y,Y,YYYYYYYYYYYY,YYYYYYY,YYYYYYY");
    EXPECT_EQ(form->commandSet(), expected);
    EXPECT_EQ(form->groupList(), "'ADMIN'");
    EXPECT_EQ(form->brokers().userGroup(), "ADMIN");
    EXPECT_EQ(form->brokers().ProgramParameter("M11_TABLE"), "COPTC");
    EXPECT_EQ(form->dateStyle(), 1);
    EXPECT_EQ(form->dataModule()->DateSeparator(), "/") << "the date format reaches the data module";
    EXPECT_EQ(form->sqlType(), 1) << "SQLite";
    EXPECT_EQ(form->langType(), "CHS");
    EXPECT_TRUE(form->converted());

    form->ParseRights("", "'SALES'");
    EXPECT_EQ(form->commandSet(), TfrmVozuraz::noRightsCommands());
    EXPECT_EQ(form->groupList(), "'SALES'");
    EXPECT_EQ(shownTexts(), std::vector<QString>{QString::fromUtf8(u8"您没有使用本程序的权限!")});
}

TEST_F(ProgramFormTest, OnABigFiveInterfaceTheCaptionIsTheDictionaryProgramNameAsItIsAndTheServerTextConverted)
{
    const InstallationCodePage installation(text::CodePage::Big5);
    tables = LanguageTables::load(ORVANE_LANGUAGE_FILE);
    const std::filesystem::path client = folder_ / "client";
    std::ofstream(client / "OrvaneC.ini") << "[Server Information]\nComputerName=127.0.0.1\nServerPort=211\n"
                                             "[Client Components]\nLangType=CHT\n[CodePage]\nUICodePage=950\n";
    std::filesystem::create_directories(client / "C_DATA");
    saveDictionaryFile(
        client / "C_DATA" / "DDOBJCHT.cds",
        textPacket(objectColumns, {{"CHT", "Programs", "TAVI52", "", "Caption", big5("客戶訂單錄入作業").c_str()}}));
    ProgramFormPtr form = startedForm();
    // The company's title text comes from the server in GB (data code page 936).
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8(u8"客戶訂單錄入作業[演示公司]"));

    // Each error text is converted once: the server's from GB, the client's own words not at all.
    dialogs->clear();
    form->ShowServerMessage(gbk("客户订单"));
    form->ShowInterfaceMessage(big5("客戶訂單"));
    launcher.answer = -1;
    form->RunOtherProgram("TAVI52", "");
    EXPECT_EQ(shownTexts(), (std::vector<QString>{QString::fromUtf8(u8"客戶訂單"), QString::fromUtf8(u8"客戶訂單"),
                                                  QString::fromUtf8(u8"[客戶訂單錄入作業]程序不存在!")}));
}

TEST_F(ProgramFormTest, ShortStartParametersWarnQueueACloseAndStillStartUnlessTheShellWindowIsMissing)
{
    {
        ProgramFormPtr broken = makeForm();
        broken->brokers().setHostObject(hostObject());
        EXPECT_TRUE(contains(errorOf([&] {
                                 broken->PrepareProgram(Variant::arrayOf({"ZT", "PRTest50", "PRTest50"}));
                             }),
                             "start parameter 3 (shell window)"));
        EXPECT_TRUE(contains(errorOf([&] { broken->PrepareProgram(Variant("ZT")); }), "start parameters"));
    }
    QCoreApplication::processEvents();
    dialogs->clear();
    ProgramFormPtr form = makeForm();
    int closes = 0;
    form->OnClose = [&](QObject*, CloseAction&) { ++closes; };
    form->brokers().setHostObject(hostObject());
    EXPECT_TRUE(form->PrepareProgram(Variant::arrayOf({"ZT", "PRTest50", "PRTest50", 0})));
    ASSERT_EQ(shownTexts().size(), 1u);
    EXPECT_EQ(shownTexts()[0], QString::fromUtf8(u8"程序启动参数不足!"));
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8(u8"客户订单录入作业[演示公司]"));
    EXPECT_EQ(closes, 0) << "the close is posted, not run during the start";
    QCoreApplication::processEvents();
    EXPECT_EQ(closes, 1);
}

TEST_F(ProgramFormTest, LaunchErrorsNameTheProgramAndSuccessShowsNothing)
{
    ProgramFormPtr form = startedForm();
    const std::pair<int, std::vector<QString>> cases[] = {
        {-1, {QString::fromUtf8(u8"[客户订单录入作业]程序不存在!")}},
        {-8, {QString()}},
        {5, {}},
    };
    for (const auto& [code, texts] : cases) {
        dialogs->clear();
        launcher.answer = code;
        EXPECT_EQ(form->RunOtherProgram("TAVI52", "TC001='2201'"), code);
        EXPECT_EQ(shownTexts(), texts) << code;
        EXPECT_EQ(launcher.started.back(), "TAVI52");
    }
    // A program the company does not list (the report program of a print) is named by its identifier.
    dialogs->clear();
    launcher.answer = -1;
    form->RunOtherProgram("TAVR26", "");
    EXPECT_EQ(shownTexts(), std::vector<QString>{QString::fromUtf8(u8"[TAVR26]程序不存在!")});
    std::string name = "kept?";
    form->ProgramName("NOSUCH", name);
    EXPECT_EQ(name, "");
    form->ProgramName("X' OR '1'='1", name);
    EXPECT_EQ(name, "") << "a quote never reaches the query text";
}

TEST_F(ProgramFormTest, ControlsAskForLookupsByEventAndKeyF1ForTheProgramsTopicAndEnterMovesOnExceptInGrids)
{
    ProgramFormPtr form = startedForm();
    auto* edit = new QLineEdit(form.get());
    LookupRequestEvent request(LookupRequestEvent::F2Request, edit);
    QCoreApplication::sendEvent(form.get(), &request);
    auto* gone = new QLineEdit(form.get());
    auto* late = new LookupRequestEvent(LookupRequestEvent::F4Request, gone);
    delete gone;
    QCoreApplication::postEvent(form.get(), late);
    QCoreApplication::processEvents();
    QTest::keyClick(edit, Qt::Key_F2);
    ASSERT_EQ(form->lookups.size(), 3u);
    EXPECT_EQ(form->lookups[0], std::make_pair(113, static_cast<QWidget*>(edit)));
    EXPECT_EQ(form->lookups[1], std::make_pair(115, static_cast<QWidget*>(nullptr)));
    EXPECT_EQ(form->lookups[2].first, 113) << "a key a control ignores is previewed once";

    QTest::keyClick(form.get(), Qt::Key_F1);
    ASSERT_EQ(launcher.helpTopics.size(), 1u);
    EXPECT_EQ(launcher.helpTopics[0], Variant::arrayOf({"TAV", "11520000"}));
    form->brokers().setProgramId("TAVB14");
    QTest::keyClick(form.get(), Qt::Key_F1);
    EXPECT_EQ(launcher.helpTopics.size(), 1u) << "no help family for letter B";

    // Enter moves to the next control, except in grids.
    auto* first = new QLineEdit(form.get());
    auto* second = new QLineEdit(form.get());
    auto* grid = new QTableWidget(2, 2, form.get());
    form->layout()->addWidget(first);
    form->layout()->addWidget(second);
    form->layout()->addWidget(grid);
    form->show();
    QApplication::setActiveWindow(form.get());
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_EQ(form->focusWidget(), second);

    // Rolling keys: Enter goes down before the digit comes up. The window system builds each press in
    // the same place, so two presses with no release between them share an address.
    first->setFocus();
    std::optional<QKeyEvent> press;
    press.emplace(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QStringLiteral("1"));
    QApplication::sendEvent(first, &*press);
    press.emplace(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(first, &*press);
    press.emplace(QEvent::KeyPress, Qt::Key_5, Qt::NoModifier, QStringLiteral("5"));
    QApplication::sendEvent(form->focusWidget(), &*press);
    EXPECT_EQ(first->text(), QStringLiteral("1"));
    EXPECT_EQ(second->text(), QStringLiteral("5"));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(form->focusWidget(), grid);
}

TEST_F(ProgramFormTest, StandAloneStartUsesTheRegisteredHostClassOrWithoutItShowsWhyAndClosesAtFirstPaint)
{
    AutomationRegistry::instance().registerClass("TalvexWorkCenter.Manager", [this] { return DispatchPtr(host); });
    ProgramFormPtr started = makeForm("/opt/orvane/tavi52");
    AutomationRegistry::instance().unregisterClass("TalvexWorkCenter.Manager");
    EXPECT_FALSE(started->closeOnPaint());
    EXPECT_EQ(started->windowTitle(), QString::fromUtf8(u8"客户订单录入作业[演示公司]"));
    EXPECT_EQ(started->brokers().userId(), "ZT");
    EXPECT_EQ(started->startData().highBound(), 3);
    EXPECT_TRUE(started->hasCommand(59));
    EXPECT_TRUE(shownTexts().empty());

    ProgramFormPtr form = makeForm("/opt/orvane/tavi52");
    EXPECT_TRUE(form->closeOnPaint());
    ASSERT_EQ(shownTexts().size(), 1u);
    EXPECT_TRUE(shownTexts()[0].contains("TalvexWorkCenter.Manager")) << shownTexts()[0].toStdString();
    int closes = 0;
    form->OnClose = [&](QObject*, CloseAction&) { ++closes; };
    form->show();
    QPaintEvent paint(form->rect());
    QCoreApplication::sendEvent(form.get(), &paint);
    QCoreApplication::sendEvent(form.get(), &paint);
    EXPECT_EQ(closes, 0) << "the close is queued, not run inside the paint";
    QCoreApplication::processEvents();
    EXPECT_EQ(closes, 1) << "one close for any number of paints";
}

} // namespace
} // namespace orvane::test
