// The order window offscreen over the embedded demonstration server, on the demo order: its
// inquiries menu, what the system options hide, the command states by mode and transfer
// status, the checks before a post, the credit, price and stock windows fed by the server, the
// lists of a line's price history and of the quotation lines, the note memos' 30-byte lines within
// their fields' bytes and the shipping-mark figures.
#include "salesorder/Tavi52CF.h"

#include "OrderWindowFixture.h"
#include "controls/DBGrid.h"
#include "controls/MarkPicture.h"
#include "controls/ZtDBMemo.h"
#include "framework/KnlVozuraz.h"
#include "framework/ZtQBE.h"
#include "platform/data/SilentAbort.h"
#include "salesorder/Tavi52CD.h"
#include "shell/DocumentStoreClient.h"
#include "support/Contains.h"
#include "ui/QtText.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

namespace orvane::test {
namespace {

class OrderWindow : public OrderTestWindow {
public:
    // The quantity steps the column rules ask for, by field.
    void runQuantityStep(Field& field) override { quantitySteps.push_back(field.name()); }
    std::vector<std::string> quantitySteps;
};

class OrderWindowTest : public OrderWindowFixture<OrderWindow> {
protected:
    TdmTavi52& module() const { return *form->orderModule(); }
    Field& head(const char* name) const { return module().cdsMain.fieldByName(name); }
    Field& line(const char* name) const { return module().cdsBody1.fieldByName(name); }
    // A key pressed in the lines grid on the field's column.
    void pressInLines(const char* field, Qt::Key key) const
    {
        form->gdBody1->setSelectedFieldName(QLatin1String(field));
        form->gdBody1->setFocus();
        QTest::keyClick(form->gdBody1, key);
    }
    // The head's field set by program in a local post, the window browsing again.
    void setHead(const char* name, const std::string& value) const
    {
        ClientDataSet& dataSet = module().cdsMain;
        const DataSetEvents events = dataSet.events;
        dataSet.events = {};
        dataSet.edit();
        SetFieldText(&head(name), value, false);
        dataSet.post();
        dataSet.events = events;
        form->UpdateCommandStates();
    }
    // The figures of the next modal figure window, by row caption, and its note; the window is
    // then left by Escape.
    std::map<std::string, std::vector<std::string>>& nextFigures()
    {
        dialogs->queueModalAction([this](QWidget& window) {
            if (auto* label = window.findChild<QLabel*>(QStringLiteral("lblNote")))
                note = label->text().toStdString();
            auto* table = window.findChild<QTableWidget*>(QStringLiteral("gdFigures"));
            ASSERT_NE(table, nullptr);
            for (int row = 0; row < table->rowCount(); ++row)
                for (int column = 0; column < table->columnCount(); ++column)
                    figures[table->verticalHeaderItem(row)->text().toStdString()].push_back(
                        table->item(row, column) != nullptr ? table->item(row, column)->text().toStdString() : "");
            // The window has no button: Escape is the clerk's way back to the order.
            QTest::keyClick(table, Qt::Key_Escape);
            EXPECT_FALSE(window.isVisible()) << "Escape closes " << window.objectName().toStdString();
        });
        return figures;
    }

    std::map<std::string, std::vector<std::string>> figures;
    std::string note;
};

// The inquiries menu lists its items in order; what is never shown or left out by the program's
// options is hidden from the start.
TEST_F(OrderWindowTest, TheInquiriesAreInOrderAndWhatTheOptionsLeaveOutIsHiddenFromTheStart)
{
    QStringList items;
    for (const QAction* item : form->PopSearchs->actions())
        items << item->objectName();
    EXPECT_EQ(items.join(','), "miCreditCtrl,miCOPTC_62,miCOPTA_60,miCOPTC_64,miCOPTC_67,miCOPTC_68");
    EXPECT_FALSE(form->pgHead->isTabVisible(form->pgHead->indexOf(form->TabSheet3))) << "never shown";
    for (const char* field : {"TD023", "TD032"})
        EXPECT_EQ(form->gdBody1->dataModel().columnOf(module().cdsBody1.findField(field)), -1) << field;
}

TEST_F(OrderWindowTest, WithoutTradeAndForeignDataEnterWalksTheHeadPagesToTheLastRemarkAndOnToTheLines)
{
    for (const char* option : {"Sys041", "Sys036", "Sys045"})
        form->brokers().SetSystemParameter(option, "N");
    form->ApplyProgramOptions();
    EXPECT_FALSE(form->pgHead->isTabVisible(form->pgHead->indexOf(form->TabSheet6)));
    EXPECT_FALSE(form->pgHead->isTabVisible(form->pgHead->indexOf(form->TabSheet8)));
    EXPECT_TRUE(form->edTC049->isHidden());
    EXPECT_TRUE(form->btnSeePIC->isHidden());
    EXPECT_TRUE(form->gdBody1IButton->isHidden());
    EXPECT_EQ(form->miCOPTC_68->text().toStdString(), "采购状况查询");
    EXPECT_FALSE(head("TC056").visible()) << "no mark column in the browse grid";
    EXPECT_FALSE(line("TD030").visible());

    // Enter walks the head page by page from the first page's first edit; the last remark's goes to the lines.
    form->EditRecord();
    form->findChild<QWidget*>(QStringLiteral("edTC005"))->setFocus();
    std::vector<QWidget*> pages{form->pgHead->currentWidget()};
    for (int key = 0; key < 40 && QApplication::focusWidget() != form->gdBody1; ++key) {
        QWidget* left = QApplication::focusWidget();
        QTest::keyClick(left, Qt::Key_Return);
        if (form->pgHead->currentWidget() != pages.back())
            pages.push_back(form->pgHead->currentWidget());
    }
    EXPECT_EQ(QApplication::focusWidget(), form->gdBody1);
    EXPECT_EQ(pages, (std::vector<QWidget*>{form->tbsHead1, form->TabSheet5, form->TabSheet7}));
    form->CancelRecord(false);
}

TEST_F(OrderWindowTest, CtrlTabTurnsOnlyToHeadPagesWhoseTabsShowAndTabLeavesAPagesLastMemoForTheNext)
{
    // From the key panel, which lies in no page, Ctrl+Tab turns the head pages.
    form->pgHead->setCurrentWidget(form->tbsHead1);
    form->edTC039->setFocus();
    QTest::keyClick(form->edTC039, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form->pgHead->currentWidget(), form->TabSheet5);
    form->EditRecord();
    form->pgHead->setCurrentWidget(form->TabSheet2);
    form->memTC038->setFocus();
    QTest::keyClick(form->memTC038, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(form->pgHead->currentWidget(), form->TabSheet6) << "the mark page's hidden tab is passed by";
    EXPECT_TRUE(form->TabSheet6->isAncestorOf(QApplication::focusWidget()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->pgHead->currentWidget(), form->TabSheet2);
    // Tab from the page's last memo, where Enter breaks the line, goes on as Enter does from an edit.
    form->memTC038->setFocus();
    QTest::keyClick(form->memTC038, Qt::Key_Tab);
    EXPECT_EQ(form->pgHead->currentWidget(), form->TabSheet6);
    form->CancelRecord(false);
}

// A trade order's type puts the focus on its process number; Tab from there goes on to the document date and the
// customer instead of passing them for the first head page.
TEST_F(OrderWindowTest, TabFromATradeOrdersProcessNumberGoesToItsDateAndCustomer)
{
    QTest::mouseClick(form->btnAdd, Qt::LeftButton);
    typeAndEnter(*form->edTC001, QStringLiteral("2701"));
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), form->edTC049);
    QTest::keyClicks(form->edTC049, QStringLiteral("01"));
    QTest::keyClick(form->edTC049, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->edTC039);
    QTest::keyClick(form->edTC039, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->edTC004);
    form->CancelRecord(false);
}

// The sign-off commands are in the record menu too, so a clerk on the keyboard reaches them; without the sign-off
// workflow the submenu is gone with the tool button.
TEST_F(OrderWindowTest, TheSignOffCommandsAreInTheRecordMenuWhenTheSiteSignsOff)
{
    const auto* record = form->findChild<QMenu*>(QStringLiteral("mnuRecord"));
    ASSERT_NE(record, nullptr);
    QAction* signOff = form->popVeltra->menuAction();
    ASSERT_TRUE(record->actions().contains(signOff));
    for (const char* on : {"Y", "N"}) {
        form->brokers().SetSystemParameter("SYS060", on);
        form->UpdateCommandStates();
        EXPECT_EQ(signOff->isVisible(), std::string_view(on) == "Y") << on;
    }
}

TEST_F(OrderWindowTest, CommandsFollowTheModeAndTheTransferStatus)
{
    EXPECT_FALSE(form->btnCopy->isEnabled()) << "browsing";
    EXPECT_FALSE(form->btnAttach->isEnabled()) << "no attachment window to open";
    EXPECT_TRUE(form->btnSeePIC->isEnabled());
    QTest::mouseClick(form->btnSeePIC, Qt::LeftButton);
    EXPECT_EQ(form->pgHead->currentWidget(), form->TabSheet8) << "the pictures are shown where they stand";
    EXPECT_TRUE(form->btnEditTD009->isEnabled()) << "confirm right, not confirmed, with lines";
    EXPECT_FALSE(form->btnViewHis->isEnabled()) << "not confirmed";
    EXPECT_FALSE(form->btnTAVI61->isEnabled()) << "not a trade order";

    form->AddRecord(true);
    EXPECT_TRUE(form->btnCopy->isEnabled());
    EXPECT_FALSE(form->btnSeePIC->isEnabled());
    EXPECT_FALSE(form->btnEditTD009->isEnabled());
    form->CancelRecord(false);

    for (const char* status : {"N", "Y", "y", "n", "U", "u"}) {
        setHead("TC050", status);
        const bool open = std::string(status) == "N";
        EXPECT_EQ(form->btnEdit->isEnabled(), open) << status;
        EXPECT_EQ(form->btnDelete->isEnabled(), open) << status;
        EXPECT_EQ(form->btnCheckTC050->isEnabled(), std::string(status) == "U") << status;
    }

    setHead("TC050", "N");
    setHead("TC001C2", "27");
    EXPECT_TRUE(form->btnTAVI61->isEnabled());
    EXPECT_TRUE(form->btnTAVB14->isEnabled());
    EXPECT_FALSE(form->gdBody1IButton->isEnabled());
    EXPECT_EQ(form->edTC049->focusPolicy(), Qt::StrongFocus) << "the process number is typed";
}

// The tool buttons take no focus: the change history and the inquiries had no key.
TEST_F(OrderWindowTest, TheChangeHistoryAndTheInquiriesAreReachedByTheirKeys)
{
    setHead("TC027", "Y");
    lookups.choose(0, 2); // the two changes of the demo order's first line
    QTest::keyClick(form->gdBody1, Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(lookups.shown(), 1u);

    QTest::keyClick(form.get(), Qt::Key_S, Qt::AltModifier);
    EXPECT_TRUE(form->PopSearchs->isVisible());
    form->PopSearchs->close();
}

TEST_F(OrderWindowTest, APostIsRefusedWithTheFocusOnTheFieldToMend)
{
    form->EditRecord();
    module().cdsBody1.edit();
    form->setChecksEnabled(false);              // the values as a copy by program leaves them
    SetFieldText(&line("TD007"), "B01", false); // the Suzhou factory's
    form->setChecksEnabled(true);
    EXPECT_FALSE(form->ValidateDataSet(module().cdsBody1));
    EXPECT_TRUE(contains(lastMessage(), "仓库不属于出货工厂")) << "E 100099";
    EXPECT_EQ(form->gdBody1->selectedFieldName(), "TD007");
    EXPECT_EQ(QApplication::focusWidget(), form->gdBody1);

    form->setChecksEnabled(false);
    EXPECT_TRUE(form->ValidateDataSet(module().cdsBody1)) << "no checks while filled by program";
    form->setChecksEnabled(true);
    module().cdsBody1.cancel();

    form->setChecksEnabled(false);
    SetFieldText(&head("TC001C2"), "27", false);
    SetFieldText(&head("TC049"), "", false);
    form->setChecksEnabled(true);
    form->UpdateCommandStates();
    EXPECT_FALSE(form->ValidateDataSet(module().cdsMain));
    EXPECT_TRUE(contains(lastMessage(), "不可空白")) << "E 000003";
    EXPECT_EQ(QApplication::focusWidget(), form->edTC049);
    form->CancelRecord(false);
}

// The line current when the saved order goes into edit is checked as the item it holds: a unit
// the item does not know is refused, as on a line typed in the order.
TEST_F(OrderWindowTest, TheLineCurrentWhenAnOrderGoesIntoEditIsCheckedAsItsItemAsks)
{
    form->EditRecord();
    module().cdsBody1.edit();
    EXPECT_THROW(SetFieldText(&line("TD010"), "KG", true), SilentAbort);
    EXPECT_EQ(line("TD010").asString(), "PCS");
    form->CancelRecord(false);
}

TEST_F(OrderWindowTest, TheCreditWindowShowsWhatTheServerAnswersToAUserWithTheRight)
{
    auto& shown = nextFigures();
    form->edTC004->setFocus();
    QTest::keyClick(form->edTC004, Qt::Key_F3);
    ASSERT_EQ(shown.size(), 8u);
    EXPECT_EQ(shown["合    计"].front(), "529,800") << "grouped as the order's own amounts";
    EXPECT_EQ(shown["信用余额"].front(), "20,200");

    form->setRightsSet(RightsSet{});
    dialogs->clear();
    form->edTC004->setFocus();
    QTest::keyClick(form->edTC004, Qt::Key_F3);
    EXPECT_TRUE(contains(lastMessage(), "您没有查询客户信用额度的权限"))
        << "E 100253: no credit figures without the rights";
}

// An order in dollars on a day without a dollar rate: the item's own prices cannot be converted,
// and the window showed nothing but the server's error.
TEST_F(OrderWindowTest, ThePriceWindowMarksThePricesThatHaveNoRateAndSaysWhy)
{
    setHead("TC008", "USD");
    companyDatabase()->execute(
        companyDatabase()->dialect().mapCompanyPrefix("DELETE FROM PRTest50..CMSMG WHERE MG001 = 'USD'"));
    nextFigures();
    pressInLines("TD011", Qt::Key_F2);
    EXPECT_EQ(figures["客户计价"], (std::vector<std::string>{"2", "14", "14"})) << "the list's dollar price";
    EXPECT_EQ(figures["零 售 价"], (std::vector<std::string>{"", "无汇率", "无汇率"}));
    EXPECT_TRUE(contains(note, "USD")) << note;
}

// Two-unit mode, A300 (12 to the box): 120 boxes on hand and the line's 3 boxes 6 pieces open
// leave 116.5 boxes, every figure a plain quantity.
TEST_F(OrderWindowTest, TheStockWindowSubtractsTheOpenOrdersFromTheStockOnHand)
{
    const auto sql = [this](const char* statement) {
        const auto db = companyDatabase();
        db->execute(db->dialect().mapCompanyPrefix(statement));
    };
    sql("UPDATE PRTest50..SYS_PARAM SET PARAM_VALUE = '2' WHERE PARAM_NAME = 'SYS024'");
    sql("UPDATE PRTest50..INVMC SET MC003 = 120 WHERE MC001 = 'A300' AND MC002 = 'A01'");
    sql("UPDATE PRTest50..COPTD SET TD004 = 'A300', TD007 = 'A01', TD010 = 'BOX', TD008 = 3.06, TD009 = 0, TD024 = 0 "
        "WHERE TD002 = '2501200001'");
    form->brokers().SetSystemParameter("SYS024", "2");
    form->RunQuery();
    nextFigures();
    pressInLines("TD008", Qt::Key_F3);
    EXPECT_EQ(figures["现有存量"], std::vector<std::string>{"120"});
    EXPECT_EQ(figures["已受订量"], std::vector<std::string>{"3.5"});
    EXPECT_EQ(figures["可用量"], std::vector<std::string>{"116.5"});
}

// The order dates are kept as YYYYMMDD texts: the query window types them with the date editor and
// sends them stored; the row limit it was given caps the opening (3 orders on or after the day). The
// window was made anew for each query, so the clerk typed the former query again to change it.
TEST_F(OrderWindowTest, TheQueryWindowTypesTheOrderDatesAsDatesAndItsRowLimitCapsTheOpening)
{
    QString former;
    const auto query = [this, &former](const char* op, const char* limit) {
        onWindow<TQBEForm>(dialogs, [op, limit, &former](TQBEForm& window) {
            former = window.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"))->toPlainText();
            window.findChild<QPushButton*>(QStringLiteral("BBClear"))->click();
            window.findChild<QTabWidget*>(QStringLiteral("pgQBE"))->setCurrentIndex(1);
            auto* fields = window.findChild<QComboBox*>(QStringLiteral("cboField"));
            fields->setCurrentIndex(fields->findText(QStringLiteral("TC003"), Qt::MatchStartsWith));
            window.findChild<QComboBox*>(QStringLiteral("CbOperator"))->setCurrentText(QString::fromLatin1(op));
            auto* date = window.findChild<QLineEdit*>(QStringLiteral("edDateValue"));
            ASSERT_TRUE(date->isVisibleTo(&window)) << "TC003 is typed with the date editor";
            QTest::keyClicks(date, QStringLiteral("20250210"));
            window.findChild<QPushButton*>(QStringLiteral("BbAssign"))->click();
            window.findChild<QComboBox*>(QStringLiteral("cbTopRow"))->setEditText(QString::fromLatin1(limit));
            window.findChild<QPushButton*>(QStringLiteral("BBOK"))->click();
        });
        ASSERT_TRUE(form->QueryRecords());
        module().cdsMain.fetchAll();
    };
    query("=", "500");
    EXPECT_EQ(form->lastCondition, "(COPTC.TC003 = '20250210')");
    EXPECT_EQ(module().cdsMain.recordCount(), 1);
    query("<=", "1");
    EXPECT_EQ(former, QStringLiteral("(COPTC.TC003 = '20250210')")) << "the former query is there to change";
    EXPECT_EQ(module().cdsMain.recordCount(), 1);
    query("<=", "0");
    EXPECT_EQ(module().cdsMain.recordCount(), 2) << "0 is no limit";
}

TEST_F(OrderWindowTest, ALinesPriceHistoryAndTheQuotationLinesValidForTheHeadAreListed)
{
    form->EditRecord();
    lookups.choose(1, 3); // C001 paid 98, 96 and 95 for A100
    pressInLines("TD011", Qt::Key_F3);
    EXPECT_DOUBLE_EQ(line("TD011").asFloat(), 96);
    line("TD011").setReadOnly(true); // as a user without the price right has it
    const std::size_t shown = lookups.shown();
    pressInLines("TD011", Qt::Key_F3);
    EXPECT_EQ(lookups.shown(), shown) << "no list to write into a locked field";
    line("TD011").setReadOnly(false);

    lookups.choose(0);
    pressInLines("TD017", Qt::Key_F2);
    EXPECT_EQ(line("TD017").asString() + "-" + line("TD018").asString() + "-" + line("TD019").asString(),
              "2101-2501150001-0001")
        << "C001's quotation line: " << lastMessage();
    form->CancelRecord(false);
}

TEST_F(OrderWindowTest, InTwoUnitModeOnlyAChangedQuantityOtherThanZeroIsNormalisedOnLeavingItsColumn)
{
    form->brokers().SetSystemParameter("SYS024", "2");
    form->EditRecord();
    module().cdsBody1.edit();
    const auto visit = [&](const char* value) {
        form->gdBody1->setSelectedFieldName(QStringLiteral("TD008"));
        if (value != nullptr)
            line("TD008").setText(value);
        form->gdBody1->setSelectedFieldName(QStringLiteral("TD010"));
    };
    visit("25");
    visit(nullptr);
    visit("0");
    visit("3.5");
    EXPECT_EQ(form->quantitySteps, (std::vector<std::string>{"TD008", "TD008"})) << "changed to 25 and to 3.5";
    EXPECT_EQ(form->quantityColumnText, "0") << "reset on every exit";

    form->brokers().SetSystemParameter("SYS024", "1");
    visit("7");
    EXPECT_EQ(form->quantitySteps.size(), 2u) << "one unit: no step";
    form->CancelRecord(false);
}

TEST_F(OrderWindowTest, NoteLinesWrapAtThirtyBytesWithoutSplittingADoubleByteCharacter)
{
    EXPECT_EQ(TfrmTavi52::memoWrapFor(29, "a"), TfrmTavi52::MemoWrap::BreakAfter);
    EXPECT_EQ(TfrmTavi52::memoWrapFor(29, "ab"), TfrmTavi52::MemoWrap::BreakBefore) << "it would end at 31";
    EXPECT_EQ(TfrmTavi52::memoWrapFor(30, "a"), TfrmTavi52::MemoWrap::Replace);
    EXPECT_EQ(TfrmTavi52::memoWrapFor(12, "a"), TfrmTavi52::MemoWrap::Keep);

    form->EditRecord();
    form->pgHead->setCurrentWidget(form->TabSheet2);
    TZtDBMemo& memo = *form->memTC037;
    memo.setFocus();
    QTest::keyClicks(&memo, QString(28, QLatin1Char('x')));
    QTest::sendKeyEvent(QTest::Click, &memo, Qt::Key_unknown, QStringLiteral("中"), Qt::NoModifier);
    QTest::keyClicks(&memo, QStringLiteral("y"));
    EXPECT_EQ(memo.toPlainText(), QString(28, QLatin1Char('x')) + QStringLiteral("中\ny"));
    memo.clear();
    for (int i = 0; i < 200; ++i)
        QTest::sendKeyEvent(QTest::Click, &memo, Qt::Key_unknown, QStringLiteral("中"), Qt::NoModifier);
    ASSERT_TRUE(memo.updateRecord());
    EXPECT_EQ(head("TC037").asString(), text::fromQString(memo.toPlainText().replace(u'\n', QStringLiteral("\r\n"))));
    EXPECT_EQ(head("TC037").asString().size(), 7 * 32 + 28u) << "the lines that fit in 255 bytes, whole";

    form->pgHead->setCurrentWidget(form->TabSheet8);
    TZtDBMemo& mark = *form->memTC056;
    mark.setPlainText(QString(35, QLatin1Char('m')));
    mark.setFocus();
    mark.moveCursor(QTextCursor::End);
    QTest::keyClick(&mark, Qt::Key_Backspace);
    EXPECT_EQ(mark.toPlainText(), QString(34, QLatin1Char('m'))) << "Backspace deletes at column 35";
    QTest::keyClicks(&mark, QStringLiteral("z"));
    EXPECT_EQ(mark.toPlainText(), QString(34, QLatin1Char('m')) + QStringLiteral("\n")) << "a key past 30 breaks";
    form->CancelRecord(false);
}

TEST_F(OrderWindowTest, MarkFiguresGoIntoTheMemosInEitherCodePageAndPicturesAreDecoded)
{
    const std::vector<std::string> diamond = TfrmTavi52::diamondFigure("950");
    const std::vector<std::string> triangle = TfrmTavi52::triangleFigure("950");
    ASSERT_EQ(diamond.size(), 7u);
    ASSERT_EQ(triangle.size(), 6u);
    EXPECT_EQ(diamond[0], "      \xA1\xFE\xA2\x40       ");
    EXPECT_EQ(diamond[3], " <            >  ");
    EXPECT_EQ(triangle[5], "\xA1\xD0\xA1\xD0\xA1\xD0\xA1\xD0\xA1\xD0\xA1\xD0\xA1\xD0\xA1\xD0\xA1\xD0\xA1\xD0 ");
    for (const auto& figure : {diamond, TfrmTavi52::diamondFigure("936")})
        for (const std::string& row : figure)
            EXPECT_EQ(row.size(), 17u);
    EXPECT_EQ(TfrmTavi52::diamondFigure("936")[6], "      \xA3\xDC\xA3\xAF       ");

    registerDocumentStoreClient(AutomationRegistry::instance(), server->createObject("OrvaneS.Services"),
                                folder_ / "documents", text::CodePage::Gbk);
    form->EditRecord();
    lookups.choose(0); // the code entry's pick list
    typeAndEnter(*form->edTC004, QStringLiteral("C001"));
    AutomationRegistry::instance().unregisterClass(DocumentStoreClient::classId);
    EXPECT_EQ(form->imgTC056->picture().size(), QSize(64, 40)) << "the customer's front mark, a JPEG of the store";
    form->CancelRecord(false);
    form->AddRecord(true);
    EXPECT_TRUE(form->imgTC056->picture().isNull()) << "a new order shows no mark picture";

    form->pgHead->setCurrentWidget(form->TabSheet8);
    form->edTC056->setFocus();
    QTest::keyClick(form->edTC056, Qt::Key_F3);
    EXPECT_TRUE(form->memTC056->toPlainText().isEmpty()) << "F3 on the edit adds nothing";
    form->memTC056->setFocus();
    QTest::keyClick(form->memTC056, Qt::Key_F4);
    EXPECT_EQ(form->memTC056->toPlainText().count(QLatin1Char('\n')), 5) << "six lines of the triangle";
    form->CancelRecord(false);
}

// A new order's lists take their keys from the head and the first line being typed, which its empty
// datasets do not count yet.
TEST_F(OrderWindowTest, ANewOrdersListsAreKeyedByTheHeadAndLineBeingTyped)
{
    form->AddRecord(true);
    head("TC001").setText("2201");
    head("TC004").setText("C001");
    module().cdsBody1.append();
    line("TD004").setText("A100");
    line("TD008").setText("10");
    nextFigures();
    pressInLines("TD011", Qt::Key_F2);
    ASSERT_EQ(figures.size(), 9u) << "customer, standard, retail and six price levels";
    EXPECT_EQ(std::stod(figures["客户计价"].at(2)), line("TD011").asFloat()) << "C001's price, as the line took it";
    lookups.choose(1, 3); // C001 paid 98, 96 and 95 for A100
    pressInLines("TD011", Qt::Key_F3);
    EXPECT_DOUBLE_EQ(line("TD011").asFloat(), 96) << lastMessage();
    form->CancelRecord(false);
}

// Escape in a cell editor takes back the typing in the cell, not the line nor the whole order; Escape on the
// grid then gives up the line being typed.
TEST_F(OrderWindowTest, EscapeInACellEditorTakesBackTheCellOnly)
{
    form->EditRecord();
    DBGrid& grid = *form->gdBody1;
    grid.setFocus();
    grid.setSelectedFieldName(QStringLiteral("TD008"));
    QTest::keyClick(&grid, Qt::Key_7);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->recordMode(), RecordMode::Edit);
    EXPECT_TRUE(dialogs->shownMessages().empty()) << lastMessage();
    EXPECT_EQ(QApplication::focusWidget(), &grid);
    EXPECT_DOUBLE_EQ(line("TD008").asFloat(), 20);

    QTest::keyClick(&grid, Qt::Key_Down); // a new line, its item typed
    line("TD004").setText("A100");
    QTest::keyClick(&grid, Qt::Key_9);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(module().cdsBody1.state(), DataSetState::Insert) << "the line is kept";
    EXPECT_EQ(line("TD004").asString(), "A100");
    QTest::keyClick(&grid, Qt::Key_Escape);
    EXPECT_EQ(module().cdsBody1.state(), DataSetState::Browse);
    EXPECT_EQ(module().cdsBody1.recordCount(), 1) << "the new line given up";
    form->CancelRecord(false);
}

// Ctrl+Delete in the lines grid deletes the current line after asking, the totals following, the
// last line too; a browsed order keeps its lines.
TEST_F(OrderWindowTest, CtrlDeleteInTheLinesDeletesTheCurrentLineOfAnEditedOrder)
{
    ClientDataSet& lines = module().cdsBody1;
    DBGrid& grid = *form->gdBody1;
    const auto deleteCurrent = [&] {
        grid.setFocus();
        dialogs->queueAnswer(DialogAnswer::Ok);
        QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
        QCoreApplication::processEvents();
    };
    deleteCurrent();
    EXPECT_EQ(lines.recordCount(), 1) << "not while browsing";
    dialogs->clear();

    form->EditRecord();
    lines.insert();
    SetFieldText(&line("TD004"), "A200", true);
    SetFieldText(&line("TD008"), "3", true);
    lines.post();
    const double inserted = line("TD012").asFloat();
    lines.last();
    deleteCurrent();
    EXPECT_EQ(lines.recordCount(), 1);
    EXPECT_DOUBLE_EQ(head("TC029").asFloat(), inserted) << "the stored line's amount is out of the total";
    ASSERT_TRUE(form->SaveRecord()) << lastMessage();
    const QueryResult saved = companyDatabase()->query("SELECT TD004 FROM \"PRTest50\".COPTD WHERE TD002 = ?",
                                                       {Variant(head("TC002").asString())});
    ASSERT_EQ(saved.rows.size(), 1u);
    EXPECT_EQ(saved.rows[0][0].toString(), "A200");

    form->EditRecord();
    deleteCurrent();
    EXPECT_TRUE(lines.isEmpty()) << "the last line too";
    EXPECT_DOUBLE_EQ(head("TC029").asFloat(), 0);
    form->CancelRecord(false);
}

// Down on the last line starts a new line at its item, the number being filled in already; a
// clerk who numbers the lines starts at the number.
TEST_F(OrderWindowTest, ANewLineStartsAtTheItemUnlessTheClerkNumbersTheLines)
{
    form->EditRecord();
    DBGrid& grid = *form->gdBody1;
    const auto newLine = [&] {
        grid.setFocus();
        module().cdsBody1.last();
        QTest::keyClick(&grid, Qt::Key_Down);
        QCoreApplication::processEvents();
        return module().cdsBody1.state() == DataSetState::Insert;
    };
    ASSERT_TRUE(newLine());
    EXPECT_EQ(grid.selectedFieldName(), "TD004");
    QTest::keyClick(&grid, 'A'); // opens the cell's editor
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("200"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(line("TD004").asString(), "A200") << "typed straight after Down: " << lastMessage();
    EXPECT_EQ(line("TD003").asString(), "0002");
    module().cdsBody1.cancel();

    module().SetLineNumbering(false);
    ASSERT_TRUE(newLine());
    EXPECT_EQ(grid.selectedFieldName(), "TD003");
    form->CancelRecord(false);
}

} // namespace
} // namespace orvane::test
