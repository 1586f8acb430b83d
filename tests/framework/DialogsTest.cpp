// The framework's small dialogs on real windows offscreen over the embedded server: the copy
// wizard (its key pairs and lookup buttons, a missing field, empty and unknown keys, a copy
// through the document form's copy command), the confirmation date (its keys, "$", the date
// check, a confirmation that carries the date when SYS025 asks), and a dialog's code check.
#include "framework/DocumentWindow.h"

#include "controls/F2Button.h"
#include "controls/MaskEdit.h"
#include "framework/ZtConfirmDate.h"
#include "framework/ZtCopy.h"
#include "support/Contains.h"
#include "support/LocalText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace orvane::test {
namespace {

// A document window that records the controls its F2 lookups were asked for.
class LookupRecordingForm : public DocumentForm {
public:
    void OpenF2Window(int& /*key*/, QWidget* control) override { lookups.push_back(control); }
    std::vector<QWidget*> lookups;
};

using DialogsTest = DocumentWindowTest;

TEST_F(DialogsTest, TheCopyWizardShowsOnePairPerKeyStopsAtAMissingFieldAndKeepsEmptyOrUnknownKeysOnItsFirstPage)
{
    FormPtr form = started();
    TdmDouble& module = *form->doubleModule();
    const auto setUp = [&](const char* fields) {
        WindowPtr<TfrmCopy> wizard(new TfrmCopy(*form));
        wizard->SetFields(module.cdsMain, module.dsMain, fields);
        return wizard;
    };
    const auto shown = [](const auto& controls) {
        std::string states;
        for (const QWidget* control : controls)
            states += control->isHidden() ? '-' : '+';
        return states;
    };
    EXPECT_EQ(shown(setUp("TC001")->btnDest).substr(0, 2), "+-") << "a single key has a lookup";
    WindowPtr<TfrmCopy> three = setUp("TC001,TC003,TC002");
    EXPECT_EQ(shown(three->btnDest).substr(0, 4), "++--") << "the last of several keys has none";
    EXPECT_TRUE(dialogs->shownMessages().empty());

    WindowPtr<TfrmCopy> missing = setUp("TC001,TC999,TC002");
    EXPECT_EQ(lastMessage().find("Error happend in ZtCopy"), 0u) << lastMessage();
    EXPECT_EQ(shown(missing->edSource).substr(0, 3), "+--") << "the pairs before the missing field stay";
    EXPECT_EQ(missing->lblDest[0]->text(), three->lblDest[0]->text());

    const std::string current = form->doubleModule()->cdsMain.fieldByName("TC002").asString();
    onWindow<TfrmCopy>(dialogs, [&](TfrmCopy& wizard) {
        QTest::keyClicks(wizard.edSource[0], QStringLiteral("2202"));
        EXPECT_EQ(wizard.edSource[0]->text(), QStringLiteral("2202")) << "typing replaces the current key";
        wizard.edSource[0]->clear();
        wizard.BBOK->click();
        EXPECT_EQ(wizard.pgCopy->currentWidget(), wizard.tbsSource);
        EXPECT_TRUE(contains(lastMessage(), "不可空白 !"));
        EXPECT_EQ(wizard.focusWidget(), wizard.edSource[0]);

        wizard.edSource[0]->setText(QStringLiteral("2201"));
        wizard.edSource[1]->setText(QStringLiteral("NOSUCH"));
        wizard.BBOK->click();
        EXPECT_EQ(wizard.pgCopy->currentWidget(), wizard.tbsSource);
        EXPECT_TRUE(contains(lastMessage(), "不存在")) << "E 000001";
    });
    form->CopyRecord();
    EXPECT_EQ(form->recordMode(), RecordMode::Browse);
    EXPECT_EQ(form->doubleModule()->cdsMain.fieldByName("TC002").asString(), current) << "back on the document";
}

TEST_F(DialogsTest, TheCopyCommandMakesANewDocumentWithTheSourcesLines)
{
    WindowPtr<LookupRecordingForm> form = started<LookupRecordingForm>();
    savedDocument(*form);
    const std::string source = form->NewNumber;
    form->SetConfirmState(TfrmDouble::modeVoid, 0); // a void source still makes an open copy
    form->RunQuery();
    TdmDouble& module = *form->doubleModule();

    onWindow<TfrmCopy>(dialogs, [&](TfrmCopy& wizard) {
        EXPECT_EQ(wizard.edSource[1]->text().toStdString(), source);
        EXPECT_EQ(wizard.focusWidget(), wizard.edSource[0]) << "typing starts in the first key";
        wizard.BBOK->click();
        ASSERT_EQ(wizard.pgCopy->currentWidget(), wizard.tbsDest);
        EXPECT_EQ(wizard.focusWidget(), wizard.edDest[0]);
        retype(*wizard.edDest[0], QStringLiteral("2201"));
        QTest::keyClick(wizard.edDest[0], Qt::Key_Return);
        EXPECT_EQ(wizard.focusWidget(), wizard.edDest[1]) << "Enter moves on";
        QTest::keyClick(wizard.edDest[1], Qt::Key_Up);
        EXPECT_EQ(wizard.focusWidget(), wizard.edDest[0]) << "Up moves back";
        QTest::keyClick(wizard.edDest[0], Qt::Key_F2);
        wizard.btnDest[0]->click();
        EXPECT_EQ(form->lookups, (std::vector<QWidget*>{wizard.edDest[0], wizard.edDest[0]})) << "the owner's lookups";
        wizard.edDest[1]->setFocus();
        dialogs->clear();
        wizard.BBOK->click();
        EXPECT_TRUE(wizard.isVisible()) << "the new number is empty";
        EXPECT_TRUE(contains(lastMessage(), "不可空白 !"));
        QTest::keyClicks(wizard.edDest[1], QStringLiteral("Y"));
        wizard.BBOK->click();
        EXPECT_FALSE(wizard.isVisible());
    });
    form->CopyRecord();
    ASSERT_EQ(form->recordMode(), RecordMode::Add);
    EXPECT_EQ(module.cdsMain.fieldByName("TC004").asString(), "C001");
    EXPECT_EQ(module.cdsMain.fieldByName("TC027").asString(), "N");
    EXPECT_EQ(module.cdsMain.fieldByName("TC002").asString(), "Y") << "the key typed on page two";
    ASSERT_EQ(module.cdsBody1.recordCount(), 2);
    module.cdsBody1.last();
    EXPECT_EQ(module.cdsBody1.fieldByName("TD004").asString(), "A200");
    EXPECT_EQ(module.cdsBody1.fieldByName("TD003").asString(), "0002") << "numbered anew";

    ASSERT_TRUE(form->SaveRecord());
    const std::string copy = form->NewNumber;
    EXPECT_NE(copy, source);
    showDocument(*form, copy);
    EXPECT_EQ(module.cdsBody1.recordCount(), 2) << "the copy's lines were saved with it";

    // Given up once its source was read, the copy leaves the document shown before current again.
    form->lastCondition = "TC001 = '2201'";
    form->RunQuery();
    ASSERT_TRUE(module.cdsMain.locate("TC002", Variant(copy)));
    onWindow<TfrmCopy>(dialogs, [&](TfrmCopy& wizard) {
        wizard.edSource[1]->setText(QString::fromStdString(source));
        wizard.BBOK->click();
        wizard.BBCancel->click();
    });
    form->CopyRecord();
    EXPECT_EQ(form->recordMode(), RecordMode::Browse);
    EXPECT_EQ(module.cdsMain.fieldByName("TC002").asString(), copy);
    EXPECT_GT(module.cdsMain.recordCount(), 1) << "among the last query's documents";
}

TEST_F(DialogsTest, TheConfirmationDateTakesDigitsAndDollarAndIsCarriedWhenSys025AsksForIt)
{
    FormPtr form = started();
    form->brokers().SetSystemParameter("SYS025", "Y");
    onWindow<TZtConfirmDateForm>(dialogs, [](TZtConfirmDateForm& dialog) { dialog.btnCancel->click(); });
    form->SetConfirmState(TfrmDouble::modeConfirm, 1);
    EXPECT_EQ(form->confirmCode(), "N") << "a cancelled date confirms nothing";

    onWindow<TZtConfirmDateForm>(dialogs, [&](TZtConfirmDateForm& dialog) {
        const std::string today = dialog.DateText(dialog.Today());
        EXPECT_EQ(dialog.edDate01->fieldText(), today) << "today to start with";
        QTest::keyClicks(dialog.edDate01, QStringLiteral("20250314"));
        EXPECT_EQ(dialog.edDate01->fieldText(), "2025/03/14") << "digits typed at once replace today";
        retype(*dialog.edDate01, QStringLiteral("2025a0b315"));
        EXPECT_EQ(dialog.edDate01->fieldText(), "2025/03/15") << "letters are dropped, separators stay";
        QTest::keyClick(dialog.edDate01, Qt::Key_Delete);
        EXPECT_EQ(dialog.edDate01->fieldText(), "2025/03/15") << "Delete is ignored";
        QTest::keyClicks(dialog.edDate01, QStringLiteral("$"));
        EXPECT_EQ(dialog.edDate01->fieldText(), today);

        retype(*dialog.edDate01, QStringLiteral("20251399"));
        dialogs->clear();
        leave(*dialog.edDate01);
        EXPECT_TRUE(contains(lastMessage(), "日期格式错误")) << "E 000005";
        EXPECT_EQ(dialog.focusWidget(), dialog.edDate01);

        retype(*dialog.edDate01, QString());
        dialog.btnOK->click();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(contains(lastMessage(), "[审核日期]不可空白")) << "E 000003";

        retype(*dialog.edDate01, QStringLiteral("20250316"));
        QTest::keyClick(dialog.edDate01, Qt::Key_Return);
        ASSERT_EQ(dialog.focusWidget(), dialog.btnOK);
        QTest::keyClick(dialog.btnOK, Qt::Key_Return); // the keyboard alone confirms
        EXPECT_EQ(dialog.date(), "20250316");
    });
    form->SetConfirmState(TfrmDouble::modeConfirm, 1);
    EXPECT_EQ(form->confirmCode(), "Y") << "confirmed on the server with the date";
    form->SetConfirmState(TfrmDouble::modeUnConfirm, 0);
    EXPECT_EQ(form->confirmCode(), "N") << "unconfirming asks no date";
}

// A dialog with one labelled code edit.
class CodeDialog : public TfrmZtDialog {
public:
    explicit CodeDialog(TfrmVozuraz& owner) : TfrmZtDialog(owner)
    {
        auto* label = new QLabel(QStringLiteral("客户"), this);
        label->setBuddy(edit);
    }
    QLineEdit* edit = new QLineEdit(this);
};

TEST_F(DialogsTest, CheckCodeNamesTheEditsLabelWhenTheCodeIsMissing)
{
    FormPtr form = started();
    WindowPtr<CodeDialog> dialog(new CodeDialog(*form));
    EXPECT_EQ(dialog->LabelFor(dialog->edit), gbk("客户"));
    dialog->edit->setText(QStringLiteral("C001"));
    EXPECT_TRUE(dialog->CheckCode(*dialog->edit, "COPMA", "09", "E", Variant()));
    dialog->edit->setText(QStringLiteral("NOSUCH"));
    EXPECT_FALSE(dialog->CheckCode(*dialog->edit, "COPMA", "09", "E", Variant()));
    EXPECT_TRUE(contains(lastMessage(), "[客户]输入的代码不存在, 请重新输入"));
    EXPECT_FALSE(dialog->CheckCode(*dialog->edit, "COPMA", "09", "W", Variant()));
    EXPECT_TRUE(contains(lastMessage(), "是否继续")) << "W 000004";
}

} // namespace
} // namespace orvane::test
