// The sign-off workflow on the test document window, offscreen over the real embedded server
// and the operator's real command: sending refuses a queued document, the history window
// follows the operator's approvals (two passes of three branches fill six rows) and saves as a
// text file, the commands follow the switch and the sign-off status, and the server refuses
// forged job records.
#include "framework/DocumentWindow.h"

#include "framework/FVLInfo.h"
#include "framework/SetVLINFO.h"
#include "support/Contains.h"
#include "support/JobRecord.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>

#include <algorithm>

namespace orvane::test {
namespace {

// Records the files the window asks the desktop to open.
class OpenedFiles : public QObject {
    Q_OBJECT
public:
    OpenedFiles() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~OpenedFiles() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    std::vector<std::string> files;

public slots:
    void open(const QUrl& url) { files.push_back(url.toLocalFile().toStdString()); }
};

class WorkflowTest : public DocumentWindowTest {
protected:
    // The window with the switch on and TC048 as the sign-off status, on a new document of
    // type 2201 (whose flow has two passes of three branches).
    FormPtr sentForm()
    {
        FormPtr form = started();
        form->resize(1600, 600); // room on the toolbar for every button
        form->SignOffField = "TC048";
        form->brokers().SetSystemParameter("SYS060", "Y");
        savedDocument(*form);
        dialogs->clear();
        return form;
    }
    // The operator's command on the server's database; its output.
    // Its output, and its errors after a refusal (exit code 1).
    std::string admin(const QStringList& arguments, int exitCode = 0)
    {
        const std::filesystem::path config = folder_ / "OrvaneS.ini";
        writeFile(config, "[Database]\nPath=" + folder_.string() + "\n[Log]\nFile=admin.log\n");
        QProcess process;
        process.start(QStringLiteral(ORVANE_ADMIN),
                      QStringList{"--config", QString::fromStdString(config.string()), "--company", "PRTest50"} +
                          arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        const std::string errors = process.readAllStandardError().toStdString();
        EXPECT_EQ(process.exitCode(), exitCode) << errors;
        return process.readAllStandardOutput().toStdString() + errors;
    }
    // The history window's rows as the view command shows them, each row's cells joined by "|".
    std::vector<std::string> history(DocumentForm& form, std::function<void(TfrmVLInfo&)> more = {})
    {
        std::vector<std::string> rows;
        onWindow<TfrmVLInfo>(dialogs, [&](TfrmVLInfo& window) {
            for (int row = 0; row < window.StringGrid1->rowCount(); ++row) {
                std::string cells;
                for (int column = 0; column < TfrmVLInfo::columnCount; ++column)
                    cells += (column ? "|" : "") + window.StringGrid1->item(row, column)->text().toStdString();
                rows.push_back(cells);
            }
            if (more)
                more(window);
        });
        form.miViewVeltra->trigger();
        return rows;
    }
    std::string status(const DocumentForm& form) const
    {
        return form.doubleModule()->cdsMain.fieldByName("TC048").asString();
    }
};

TEST_F(WorkflowTest, AQueuedDocumentIsRefusedAndTheOperatorsApprovalsFillTheHistory)
{
    FormPtr sent = sentForm();
    const std::string key = sent->documentKey();

    EXPECT_TRUE(history(*sent).empty());
    ASSERT_EQ(dialogs->shownMessages().size(), 1u) << "a document never sent has no history";
    EXPECT_TRUE(shown("取签核信息失败 !"));
    EXPECT_TRUE(shown("这张单据没有签核记录!")) << "the system's message, not the server's own words";

    dialogs->clear();
    onWindow<TfrmSetVLINFO>(dialogs, [](TfrmSetVLINFO& send) {
        send.ed02->setText(QStringLiteral("S002"));
        send.cbo01->setCurrentIndex(1);
        send.btnOK->click();
    });
    sent->miGoConfirm->trigger();
    EXPECT_EQ(status(*sent), "S") << "the server marked the document with its job";
    ASSERT_EQ(dialogs->shownMessages().size(), 1u) << "I 200007";
    EXPECT_EQ(history(*sent).size(), 3u) << "the first pass's three branches, pending";

    dialogs->clear();
    EXPECT_FALSE(sent->SendToWorkflow(TfrmDouble::modeConfirm));
    ASSERT_EQ(dialogs->shownMessages().size(), 1u);
    EXPECT_TRUE(shown("签核队列")) << "E 200130, before any dialog";

    EXPECT_TRUE(contains(admin({"--approve", QString::fromStdString(key)}), "pass 1 of 2"));
    std::vector<std::string> rows = history(*sent);
    ASSERT_EQ(rows.size(), 6u) << "two passes, three branches each";
    EXPECT_TRUE(rows[0].starts_with("1|1|1|")) << rows[0];
    EXPECT_TRUE(rows[5].starts_with("6|2|3|")) << rows[5];
    EXPECT_TRUE(contains(rows[1], reinterpret_cast<const char*>(u8"同意")));
    EXPECT_TRUE(contains(rows[4], reinterpret_cast<const char*>(u8"待签核")));

    // The last approval confirms: only while the customer's credit allows it, as a direct confirmation.
    const auto credit = [&](const char* method) {
        companyDatabase()->execute(
            "UPDATE \"PRTest50\".COPMA SET MA037 = 'Y', MA040 = ?, MA031 = 0, MA034 = 1000000 WHERE MA001 = 'C001'",
            {Variant(method)});
    };
    credit("3");
    EXPECT_TRUE(contains(admin({"--approve", QString::fromStdString(key), "--by", "ZT"}, 1), "C001"));
    credit("2"); // a warning only
    // Nor with an exchange rate that would count the order for nothing in the customer's open amount.
    // The document was saved without one.
    EXPECT_TRUE(contains(admin({"--approve", QString::fromStdString(key), "--by", "ZT"}, 1), "exchange rate TC009"));
    companyDatabase()->execute("UPDATE \"PRTest50\".COPTC SET TC009 = 1");
    admin({"--approve", QString::fromStdString(key), "--by", "ZT"});
    sent->RunQuery();
    EXPECT_EQ(status(*sent), "3") << "approved";
    EXPECT_EQ(sent->confirmCode(), "Y") << "the approved action confirmed the document";
    OpenedFiles opened;
    const std::string file = (folder_ / "history.txt").string();
    rows = history(*sent, [&](TfrmVLInfo& window) {
        onWindow<QFileDialog>(dialogs, [&](QFileDialog& save) {
            save.selectFile(QString::fromStdString(file));
            static_cast<QDialog&>(save).accept();
        });
        window.N1->trigger();
        EXPECT_FALSE(window.SaveToText(folder_.string())) << "a folder is no file";
    });
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_TRUE(contains(rows[5], "|ZT|")) << "signed by the operator's signer";
    EXPECT_EQ(std::ranges::count(readFile(file), '\n'), 7) << "the titles and six rows";
    EXPECT_EQ(opened.files, std::vector<std::string>{file});
    EXPECT_TRUE(admin({"--list"}).starts_with("0 job(s)")) << "the job has left the queue";

    // An approved unconfirmation is refused, as the direct one, once the order was transferred.
    onWindow<TfrmSetVLINFO>(dialogs, [](TfrmSetVLINFO& send) {
        send.ed02->setText(QStringLiteral("S002"));
        send.cbo01->setCurrentIndex(1);
        send.btnOK->click();
    });
    sent->miGoUnConfirm->trigger();
    companyDatabase()->execute("UPDATE \"PRTest50\".COPTC SET TC050 = 'Y'");
    admin({"--approve", QString::fromStdString(key)});
    EXPECT_TRUE(contains(admin({"--approve", QString::fromStdString(key), "--by", "ZT"}, 1), "transferred"));
}

TEST_F(WorkflowTest, TheCommandsFollowTheSwitchAndTheSignOffStatus)
{
    FormPtr form = sentForm();
    QApplication::processEvents(); // the toolbar lays its buttons out
    EXPECT_TRUE(form->btnVeltra->isVisibleTo(form.get()));
    EXPECT_TRUE(form->miGoConfirm->isEnabled() && form->miGoConfirm->isVisible());
    EXPECT_TRUE(form->miGoInvalid->isEnabled());
    EXPECT_FALSE(form->miGoUnConfirm->isEnabled()) << "not confirmed";

    onWindow<TfrmSetVLINFO>(dialogs, [&](TfrmSetVLINFO& send) {
        EXPECT_EQ(send.focusWidget(), send.ed02) << "the contact first, the urgency mostly left normal";
        send.ed02->clear();
        send.btnOK->click();
        EXPECT_TRUE(send.isVisible()) << "E 000003: a contact is needed";
        send.ed02->setText(QStringLiteral("NOBODY"));
        send.btnOK->click();
        EXPECT_TRUE(send.isVisible()) << "E 000001: not a person of the workflow";
        EXPECT_EQ(dialogs->shownMessages().size(), 2u);
        send.ed02->setText(QStringLiteral("ZT"));
        send.btnOK->click();
    });
    form->miGoInvalid->trigger();
    EXPECT_EQ(status(*form), "S");
    EXPECT_FALSE(form->miGoConfirm->isVisible()) << "the button drops its menu down instead";
    EXPECT_FALSE(form->miGoInvalid->isEnabled());
    EXPECT_TRUE(form->miViewVeltra->isEnabled());
    const std::string commands = enabling(*form);
    EXPECT_EQ(commands.substr(2, 2) + commands.substr(9), "-----")
        << "no edit, delete or direct confirmation while in sign-off";

    admin({"--return", QString::fromStdString(form->documentKey())});
    form->RunQuery();
    EXPECT_EQ(status(*form), "2");
    EXPECT_TRUE(form->miGoInvalid->isEnabled()) << "a returned document may be sent again";

    form->AddRecord(true);
    EXPECT_FALSE(form->miGoConfirm->isEnabled()) << "not while adding";
    form->CancelRecord(false);
    form->brokers().SetSystemParameter("SYS060", "N");
    form->ApplyRights();
    QApplication::processEvents();
    EXPECT_FALSE(form->btnVeltra->isVisibleTo(form.get()));
    EXPECT_FALSE(form->SendToWorkflow(TfrmDouble::modeConfirm));
}

TEST_F(WorkflowTest, ANewDocumentOfATypeInSignOffIsSentWhenSavedInsteadOfConfirmed)
{
    FormPtr form = started();
    form->SignOffField = "TC048";
    form->AutoConfirm = 1;
    form->brokers().SetSystemParameter("SYS060", "Y");
    addDocument(*form, "X");
    onWindow<TfrmSetVLINFO>(dialogs, [](TfrmSetVLINFO& send) { send.btnOK->click(); });
    ASSERT_TRUE(form->SaveRecord());
    showDocument(*form);
    EXPECT_EQ(status(*form), "S") << "sent under the server's number";
    EXPECT_NE(form->confirmCode(), "Y") << "not confirmed at once";
}

TEST_F(WorkflowTest, TheServerRefusesForgedJobRecords)
{
    FormPtr form = sentForm();
    const auto answer = [&](std::vector<std::pair<std::size_t, std::string>> changes) {
        std::vector<Variant> record = orderJobRecord("3", "2201", form->NewNumber);
        for (const auto& [index, value] : changes)
            record[index] = value;
        Variant result;
        form->brokers().RemoteCall("INSERTVLJOB", Variant::arrayOf({Variant::arrayOf(std::move(record))}), result);
        return result.toIntegerOrZero();
    };
    EXPECT_EQ(answer({{4, "SYS_USER"}}), 1) << "a system table";
    EXPECT_EQ(answer({{9, "TC048 = 'S', TC027"}}), 1) << "not a column";
    EXPECT_EQ(answer({{7, "2201,OTHER"}}), 1) << "values other than the key's";
    EXPECT_EQ(answer({{14, "OTHERDB"}}), 1) << "another company's database";
    EXPECT_EQ(answer({{1, "2299||" + form->NewNumber}, {7, "2299," + form->NewNumber}}), 2) << "a type without a flow";
    EXPECT_EQ(answer({}), 0) << "the same record, untouched, is queued";
    EXPECT_EQ(answer({}), 1) << "but only once";
}

} // namespace
} // namespace orvane::test

#include "WorkflowTest.moc"
