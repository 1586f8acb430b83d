// A small document window on the framework's record and document forms (order heads and lines
// of the demonstration company, not the order program), driven offscreen over the real embedded
// server: the command enabling of the record, single and document forms, required fields with
// the focus, the focused edit written by a save, the lines of a browsed document taking no typing,
// documents numbered by the server, two clerks adding at once, the closing date, voiding and
// deleting, Escape, and the grid layouts kept between two windows.
#include "framework/DocumentWindow.h"

#include "controls/DBGrid.h"
#include "controls/DataSetModel.h"
#include "framework/ZtQBE.h"
#include "platform/data/SilentAbort.h"
#include "shell/DocumentStoreClient.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace orvane::test {
namespace {

using DocumentFormTest = DocumentWindowTest;

TEST_F(DocumentFormTest, CommandsFollowTheModeTheRightsTheMaskAndTheConfirmation)
{
    FormPtr form = started();
    TdmDouble& module = *form->doubleModule();
    form->PrintProgramID = "TAVR26";
    form->ApplyRights();
    EXPECT_EQ(enabling(*form), "+++++++--+-+") << "browsing the demo order, not confirmed";
    EXPECT_TRUE(form->ImgConfirm->pixmap().isNull()) << "no picture";

    form->OpenDataSet(module.cdsMain, "1=2", "");
    EXPECT_EQ(enabling(*form), "++----------") << "an empty head: add and query only";

    form->AddRecord(true);
    EXPECT_EQ(enabling(*form), "-------++---") << "adding";
    EXPECT_EQ(form->pgHead->currentIndex(), 0);
    EXPECT_EQ(QApplication::focusWidget(), form->edits[0]) << "the first edit control for add";
    form->CancelRecord(false);

    form->RunQuery();
    form->CommandMask &= ~TfrmBase::cmDelete;
    form->ApplyRights();
    EXPECT_EQ(enabling(*form), "+++-+++--+-+") << "not confirmed, no delete in the mask";

    // Another user's record of another group: editable only with the others' edit bit (F5, 1).
    form->brokers().setUserId("SALES01");
    form->ParseRights(",Y,Y,YYYYYYYYYYYY,YYYYYYY,NNNNNNN", "'SALES'");
    form->AfterRecordChange(module.cdsMain);
    EXPECT_FALSE(form->btnEdit->isEnabled());
    form->ParseRights(",Y,Y,YYYYYYYYYYYY,YYYYYYY,YNNNNNN", "'SALES'");
    form->AfterRecordChange(module.cdsMain);
    EXPECT_TRUE(form->btnEdit->isEnabled());
    form->ParseRights(",Y,Y,YYYYYYYYYYYY,NNNNNNN,NNNNNNN", "'ADMIN'");
    form->AfterRecordChange(module.cdsMain);
    EXPECT_FALSE(form->btnEdit->isEnabled()) << "the group's bits when the record's group is the user's";
}

TEST_F(DocumentFormTest, ARequiredFieldRefusesThePostAndTakesTheFocusAndAPickListLookupGivesItBack)
{
    FormPtr form = started();
    form->AddRecord(true);
    typeAndEnter(*form->edits[0], QStringLiteral("2201"));
    EXPECT_THROW(form->doubleModule()->cdsMain.post(), SilentAbort);
    EXPECT_EQ(dialogs->shownMessages().size(), 1u) << "E 000003 with the customer's label";
    EXPECT_EQ(QApplication::focusWidget(), form->edits[3]) << "the customer's edit";

    Field& customer = form->doubleModule()->cdsMain.fieldByName("TC004");
    customer.onSetText = form->doubleModule()->setText(&FieldTextFormats::CustomerFieldSetText);
    typeAndEnter(*form->edits[3], QStringLiteral("C0")); // on to the lines, then the lookup of "C0"
    EXPECT_EQ(QApplication::focusWidget(), form->edits[3]);
}

// F12 and the OK button leave the focus in the edit: the save writes what it holds first, and
// stops when the field's check refuses it.
TEST_F(DocumentFormTest, SavingWritesTheFocusedEditFirstAndStopsWhenItsCheckRefuses)
{
    FormPtr form = started();
    addDocument(*form, "X");
    form->doubleModule()->cdsMain.fieldByName("TC004").onValidate = [](Field& field) {
        if (field.asString() == "C999")
            abortSilently();
    };
    retype(*form->edits[3], QStringLiteral("C999"));
    EXPECT_FALSE(form->SaveRecord());
    EXPECT_EQ(form->recordMode(), RecordMode::Add);
    EXPECT_TRUE(form->NewNumber.empty()) << "nothing sent";
    retype(*form->edits[3], QStringLiteral("C002"));
    ASSERT_TRUE(form->SaveRecord());
    showDocument(*form);
    EXPECT_EQ(form->doubleModule()->cdsMain.fieldByName("TC004").asString(), "C002");
}

TEST_F(DocumentFormTest, DollarInAHeadDateTypesTodayWrittenAsTheDateIsLeft)
{
    FormPtr form = started();
    addDocument(*form, "X");
    Field& day = form->doubleModule()->cdsMain.fieldByName("TC039");
    day.onSetText = form->doubleModule()->setText(&FieldTextFormats::DateFieldSetText);
    day.setEditMask(form->doubleModule()->DateFieldEditMask());
    form->edits[2]->setFocus();
    QTest::keyClicks(form->edits[2], QStringLiteral("$"));
    leave(*form->edits[2]);
    EXPECT_EQ(day.asString(), form->Today());
}

TEST_F(DocumentFormTest, ABrowsedDocumentTakesNoTypingInItsHeadOrLines)
{
    FormPtr form = started();
    TdmDouble& module = *form->doubleModule();
    ASSERT_GT(module.cdsBody1.recordCount(), 0);
    DataSetModel& model = form->gdBody1->dataModel();
    const QModelIndex quantity = model.index(0, model.columnOf(module.cdsBody1.findField("TD008")));
    form->gdBody1->setFocus();
    form->gdBody1->setCurrentIndex(quantity);
    QTest::keyClicks(form->gdBody1, QStringLiteral("7"));
    EXPECT_FALSE(model.flags(quantity).testFlag(Qt::ItemIsEditable));
    EXPECT_FALSE(model.setData(quantity, QStringLiteral("7")));
    EXPECT_EQ(module.cdsBody1.state(), DataSetState::Browse);
    EXPECT_EQ(module.cdsMain.state(), DataSetState::Browse) << "nothing for another document's save to carry";
    typeAndEnter(*form->edits[3], QStringLiteral("C002"));
    EXPECT_EQ(module.cdsMain.state(), DataSetState::Browse) << "the head's edits take no typing either";

    ASSERT_TRUE(form->EditRecord());
    EXPECT_TRUE(model.setData(quantity, QStringLiteral("7")));
    EXPECT_EQ(module.cdsBody1.fieldByName("TD008").asFloat(), 7.0);
}

TEST_F(DocumentFormTest, AClerkRefusedForAnotherClerksChangeSeesItOnCancelAndCanEditAgain)
{
    FormPtr clerkA = started();
    savedDocument(*clerkA);
    FormPtr clerkB = started();
    showDocument(*clerkB, clerkA->NewNumber);
    const auto remark = [](DocumentForm& form, const char* text) {
        ASSERT_TRUE(form.EditRecord());
        form.doubleModule()->cdsMain.fieldByName("TC015").setAsString(text);
    };
    remark(*clerkA, "from A");
    ASSERT_TRUE(clerkA->SaveRecord());

    remark(*clerkB, "from B");
    dialogs->clear();
    EXPECT_FALSE(clerkB->SaveRecord()) << "A's remark is kept";
    EXPECT_TRUE(shown("changed by another user")) << lastMessage();
    clerkB->CancelRecord(false);
    EXPECT_EQ(clerkB->doubleModule()->cdsMain.fieldByName("TC015").asString(), "from A")
        << "after cancelling, the window shows the order as it is stored";
    remark(*clerkB, "from B");
    EXPECT_TRUE(clerkB->SaveRecord()) << lastMessage();

    // A delete refused the same way shows the order as stored, and the next one deletes it.
    showDocument(*clerkA);
    remark(*clerkA, "from A again");
    ASSERT_TRUE(clerkA->SaveRecord());
    dialogs->clear();
    EXPECT_FALSE(clerkB->DeleteRecord(false));
    EXPECT_TRUE(shown("changed by another user")) << lastMessage();
    EXPECT_EQ(clerkB->doubleModule()->cdsMain.fieldByName("TC015").asString(), "from A again");
    EXPECT_TRUE(clerkB->DeleteRecord(false)) << lastMessage();
}

TEST_F(DocumentFormTest, AConfirmationOrVoidRefusedForAnotherClerksChangeShowsTheOrderAsStored)
{
    FormPtr clerkA = started();
    savedDocument(*clerkA);
    FormPtr clerkB = started();
    showDocument(*clerkB, clerkA->NewNumber);
    clerkA->SetConfirmState(TfrmDouble::modeVoid, 0);
    ASSERT_EQ(clerkA->confirmCode(), "V");

    dialogs->clear();
    clerkB->SetConfirmState(TfrmDouble::modeConfirm, 1);
    EXPECT_TRUE(shown("changed by another user")) << lastMessage();
    EXPECT_EQ(clerkB->confirmCode(), "V") << "B's window shows the order A voided";

    clerkA->SetConfirmState(TfrmDouble::modeUnVoid, 0);
    dialogs->clear();
    clerkB->SetConfirmState(TfrmDouble::modeUnVoid, 0);
    EXPECT_TRUE(shown("changed by another user")) << lastMessage();
    EXPECT_EQ(clerkB->confirmCode(), "N");
    clerkB->SetConfirmState(TfrmDouble::modeVoid, 0);
    EXPECT_EQ(clerkB->confirmCode(), "V") << "read again, B's next command goes through: " << lastMessage();
}

TEST_F(DocumentFormTest, ConfirmationRunsOnTheServerAndViewItemChecksTheItemsDocumentOut)
{
    FormPtr form = started();
    form->SetConfirmState(TfrmDouble::modeConfirm, 1);
    EXPECT_EQ(form->confirmCode(), "Y") << "the demo order, read again after the server confirmed it";
    EXPECT_TRUE(form->locked());
    EXPECT_FALSE(form->ImgConfirm->pixmap().isNull()) << "the CONFIRM picture";
    EXPECT_EQ(enabling(*form).substr(9), "-+-") << "only unconfirm";

    const std::filesystem::path documents = folder_ / "client" / "Temp" / "DMS";
    registerDocumentStoreClient(AutomationRegistry::instance(), server->createObject("OrvaneS.Services"), documents,
                                text::CodePage::Gbk);
    form->ViewItemField = "cdsBody1:TD004"; // the demo order's line holds item A100
    form->ViewItem();
    AutomationRegistry::instance().unregisterClass(DocumentStoreClient::classId);
    EXPECT_TRUE(std::filesystem::exists(documents) && !std::filesystem::is_empty(documents))
        << "the item's document checked out to open";
}

TEST_F(DocumentFormTest, TheClosingDateRefusesSavingEditingAndDeleting)
{
    FormPtr form = started();
    form->ClosingDateCheck = true;
    form->ClosingDate = "20250301";
    addDocument(*form, "X");
    dialogs->clear();
    EXPECT_FALSE(form->SaveRecord()) << "a document dated on the closing date";
    EXPECT_TRUE(form->SaveFailed);
    ASSERT_EQ(dialogs->shownMessages().size(), 1u);
    form->CancelRecord(false);

    form->ClosingDate = "20250201";
    form->RunQuery();
    EXPECT_FALSE(form->EditRecord()) << "the demo order of 20250120";
    EXPECT_FALSE(form->DeleteRecord(false));
}

// Voided through the menu item, whose check mark, set before the command runs, once read as "void".
TEST_F(DocumentFormTest, VoidingAndDeletingGoThroughTheServer)
{
    FormPtr form = started();
    savedDocument(*form);
    ASSERT_TRUE(form->miInvalid->isEnabled());
    dialogs->queueAnswer(DialogAnswer::Ok);
    form->miInvalid->trigger();
    EXPECT_EQ(form->confirmCode(), "V") << lastMessage();
    EXPECT_EQ(enabling(*form).substr(2), "--++------") << "void: locked, no confirmation command";
    EXPECT_FALSE(form->ImgConfirm->pixmap().isNull()) << "the INVALID picture";
    EXPECT_FALSE(form->EditRecord()) << "refused silently";
    // Nothing read again between the commands: each save leaves the window the server's FLAG.
    form->SetConfirmState(TfrmDouble::modeUnVoid, 0);
    EXPECT_EQ(form->confirmCode(), "N") << lastMessage();
    dialogs->queueAnswer(DialogAnswer::Ok);
    EXPECT_TRUE(form->DeleteRecord(true));
    form->RunQuery();
    EXPECT_TRUE(form->doubleModule()->cdsMain.isEmpty());
}

TEST_F(DocumentFormTest, HelpReachesTheFieldsAndTheGridsTopics)
{
    FormPtr form = started();
    form->edits[3]->setFocus();
    QTest::keyClick(form->edits[3], Qt::Key_F1);
    form->gdBody1->setFocus();
    form->gdBody1->setSelectedFieldName(QStringLiteral("TD004"));
    QTest::keyClick(form->gdBody1, Qt::Key_F1);
    ASSERT_EQ(launcher.helpTopics.size(), 2u);
    EXPECT_EQ(launcher.helpTopics[0], Variant::arrayOf({"TAV", "11521004"}));
    EXPECT_EQ(launcher.helpTopics[1], Variant::arrayOf({"TAV", "11522004"}));
}

// A window started on a document (start mode 7) shows it printable: the window works its commands out
// while it starts, before its tool bar laid its buttons out; the print button starts the print program.
TEST_F(DocumentFormTest, ADocumentShownAsTheWindowStartsCanBePrinted)
{
    FormPtr first = started();
    savedDocument(*first);
    const std::string condition = first->lastCondition;
    first.reset();
    FormPtr form(TfrmVozuraz::Create<DocumentForm>());
    form->brokers().setHostObject(hostObject());
    form->PrintProgramID = "TAVR26";
    ASSERT_TRUE(form->PrepareProgram(Variant::arrayOf({"ZT", "PRTest50", "PRTest50", 7, Variant(condition)})));
    form->show();
    ASSERT_FALSE(form->doubleModule()->cdsMain.isEmpty());
    ASSERT_TRUE(form->btnPrint->isEnabled());
    form->btnPrint->click();
    EXPECT_EQ(launcher.started, std::vector<std::string>{"TAVR26"}) << "the print program";
}

// A new document given up shows again the one shown before it, or the one saved just before it
// (the window used to be left empty).
TEST_F(DocumentFormTest, EscapeCancelsAnUntouchedAddOrEditAndClosesWhileBrowsing)
{
    FormPtr form = started();
    const Field& number = form->doubleModule()->cdsMain.fieldByName("TC002");
    const std::string shown = number.asString();
    form->AddRecord(true);
    QTest::keyClick(form->edits[0], Qt::Key_Escape);
    EXPECT_EQ(form->recordMode(), RecordMode::Browse);
    EXPECT_TRUE(dialogs->shownMessages().empty()) << "nothing typed, nothing asked";
    EXPECT_EQ(number.asString(), shown) << "the document shown before the new one";
    savedDocument(*form); // the last query holds this document alone
    addDocument(*form, "X");
    ASSERT_TRUE(form->SaveRecord());
    ASSERT_EQ(form->recordMode(), RecordMode::Add) << "the next document starts at once";
    QTest::keyClick(form->edits[0], Qt::Key_Escape);
    EXPECT_EQ(number.asString(), form->NewNumber) << "the document just saved, which the last query does not hold";
    EXPECT_EQ(form->doubleModule()->cdsBody1.recordCount(), 2) << "with its lines";
    dialogs->clear();
    ASSERT_TRUE(form->EditRecord());
    typeAndEnter(*form->edits[3], QStringLiteral("C001")); // the value it had
    QTest::keyClick(form->edits[0], Qt::Key_Escape);
    EXPECT_EQ(form->recordMode(), RecordMode::Browse);
    EXPECT_TRUE(dialogs->shownMessages().empty()) << "the edit's own stamps are nothing typed";
    ASSERT_TRUE(form->EditRecord());
    typeAndEnter(*form->edits[3], QStringLiteral("C002"));
    QTest::keyClick(form->edits[0], Qt::Key_Escape);
    EXPECT_EQ(dialogs->shownMessages().size(), 1u) << "a changed customer is asked about";
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());

    FormPtr other = started();
    other->AddRecord(true);
    other->gdBody1->setFocus();
    QTest::keyClick(other->gdBody1, Qt::Key_Down); // a new line
    ASSERT_EQ(other->doubleModule()->cdsBody1.state(), DataSetState::Insert);
    QTest::keyClick(other->gdBody1, Qt::Key_Escape);
    EXPECT_EQ(other->doubleModule()->cdsBody1.state(), DataSetState::Browse) << "the line is given up";
    EXPECT_EQ(other->recordMode(), RecordMode::Add) << "the document is not";
}

TEST_F(DocumentFormTest, EnterOrADoubleClickInTheBrowseGridOpensTheRowWithTheKeyboardOnItsPage)
{
    FormPtr form = started();
    savedDocument(*form);
    ClientDataSet& heads = form->doubleModule()->cdsMain;
    form->lastCondition.clear();
    form->RunQuery();
    heads.fetchAll();
    ASSERT_GE(heads.recordCount(), 2);
    const Field& number = heads.fieldByName("TC002");

    heads.last();
    const std::string last = number.asString();
    form->pgHead->setCurrentWidget(form->tbsBrowse);
    form->gdHead->setFocus();
    QTest::keyClick(form->gdHead, Qt::Key_Return);
    EXPECT_EQ(form->pgHead->currentWidget(), form->tbsHead1);
    EXPECT_EQ(number.asString(), last);
    EXPECT_EQ(QApplication::focusWidget(), form->edits[0]) << "not the hidden grid";

    form->pgHead->setCurrentWidget(form->tbsBrowse);
    heads.first();
    emit form->gdHead->doubleClicked(form->gdHead->model()->index(0, 0));
    EXPECT_EQ(form->pgHead->currentWidget(), form->tbsHead1);
    EXPECT_EQ(QApplication::focusWidget(), form->edits[0]);
}

// A query that finds nothing showed an empty window and nothing else.
TEST_F(DocumentFormTest, AQueryThatFindsNothingSaysSoAndLeavesAnEmptyBrowse)
{
    FormPtr form = started();
    onWindow<TQBEForm>(dialogs, [](TQBEForm& window) {
        window.findChild<QLineEdit*>(QStringLiteral("edKeyValue1"))->setText(QStringLiteral("NOSUCHTYPE"));
        window.BBOKClick();
    });
    ASSERT_TRUE(form->QueryRecords());
    EXPECT_TRUE(shown("没有任何符合的信息."));
    EXPECT_EQ(enabling(*form), "++----------") << "add and query only";
}

// Documents are numbered by the server, and a clerk whose number was taken is told his. F5 reads the
// query again; refresh while a document is typed threw the typing away.
TEST_F(DocumentFormTest, F5ShowsAnotherClerksNewDocumentAndRefreshKeepsADocumentBeingTyped)
{
    FormPtr clerkA = started();
    FormPtr clerkB = started();
    addDocument(*clerkA, "X");
    ASSERT_TRUE(clerkA->SaveRecord());
    const std::string first = clerkA->NewNumber;
    clerkA->CancelRecord(false);
    clerkA->lastCondition = "TC001 = '2201'";
    clerkA->RunQuery();
    ClientDataSet& heads = clerkA->doubleModule()->cdsMain;
    heads.fetchAll();
    const int before = heads.recordCount();
    dialogs->clear();
    addDocument(*clerkB, first);
    ASSERT_TRUE(clerkB->SaveRecord());
    EXPECT_NE(clerkB->NewNumber, first) << "two clerks, two numbers";
    ASSERT_EQ(dialogs->shownMessages().size(), 1u) << "the second clerk is told of the new number";

    clerkA->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(clerkA.get()));
    QTest::keyClick(clerkA->gdHead, Qt::Key_F5);
    heads.fetchAll();
    EXPECT_EQ(heads.recordCount(), before + 1);

    ASSERT_TRUE(clerkA->EditRecord());
    retype(*clerkA->edits[3], QStringLiteral("C002"));
    clerkA->btnReFresh->click();
    QTest::keyClick(clerkA->edits[3], Qt::Key_F5);
    EXPECT_EQ(clerkA->recordMode(), RecordMode::Edit);
    EXPECT_EQ(clerkA->edits[3]->text(), QStringLiteral("C002"));
}

TEST_F(DocumentFormTest, AColumnTitleSortsEveryDocumentOfTheQueryAndRefreshStaysOnTheDocumentShown)
{
    FormPtr form = started();
    savedDocument(*form);
    savedDocument(*form);
    ClientDataSet& heads = form->doubleModule()->cdsMain;
    heads.setPacketRecords(1);
    form->lastCondition.clear();
    form->lastOrder = "TC002 desc";
    form->RunQuery();
    Field& number = heads.fieldByName("TC002");
    const std::string largest = number.asString();

    // Refresh stays on the document shown, though the query read again has not fetched its packet.
    heads.fetchAll();
    heads.last();
    const std::string shown = number.asString();
    form->btnReFresh->click();
    EXPECT_EQ(number.asString(), shown) << "not the first document";

    form->RunQuery(); // one packet fetched again
    emit form->gdHead->titleClicked(&number);
    heads.first();
    EXPECT_LT(number.asString(), largest) << "the smallest number of all comes first";
}

TEST_F(DocumentFormTest, GridLayoutsAreKeptBetweenWindows)
{
    QString title;
    {
        FormPtr form = started();
        std::vector<ColumnLayout> layout = form->gdBody1->columnLayout();
        ASSERT_GT(layout.size(), 3u);
        std::swap(layout[0], layout[2]);
        layout[0].width = 123;
        layout[1].title = QStringLiteral("Qty;boxes");
        form->gdBody1->applyColumnLayout(layout);
        form->SaveGridLayouts();
        title = layout[2].title;
    }
    FormPtr form = started();
    const std::vector<ColumnLayout> restored = form->gdBody1->columnLayout();
    EXPECT_EQ(restored[0].width, 123);
    EXPECT_EQ(restored[1].field, "TD002");
    EXPECT_EQ(restored[1].title, QStringLiteral("Qty\uFF1Bboxes")) << "the list's separator cannot be in a title";
    EXPECT_EQ(restored[2].title, title) << "nor shift the titles after it";
}

} // namespace
} // namespace orvane::test
