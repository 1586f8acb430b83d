// The order window's commands on the real window offscreen over the demonstration server, with
// scripted dialog answers: the credit check, "transfer done" and voiding right after it, the
// unconfirm refusal, copying a quotation into an order of another factory (a line lifted to its
// price floor, a refused one named), copying the current order with a line lifted to its price
// floor and into another type, the set explosion, the option lines' quantity, and the switches
// back on after a failing step.
#include "OrderWindowFixture.h"

#include "controls/DBGrid.h"
#include "framework/ZtCopy.h"
#include "platform/text/DateText.h"
#include "salesorder/Tavi52CD.h"
#include "salesorder/Tavi52DF.h"
#include "salesorder/Tavi52FF.h"
#include "salesorder/Tavi52ZF.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace orvane::test {
namespace {

class OrderCommandsWindow : public OrderTestWindow {
public:
    using TfrmTavi52::btnCheckTC050Click;
    using TfrmTavi52::btnCopyClick;
    using TfrmTavi52::ExplodeSetItem;
    using TfrmTavi52::gdBody1IButtonClick;
    double optionQuantity() const { return frmTavi52FF->quantity(); }
};

class OrderCommandsTest : public OrderWindowFixture<OrderCommandsWindow> {
protected:
    void SetUp() override
    {
        OrderWindowFixture::SetUp();
        module = form->orderModule();
    }

    void sql(const std::string& statement) const { companyDatabase()->execute(statement); }
    // A new order of type 2201 for C001 dated in the quotation's validity, the keys typed.
    void addOrder(const char* factory)
    {
        ASSERT_TRUE(form->AddRecord(true));
        typeAndEnter(*form->edTC001, QStringLiteral("2201"));
        typeAndEnter(*form->edTC002, QStringLiteral("T00001"));
        for (const auto& [field, value] : {std::pair{"TC004", "C001"}, {"TC007", factory}, {"TC039", "20250301"}})
            SetFieldText(&module->cdsMain.fieldByName(field), value, false);
    }
    // The current order copied through the copy wizard into a new order of the type and number.
    void copyInto(const char* type, const char* number)
    {
        onWindow<TfrmCopy>(dialogs, [=](TfrmCopy& wizard) {
            wizard.BBOK->click();
            for (const auto& [edit, value] : {std::pair{wizard.edDest[0], type}, {wizard.edDest[1], number}}) {
                edit->setFocus();
                QTest::keyClicks(edit, QString::fromLatin1(value));
            }
            wizard.BBOK->click();
        });
        form->CopyRecord();
    }
    // The quotation of the type and number copied through the record menu's item, as the keyboard
    // reaches it, and the copy dialog.
    void copyQuotation(const char* type, const char* number)
    {
        onWindow<TfrmTavi52DF>(dialogs, [=](TfrmTavi52DF& dialog) {
            dialog.ed001->setText(QString::fromLatin1(type));
            dialog.ed002->setText(QString::fromLatin1(number));
            dialog.btnOK->click();
        });
        form->miCopyQuotation->trigger();
    }
    std::string head(const char* field) const { return module->cdsMain.fieldByName(field).asString(); }
    std::vector<std::string> lineTexts(const char* field) const
    {
        std::vector<std::string> texts;
        ClientDataSet& lines = module->cdsBody1;
        for (lines.first(); !lines.eof(); lines.next())
            texts.push_back(lines.fieldByName(field).asString());
        return texts;
    }
    bool switchesNormal() const
    {
        return form->checksEnabled() && form->amountRecalculation() && !form->defaultPacking();
    }

    TdmTavi52* module = nullptr;
};

// C001 has 20,200 of credit left (shared with C006): at a rate of 100 the demo order's 2,147 exceeds it, warns
// (method 2) and is confirmed, or is refused (method 3). A confirmed order once transferred is not unconfirmed.
TEST_F(OrderCommandsTest, ConfirmingChecksTheCustomersCreditBalanceAndATransferredOrderIsNotUnconfirmed)
{
    form->RunQuery(); // the demonstration order 2201-2501200001 (C001, 1,900 and 247 of tax)
    sql("UPDATE \"PRTest50\".COPMA SET MA041 = 100, MA040 = '3' WHERE MA001 = 'C001'");
    form->SetConfirmState(TfrmDouble::modeConfirm, 0);
    EXPECT_TRUE(shown("不可审核")) << "E 100166";
    EXPECT_TRUE(shown("214700")) << "the amount in the message";
    form->RunQuery();
    EXPECT_EQ(head("TC027"), "N");

    sql("UPDATE \"PRTest50\".COPMA SET MA040 = '2' WHERE MA001 = 'C001'");
    dialogs->clear();
    form->SetConfirmState(TfrmDouble::modeConfirm, 0);
    EXPECT_TRUE(shown("是否继续")) << "W 100047";
    form->RunQuery();
    EXPECT_EQ(head("TC027"), "Y") << "a warning lets the confirmation go on";

    sql("UPDATE \"PRTest50\".COPTC SET TC050 = 'Y' WHERE TC002 = '2501200001'");
    form->RunQuery();
    dialogs->clear();
    form->SetConfirmState(TfrmDouble::modeUnConfirm, 0);
    EXPECT_TRUE(shown("不可取消审核")) << "E 100402";
    form->RunQuery();
    EXPECT_EQ(head("TC027"), "Y");

    // Nor is the unconfirmation sent to the sign-off, whose approval would make it.
    form->brokers().SetSystemParameter("SYS060", "Y");
    dialogs->clear();
    EXPECT_FALSE(form->SendToWorkflow(TfrmDouble::modeUnConfirm));
    EXPECT_TRUE(shown("不可取消审核"));
}

// The transfer-done mark is saved outside an edit, without the FLAG stamp: the window reads the
// head again, so voiding right after is not taken for another user's change.
TEST_F(OrderCommandsTest, AnOrderMarkedTransferredIsVoidedWithoutAQueryBetween)
{
    sql("UPDATE \"PRTest50\".COPTC SET TC050 = 'U' WHERE TC002 = '2501200001'");
    form->RunQuery();
    form->btnCheckTC050Click();
    EXPECT_EQ(head("TC050"), "Y");
    form->SetConfirmState(TfrmDouble::modeVoid, 0);
    EXPECT_EQ(head("TC027"), "V") << lastMessage();
}

// The quotation's lines keep warehouse A01 of factory 01; an order of factory 02 takes its
// default warehouse B01 instead. Rates travel as fractions and are kept as fractions.
TEST_F(OrderCommandsTest, CopyingAQuotationIntoAnOrderOfAnotherFactory)
{
    addOrder("02");
    copyQuotation("2101", "2501150001");
    EXPECT_EQ(head("TC004"), "C001");
    EXPECT_EQ(head("TC042"), "N30");
    EXPECT_EQ(head("TC050"), "N");
    // The quotation carries no consignee or marks: the customer's, as typing it gives them.
    EXPECT_EQ(head("TC032"), "C001");
    EXPECT_EQ(head("TC057"), "MADE IN CHINA");
    EXPECT_EQ(lineTexts("TD004"), (std::vector<std::string>{"A100", "A200"}));
    EXPECT_EQ(lineTexts("TD007"), (std::vector<std::string>{"B01", "B01"}));
    EXPECT_EQ(lineTexts("TD019"), (std::vector<std::string>{"0001", "0002"}));
    module->cdsBody1.first();
    EXPECT_EQ(module->cdsBody1.fieldByName("TD013").asString(), text::addDays(head("TC039"), 10));
    EXPECT_DOUBLE_EQ(module->cdsBody1.fieldByName("TD037").asFloat(), 0.13);
    EXPECT_DOUBLE_EQ(module->cdsBody1.fieldByName("TD026").asFloat(), 1.0);
    // The reference prices as a typed A100 line has them: level 1 and the retail price without tax.
    EXPECT_DOUBLE_EQ(module->cdsBody1.fieldByName("TD042").asFloat(), 90);
    EXPECT_NEAR(module->cdsBody1.fieldByName("TD043").asFloat(), 139 / 1.13, 1e-4);
    EXPECT_TRUE(switchesNormal());

    dialogs->clear();
    form->btnCopyClick();
    EXPECT_TRUE(shown("不可复制报价单")) << "E 100160: only into an order without lines";
    EXPECT_EQ(module->cdsBody1.recordCount(), 2);
}

// Into factory 02, which has no default warehouse: the quotation's first line keeps warehouse A01 of
// factory 01, is refused and named; its second, of warehouse B01 and quoted at 1 under A200's floor,
// is lifted and reported. The copy goes on past both.
TEST_F(OrderCommandsTest, CopyingAQuotationLiftsALineBelowTheFloorAndNamesALineRefused)
{
    sql("UPDATE \"PRTest50\".INVMB SET MB016 = 'Y', MB017 = 0.2 WHERE MB001 = 'A200'");
    sql("UPDATE \"PRTest50\".COPTB SET TB009 = 1, TB010 = 500, TB015 = 'B01' WHERE TB002 = '2501150001' AND "
        "TB003 = '0002'");
    sql("UPDATE \"PRTest50\".CMSMC SET MC004 = 'N' WHERE MC001 = 'B01'");
    addOrder("02");
    copyQuotation("2101", "2501150001");
    EXPECT_EQ(lineTexts("TD004"), std::vector<std::string>{"A200"});
    EXPECT_DOUBLE_EQ(module->cdsBody1.fieldByName("TD011").asFloat(), 11.5) << "the standard price";
    EXPECT_TRUE(shown("已调整为下限价: 1")) << "I 100013 with the line";
    EXPECT_TRUE(shown("2101-2501150001]下列序号未复制: 0001")) << lastMessage();
    EXPECT_EQ(module->cdsBody1.state(), DataSetState::Browse);
    EXPECT_FALSE(form->liftBelowFloor());
    EXPECT_TRUE(switchesNormal());
}

// A quotation valid only until the end of January, copied into an order of 1 March: its head
// comes, none of its lines, and the clerk is told which quotation is out of date on which day.
TEST_F(OrderCommandsTest, CopyingAQuotationNotValidOnTheOrderDateSaysWhyNoLineCame)
{
    sql("UPDATE \"PRTest50\".COPTA SET TA029 = '20250131' WHERE TA002 = '2501150001'");
    addOrder("01");
    copyQuotation("2101", "2501150001");
    EXPECT_EQ(head("TC004"), "C001");
    EXPECT_TRUE(module->cdsBody1.isEmpty());
    const std::string message = lastMessage();
    for (const char* named : {"2101-2501150001", "2025/03/01", "2025/01/01", "2025/01/31"})
        EXPECT_NE(message.find(named), std::string::npos) << named << " in: " << message;
    EXPECT_TRUE(switchesNormal());
}

// With 2101-2502200001 void, F2 on the quotation type lists 2101-2501150001 alone; its row fills
// type and number.
TEST_F(OrderCommandsTest, TheQuotationListOffersOnlyConfirmedQuotations)
{
    sql("UPDATE \"PRTest50\".COPTA SET TA027 = 'V' WHERE TA002 = '2502200001'");
    Variant copyKey = Variant::arrayOf({"", ""});
    WindowPtr<TfrmTavi52DF> dialog(new TfrmTavi52DF(*form, copyKey));
    lookups.choose(0, 1);
    onWindow<TfrmTavi52DF>(dialogs, [](TfrmTavi52DF& shown) {
        shown.ed001->setText(QStringLiteral("2101"));
        shown.ed001->setFocus();
        QTest::keyClick(shown.ed001, Qt::Key_F2);
        EXPECT_EQ(shown.ed002->text(), QStringLiteral("2501150001"));
        shown.btnOK->click();
    });
    ASSERT_EQ(dialog->ShowModal(), TfrmZtDialog::mrOK);
    EXPECT_EQ(lookups.shown(), 1u);
    EXPECT_EQ(copyKey[1].toString(), "2501150001");
}

// The demo order's line is priced at 10 a piece under a floor of 0.8 x 95: its copy is lifted
// to the customer's price and reported.
TEST_F(OrderCommandsTest, CopyingTheOrderLiftsALineBelowTheFloorAndReportsIt)
{
    sql("UPDATE \"PRTest50\".INVMB SET MB016 = 'Y', MB017 = 0.2 WHERE MB001 = 'A100'");
    sql("UPDATE \"PRTest50\".COPTD SET TD011 = 10, TD012 = 200, TD038 = 200 WHERE TD002 = '2501200001'");
    form->RunQuery();
    copyInto("2201", "T00002");
    ASSERT_EQ(form->recordMode(), RecordMode::Add);
    EXPECT_TRUE(shown("已调整为下限价: 1")) << "I 100013 with the line";
    EXPECT_DOUBLE_EQ(module->cdsBody1.fieldByName("TD011").asFloat(), 95);
    EXPECT_DOUBLE_EQ(module->cdsBody1.fieldByName("TD038").asFloat(), 1900) << "the net of the lifted amount";
    EXPECT_DOUBLE_EQ(module->cdsMain.fieldByName("TC029").asFloat(), 1900) << "the totals count it";
    EXPECT_EQ(head("TC039"), module->Today());
    EXPECT_FALSE(form->liftBelowFloor());
    EXPECT_TRUE(module->cdsMain.fieldByName("TC004").onValidate) << "every check is given back";
}

// The demo order, sent twice with packages delivered, copied into a multi-party trade order: the
// copy is of the new type's kind and item-entry mode, asks for its process number, and has
// nothing delivered or sent.
TEST_F(OrderCommandsTest, CopyingTheOrderIntoAnotherTypeTakesThatTypesKindAndStartsUndeliveredAndUnsent)
{
    sql("UPDATE \"PRTest50\".CMSMQ SET MQ024 = '2' WHERE MQ001 = '2701'");
    sql("UPDATE \"PRTest50\".COPTC SET TC058 = 2 WHERE TC002 = '2501200001'");
    sql("UPDATE \"PRTest50\".COPTD SET TD032 = 4, TD033 = 1, TD034 = 2, TD035 = 1 WHERE TD002 = '2501200001'");
    form->RunQuery();
    copyInto("2701", "T00003");
    ASSERT_EQ(form->recordMode(), RecordMode::Add);
    EXPECT_EQ(head("TC001C2"), "27");
    EXPECT_EQ(head("MQ024C"), "2");
    EXPECT_FALSE(form->edTC049->controlReadOnly()) << "the process number is typed";
    EXPECT_EQ(head("TC058"), "0");
    EXPECT_EQ(lineTexts("TD032"), std::vector<std::string>{"4"});
    EXPECT_EQ(lineTexts("TD033"), std::vector<std::string>{"0"});
    EXPECT_EQ(lineTexts("TD035"), std::vector<std::string>{"0"});
}

// The demo order of the configurable B100 copied: its line keeps its chosen options, saved with
// the new order's keys.
TEST_F(OrderCommandsTest, CopyingAnOrderCopiesTheOptionsOfItsLines)
{
    form->lastCondition = "TC001 = '2201' and TC002 = '2502100001'";
    form->RunQuery();
    copyInto("2201", "T00004");
    ASSERT_EQ(form->recordMode(), RecordMode::Add);
    ClientDataSet& options = module->cdsFoot;
    ASSERT_TRUE(module->cdsBody1.locate("TD004", Variant("B100")));
    EXPECT_EQ(options.recordCount(), 2);
    ASSERT_TRUE(form->SaveRecord()) << lastMessage();
    const QueryResult saved = companyDatabase()->query(
        "SELECT TM004, TM006, TM007 FROM \"PRTest50\".COPTM WHERE TM001 = '2201' AND TM002 = ? ORDER BY TM004",
        {Variant(form->NewNumber)});
    ASSERT_EQ(saved.rows.size(), 2u) << form->NewNumber;
    EXPECT_EQ(saved.rows[1][0].toString() + "/" + saved.rows[1][1].toString(), "F200/P201");
    EXPECT_DOUBLE_EQ(saved.rows[1][2].toFloat(), 2);
}

// F4 on the item of the demo order's line while it is browsed opens no explosion and adds no
// line to it. In an order being added it explodes S100 for 10 sets into its direct components,
// A100 10 and K100 20 (21 with the loss rate), each taxed at its item's rate and counted in the
// head's totals. Once its structure is gone the server refuses the set: the lines stay as they
// were and every switch is on again.
TEST_F(OrderCommandsTest, F4ExplodesASetOnlyIntoAnOrderBeingTyped)
{
    const auto pressF4 = [this] {
        bool shown = false;
        onWindow<TfrmTavi52ZF>(dialogs, [&](TfrmTavi52ZF& dialog) {
            shown = true;
            dialog.ed01->setText(QStringLiteral("S100"));
            dialog.ed02->setText(QStringLiteral("10"));
            dialog.btnOK->click();
        });
        form->gdBody1->setFocus();
        form->gdBody1->setSelectedField(&module->cdsBody1.fieldByName("TD004"));
        QTest::keyClick(form->gdBody1, Qt::Key_F4);
        dialogs->clear();
        return shown;
    };
    ASSERT_EQ(module->cdsBody1.recordCount(), 1);
    EXPECT_FALSE(pressF4());
    EXPECT_EQ(module->cdsBody1.recordCount(), 1);
    EXPECT_EQ(module->cdsBody1.state(), DataSetState::Browse);
    EXPECT_FALSE(module->cdsBody1.hasChanges());

    addOrder("01");
    EXPECT_TRUE(pressF4());
    EXPECT_EQ(lineTexts("TD004"), (std::vector<std::string>{"A100", "K100"}));
    EXPECT_EQ(lineTexts("TD016"), (std::vector<std::string>{"N", "N"}));
    module->cdsBody1.first();
    EXPECT_DOUBLE_EQ(module->cdsBody1.fieldByName("TD008").asFloat(), 10);
    EXPECT_GT(module->cdsBody1.fieldByName("TD011").asFloat(), 0) << "the customer's price";
    EXPECT_DOUBLE_EQ(module->cdsBody1.fieldByName("TD038").asFloat(), 950) << "C001 at 95, tax type 2";
    EXPECT_DOUBLE_EQ(module->cdsBody1.fieldByName("TD039").asFloat(), 123.5) << "A100's 13 %";
    double net = 0;
    for (const std::string& amount : lineTexts("TD038"))
        net += std::stod(amount);
    EXPECT_DOUBLE_EQ(module->cdsMain.fieldByName("TC029").asFloat(), net) << "the head counts the set's lines";
    EXPECT_TRUE(switchesNormal());

    // On the new line the grid starts, nothing typed yet: the set's lines take its place.
    module->cdsBody1.append();
    EXPECT_TRUE(pressF4()) << lastMessage();
    EXPECT_EQ(lineTexts("TD004"), (std::vector<std::string>{"A100", "K100", "A100", "K100"}));

    onWindow<TfrmTavi52ZF>(dialogs, [this](TfrmTavi52ZF& dialog) {
        dialog.ed01->setText(QStringLiteral("S100"));
        dialog.ed02->setText(QStringLiteral("10"));
        sql("DELETE FROM \"PRTest50\".BOMMD WHERE MD001 = 'S100'");
        dialog.btnOK->click();
    });
    EXPECT_ANY_THROW(form->ExplodeSetItem());
    EXPECT_EQ(lineTexts("TD004"), (std::vector<std::string>{"A100", "K100", "A100", "K100"})) << "nothing appended";
    EXPECT_TRUE(switchesNormal());
    EXPECT_FALSE(module->cdsBody1.controlsDisabled());
}

// A line of 20 pieces and 4 free of A300 (12 to the box): the option lines are counted for 2
// boxes, the stock unit the item's structure is written in.
TEST_F(OrderCommandsTest, TheOptionLinesTakeTheLineQuantityInTheStockUnit)
{
    sql("UPDATE \"PRTest50\".COPTD SET TD004 = 'A300', TD010 = 'PCS', TD008 = 20, TD024 = 4 WHERE TD002 = "
        "'2501200001'");
    form->RunQuery();
    form->EditRecord();
    onWindow<TfrmTavi52FF>(dialogs, [](TfrmTavi52FF&) {});
    form->gdBody1IButtonClick();
    EXPECT_DOUBLE_EQ(form->optionQuantity(), 2);
    form->CancelRecord(false);
}

// A new order without lines, and a line without its item yet: the button asks for the item rather than
// starting a line or calling the server with no item.
TEST_F(OrderCommandsTest, TheOptionLinesAskForTheLinesItemFirst)
{
    form->AddRecord(true);
    form->gdBody1IButtonClick();
    EXPECT_EQ(module->cdsBody1.recordCount(), 0);
    EXPECT_EQ(module->cdsBody1.state(), DataSetState::Browse);
    module->cdsBody1.append();
    form->gdBody1IButtonClick();
    EXPECT_EQ(dialogs->shownMessages().size(), 2u);
    EXPECT_TRUE(shown("[品号]")) << lastMessage();
    form->CancelRecord(false);
}

// In a browsed order the option lines window opens for viewing: the line stays as browsed and
// the grid takes no typing. The button put the line into edit behind the browsed order.
TEST_F(OrderCommandsTest, TheOptionLinesOfABrowsedOrderOpenForViewingOnly)
{
    form->RunQuery();
    bool readOnly = false;
    onWindow<TfrmTavi52FF>(dialogs, [&](TfrmTavi52FF& window) { readOnly = window.DBGrid->readOnly(); });
    form->gdBody1IButtonClick();
    EXPECT_TRUE(readOnly);
    EXPECT_EQ(module->cdsBody1.state(), DataSetState::Browse);
    EXPECT_EQ(module->cdsFoot.state(), DataSetState::Browse);
    EXPECT_FALSE(module->cdsBody1.hasChanges());
}

// Two-unit mode, a line of A300 in cartons of 120 pieces: its quantities count pieces in three
// decimals. Leaving the column read them in the boxes' two, so 1 carton 15 pieces became 1.01.
TEST_F(OrderCommandsTest, TheQuantityStepReadsTheQuantityInTheLinesUnit)
{
    sql("UPDATE \"PRTest50\".SYS_PARAM SET PARAM_VALUE = '2' WHERE PARAM_NAME = 'SYS024'");
    sql("UPDATE \"PRTest50\".COPTD SET TD004 = 'A300', TD010 = 'CTN', TD008 = 1 WHERE TD002 = '2501200001'");
    form->brokers().SetSystemParameter("SYS024", "2");
    form->RunQuery();
    form->EditRecord();
    module->cdsBody1.edit();
    Field& quantity = module->cdsBody1.fieldByName("TD008");
    for (const auto& [typed, normalised] : {std::pair{"1.015", 1.015}, {"0.125", 1.005}}) {
        form->setChecksEnabled(false);
        SetFieldText(&quantity, typed, false);
        form->setChecksEnabled(true);
        form->runQuantityStep(quantity);
        EXPECT_DOUBLE_EQ(quantity.asFloat(), normalised) << typed;
    }
    form->CancelRecord(false);
}

} // namespace
} // namespace orvane::test
