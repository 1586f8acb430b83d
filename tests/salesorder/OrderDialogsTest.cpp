// The order window's dialogs and its option lines window, real windows offscreen over the
// embedded demonstration server with scripted answers: the quotation written into the copy key,
// the package volume in cubic feet and the explosion's values, delivered quantities saved or
// given up, option lines built from the item's structure, chosen in the option list and keyed
// by their order when it is saved.
#include "framework/DocumentWindow.h"

#include "controls/DBEdit.h"
#include "controls/DBGrid.h"
#include "controls/MaskEdit.h"
#include "framework/DocumentDraft.h"
#include "salesorder/Tavi52CD.h"
#include "salesorder/Tavi52DF.h"
#include "salesorder/Tavi52FF.h"
#include "salesorder/Tavi52GF.h"
#include "salesorder/Tavi52IF.h"
#include "salesorder/Tavi52ZF.h"
#include "support/Contains.h"
#include "support/LocalText.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>

namespace orvane::test {
namespace {

// A document window over the order data module, standing in for the order window.
using OrderHost = DocumentFormOver<TdmTavi52>;

class OrderDialogsTest : public DocumentWindowTest {
protected:
    void SetUp() override
    {
        DocumentWindowTest::SetUp();
        form = started<OrderHost>();
        form->module().setFormSwitches(&switches);
    }
    void TearDown() override
    {
        form.reset();
        DocumentWindowTest::TearDown();
    }
    // The demonstration order 2201-2501200001 shown, its first line current.
    void showDemoOrder()
    {
        form->lastCondition = "TC002 = '2501200001'";
        form->RunQuery();
    }
    Field& line(const char* name) const { return form->module().cdsBody1.fieldByName(name); }
    Field& option(const char* name) const { return form->module().cdsFoot.fieldByName(name); }
    // The option lines as "TM004/TM006 TM007", in their order.
    std::vector<std::string> optionLines() const
    {
        std::vector<std::string> rows;
        ClientDataSet& foot = form->module().cdsFoot;
        for (foot.first(); !foot.eof(); foot.next())
            rows.push_back(option("TM004").asString() + "/" + option("TM006").asString() + " " +
                           option("TM007").asString());
        return rows;
    }
    // A new order being added with one line of the configurable item B100, 5 pieces; its option
    // lines window prepared, shown and the lines built from the item's structure.
    WindowPtr<TfrmTavi52FF> optionWindow()
    {
        addDocument(*form, "");
        TdmTavi52& module = form->module();
        module.SetAutoNumber(true); // the server numbers the order
        switches.checks = false;
        module.cdsBody1.append();
        for (const auto& [field, text] : {std::pair{"TD004", "B100"}, {"TD010", "PCS"}, {"TD007", "A01"}})
            line(field).setAsString(text);
        line("TD008").setAsFloat(5);
        module.cdsBody1.post();
        switches.checks = true;
        switches.optionQuantity = 5; // what the order window hands the option lines window

        WindowPtr<TfrmTavi52FF> window(TfrmVozuraz::Create<TfrmTavi52FF>(form.get(), module, moduleFile));
        window->setQuantity(5);
        window->brokers().setHostObject(hostObject());
        EXPECT_TRUE(window->PrepareProgram(startParams()));
        window->show();
        window->BuildOptionLines();
        return window;
    }
    // A new option row typed with the feature and the part, posted with F12.
    static void typeOption(TfrmTavi52FF& window, const std::string& feature, const std::string& part)
    {
        window.AddRecord(false);
        ClientDataSet& rows = *window.bodyDataSet();
        SetFieldText(rows.findField("TM004"), feature, false);
        SetFieldText(rows.findField("TM006"), part, false);
        window.miOK->trigger();
    }

    OrderFormSwitchValues switches;
    WindowPtr<OrderHost> form;
};

// 2101-2502200001 voided and 2101-2501150001 not yet confirmed are refused like a missing one, also
// when OK is clicked with the number still being typed (the click would otherwise close the dialog
// after showing the refusal of the number it leaves).
TEST_F(OrderDialogsTest, TheQuotationDialogWritesTheCopyKeyOnlyForAConfirmedQuotation)
{
    companyDatabase()->execute("UPDATE \"PRTest50\".COPTA SET TA027 = 'V' WHERE TA002 = '2502200001'");
    companyDatabase()->execute("UPDATE \"PRTest50\".COPTA SET TA027 = 'N' WHERE TA002 = '2501150001'");
    Variant copyKey = Variant::arrayOf({"", ""});
    WindowPtr<TfrmTavi52DF> dialog(new TfrmTavi52DF(*form, copyKey));
    onWindow<TfrmTavi52DF>(dialogs, [&](TfrmTavi52DF& shown) {
        EXPECT_EQ(shown.focusWidget(), shown.ed001);
        QTest::keyClicks(shown.ed001, QStringLiteral("2101"));
        QTest::keyClicks(shown.ed002, QStringLiteral("2501150001"));
        QTest::keyClicks(shown.ed001, QStringLiteral("9"));
        EXPECT_EQ(shown.ed001->text(), QStringLiteral("2101")) << "at most 4 characters";
        retype(*shown.ed001, QStringLiteral("2102"));
        EXPECT_TRUE(shown.ed002->text().isEmpty()) << "a new type empties the number";

        shown.btnOK->click();
        EXPECT_TRUE(shown.isVisible());
        EXPECT_TRUE(contains(lastMessage(), "[报价单号]不可空白"));

        retype(*shown.ed001, QStringLiteral("2101"));
        retype(*shown.ed002, QStringLiteral("2501159999"));
        leave(*shown.ed002);
        EXPECT_TRUE(contains(lastMessage(), "报价单不存在")) << "E 100061";
        EXPECT_EQ(shown.focusWidget(), shown.ed002);
        for (const QString& number : {QStringLiteral("2502200001"), QStringLiteral("2501150001")}) {
            retype(*shown.ed002, number);
            dialogs->clear();
            shown.btnOK->click();
            EXPECT_TRUE(shown.isVisible()) << number.toStdString();
            EXPECT_TRUE(contains(lastMessage(), "报价单不存在")) << "E 100061";
            EXPECT_EQ(shown.focusWidget(), shown.ed002);
        }
        companyDatabase()->execute("UPDATE \"PRTest50\".COPTA SET TA027 = 'Y' WHERE TA002 = '2501150001'");
        dialogs->clear();
        leave(*shown.ed002);
        EXPECT_TRUE(dialogs->shownMessages().empty()) << lastMessage();
        shown.btnOK->click();
    });
    ASSERT_EQ(dialog->ShowModal(), TfrmZtDialog::mrOK);
    EXPECT_EQ(copyKey[0].toString(), "2101");
    EXPECT_EQ(copyKey[1].toString(), "2501150001");
    EXPECT_TRUE(dialog->ed001->text().isEmpty() && dialog->ed002->text().isEmpty()) << "ready for the next copy";
}

TEST_F(OrderDialogsTest, ThePackageVolumeIsInCubicFeetToThreeDecimals)
{
    onWindow<TfrmTavi52ZF>(dialogs, [&](TfrmTavi52ZF& shown) {
        EXPECT_EQ(shown.ed001->text(), QStringLiteral("0"));
        retype(*shown.ed001, QStringLiteral("1a0"));
        retype(*shown.ed002, QStringLiteral("2.0.0"));
        EXPECT_EQ(shown.ed001->text(), QStringLiteral("10")) << "digits only";
        EXPECT_EQ(shown.ed002->text(), QStringLiteral("2.00")) << "one decimal point";
        retype(*shown.ed003, QString());
        leave(*shown.ed003);
        EXPECT_EQ(shown.ed003->text(), QStringLiteral("0")) << "an empty dimension counts as 0";
        retype(*shown.ed002, QStringLiteral("20"));
        retype(*shown.ed003, QStringLiteral("30"));
        QTest::keyClick(shown.ed003, Qt::Key_Return);
        shown.btnOK->click();
    });
    Variant volume;
    ASSERT_TRUE(ShowZF(*form, form->module(), TfrmTavi52ZF::volumePage, 300, 200, volume));
    EXPECT_DOUBLE_EQ(volume.toFloat(), 0.212);
}

TEST_F(OrderDialogsTest, TheExplosionPageAsksForItsRequiredValuesAndAnswersThemInOrder)
{
    showDemoOrder();
    std::string today;
    onWindow<TfrmTavi52ZF>(dialogs, [&](TfrmTavi52ZF& shown) {
        today = shown.Today();
        EXPECT_EQ(shown.StoredDate(shown.edDate03->fieldText()), today);
        EXPECT_FALSE(shown.ed07->isEnabled()) << "the main warehouse needs none";
        shown.btnOK->click();
        EXPECT_TRUE(shown.isVisible());
        EXPECT_TRUE(contains(lastMessage(), "[主件品号]不可空白"));

        retype(*shown.ed01, QStringLiteral("NOSUCH"));
        leave(*shown.ed01);
        EXPECT_TRUE(contains(lastMessage(), "不存在")) << "E 000001";
        retype(*shown.ed01, QStringLiteral("S100"));
        retype(*shown.ed02, QStringLiteral("3x"));
        QTest::sendKeyEvent(QTest::Click, shown.ed02, Qt::Key_unknown, QStringLiteral("３"), Qt::NoModifier);
        EXPECT_EQ(shown.ed02->text(), QStringLiteral("3")) << "ASCII digits only";
        shown.chk04->setFocus();
        QTest::keyClick(shown.chk04, Qt::Key_Space);
        QTest::keyClick(shown.chk04, Qt::Key_Return);
        EXPECT_EQ(shown.focusWidget(), shown.cbo05) << "Enter moves on from the ticked check box";
        shown.cbo05->setCurrentIndex(1);
        shown.cbo06->setCurrentIndex(1);
        EXPECT_TRUE(shown.ed07->isEnabled());
        retype(*shown.edDate08, QStringLiteral("20251399"));
        leave(*shown.edDate08);
        EXPECT_TRUE(contains(lastMessage(), "日期格式错误")) << "E 000005";
        retype(*shown.edDate08, QStringLiteral("20250301"));
        shown.btnOK->click();
        EXPECT_TRUE(contains(lastMessage(), "[输入仓库]不可空白")) << "a given warehouse is required";
        retype(*shown.ed07, QStringLiteral("A01"));
        shown.ed02->setText(QStringLiteral("1,000")); // as pasted
        shown.btnOK->click();
        EXPECT_TRUE(shown.isVisible());
        EXPECT_TRUE(contains(lastMessage(), "不是数字"));
        EXPECT_EQ(shown.focusWidget(), shown.ed02);
        retype(*shown.ed02, QStringLiteral("3"));
        shown.btnOK->click();
    });
    Variant values;
    ASSERT_TRUE(ShowZF(*form, form->module(), TfrmTavi52ZF::explosionPage, 420, 360, values));
    const Variant expected = Variant::arrayOf({"S100", 3.0, today, "Y", 2, 2, "A01", "20250301"});
    EXPECT_EQ(values, expected);
}

// An emptied date entered takes over the date before it: the planned delivery date the BOM
// date, the BOM date nothing (the quantity before it is no date).
TEST_F(OrderDialogsTest, AnEmptiedExplosionDateTakesOverOnlyADate)
{
    const auto enter = [](QWidget& control) {
        QFocusEvent event(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(&control, &event);
    };
    onWindow<TfrmTavi52ZF>(dialogs, [&](TfrmTavi52ZF& shown) {
        retype(*shown.ed02, QStringLiteral("10"));
        shown.edDate03->setFieldText(std::string());
        enter(*shown.edDate03);
        EXPECT_EQ(shown.StoredDate(shown.edDate03->fieldText()), "") << "not the quantity";
        shown.edDate03->setFieldText(shown.DateText("20250301"));
        shown.edDate08->setFieldText(std::string());
        enter(*shown.edDate08);
        EXPECT_EQ(shown.StoredDate(shown.edDate08->fieldText()), "20250301");
    });
    Variant values;
    ShowZF(*form, form->module(), TfrmTavi52ZF::explosionPage, 420, 360, values);
}

// The server explodes no set for 0: the dialog says so before it closes, keeping what was typed.
TEST_F(OrderDialogsTest, AnExplosionOfNoSetsIsRefusedInTheDialog)
{
    onWindow<TfrmTavi52ZF>(dialogs, [&](TfrmTavi52ZF& shown) {
        retype(*shown.ed01, QStringLiteral("S100"));
        retype(*shown.ed02, QStringLiteral("0.0"));
        shown.btnOK->click();
        EXPECT_TRUE(shown.isVisible());
        EXPECT_TRUE(contains(lastMessage(), "[数    量]必须大于零")) << lastMessage();
        EXPECT_EQ(shown.focusWidget(), shown.ed02);
        EXPECT_EQ(shown.ed01->text(), QStringLiteral("S100"));
        retype(*shown.ed02, QStringLiteral("0.5"));
        shown.btnOK->click();
    });
    Variant values;
    ASSERT_TRUE(ShowZF(*form, form->module(), TfrmTavi52ZF::explosionPage, 420, 360, values));
    EXPECT_DOUBLE_EQ(values[1].toFloat(), 0.5);
}

// The demo line orders 20 pieces and none free. Cancel gives up what was typed into the line; on OK
// 21 delivered, or 1 free delivered, is refused with the dialog kept open, nothing of it reaching
// the server, and what OK takes is saved.
TEST_F(OrderDialogsTest, NoMoreIsDeliveredThanTheLineOrders)
{
    showDemoOrder();
    ASSERT_DOUBLE_EQ(line("TD008").asFloat(), 20);
    onWindow<TfrmTavI52IF>(dialogs, [&](TfrmTavI52IF& shown) {
        EXPECT_TRUE(shown.editOf("TD033")->isHidden()) << "one unit: no package quantities";
        EXPECT_FALSE(shown.editOf("TD025")->isHidden());
        retype(*shown.editOf("TD009"), QStringLiteral("12"));
        leave(*shown.editOf("TD009"));
        EXPECT_DOUBLE_EQ(line("TD009").asFloat(), 12) << "typed into the line";
        shown.btn2->click();
    });
    Variant delivered;
    EXPECT_FALSE(ShowIF(*form, form->module(), delivered));
    EXPECT_DOUBLE_EQ(line("TD009").asFloat(), 0) << "the line as it was";
    EXPECT_FALSE(form->module().cdsMain.hasChanges());
    EXPECT_TRUE(line("TD009").readOnly()) << "read-only again";

    onWindow<TfrmTavI52IF>(dialogs, [&](TfrmTavI52IF& shown) {
        EXPECT_EQ(shown.focusWidget(), shown.editOf("TD009"));
        for (const auto& [field, typed] : {std::pair{"TD009", "21"}, {"TD025", "1"}}) {
            retype(*shown.editOf(field), QString::fromLatin1(typed));
            dialogs->clear();
            shown.btnOK->click();
            EXPECT_TRUE(shown.isVisible()) << field;
            EXPECT_TRUE(contains(lastMessage(), "不可大于")) << field << ": " << lastMessage();
            EXPECT_EQ(shown.focusWidget(), shown.editOf(field));
            retype(*shown.editOf(field), QStringLiteral("0"));
        }
        retype(*shown.editOf("TD009"), QStringLiteral("20"));
        QTest::keyClick(shown.editOf("TD009"), Qt::Key_Return);
        shown.btnOK->click();
    });
    ASSERT_TRUE(ShowIF(*form, form->module(), delivered)) << lastMessage();
    EXPECT_DOUBLE_EQ(delivered[0].toFloat(), 20);
    form->RunQuery();
    EXPECT_DOUBLE_EQ(line("TD009").asFloat(), 20) << "all that was ordered is delivered, saved on the server";
    EXPECT_DOUBLE_EQ(line("TD025").asFloat(), 0);
}

TEST_F(OrderDialogsTest, OptionLinesAreBuiltFromTheStructureAndKeyedByTheSavedOrder)
{
    WindowPtr<TfrmTavi52FF> window = optionWindow();
    EXPECT_TRUE(window->windowTitle().startsWith(QStringLiteral("选配信息 - 0")) &&
                window->windowTitle().endsWith(QStringLiteral(" B100")));
    EXPECT_EQ(optionLines(), (std::vector<std::string>{"F100/P101 5", "F200/P201 5"})) << "the default parts";
    EXPECT_EQ(option("TM004C").asString(), gbk("内存")) << "the name of the feature appended last";
    EXPECT_EQ(option("TM001").asString().substr(0, 1), "~") << "the new order's placeholder";
    EXPECT_EQ(option("CREATOR").asString(), "ZT");

    window->btnRedact->click();
    ASSERT_TRUE(window->AddRecord(false));
    EXPECT_EQ(window->Status->findChild<QLabel*>()->text(), QStringLiteral("新增"));
    EXPECT_EQ(option("TM008").asString(), "****") << "until a process is picked";
    typeOption(*window, "F100", "P102");
    EXPECT_TRUE(contains(lastMessage(), "同一特征件不可重复输入")) << "E 100279";
    window->CancelRecord(false);
    typeOption(*window, "O100", "P301");
    typeOption(*window, "O100", "P301");
    EXPECT_TRUE(contains(lastMessage(), "[F/O品号+料件品号]资料重复")) << "E 000002";
    window->CancelRecord(false);
    EXPECT_EQ(optionLines(), (std::vector<std::string>{"F100/P101 5", "F200/P201 5", "O100/P301 5.1"}));

    // F12 with the cell editor still open on a row being changed writes what the editor holds first.
    window->bodyDataSet()->edit();
    QApplication::setActiveWindow(window.get());
    window->DBGrid->setFocus();
    window->DBGrid->setSelectedFieldName(QStringLiteral("TM007"));
    window->DBGrid->edit(window->DBGrid->currentIndex());
    auto* cell = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(cell, nullptr);
    cell->selectAll();
    QTest::keyClicks(cell, QStringLiteral("6"));
    window->miOK->trigger();
    EXPECT_EQ(window->bodyDataSet()->state(), DataSetState::Browse);
    EXPECT_EQ(option("TM007").asFloat(), 6);

    ASSERT_TRUE(form->SaveRecord()) << lastMessage();
    const std::string number = form->NewNumber;
    showDocument(*form, number);
    form->module().cdsBody1.last();
    ASSERT_EQ(optionLines().size(), 3u) << "saved with the line";
    EXPECT_EQ(option("TM001").asString() + "-" + option("TM002").asString(), "2201-" + number);
    EXPECT_EQ(option("TM003").asString(), line("TD003").asString());
    EXPECT_FALSE(option("TM006C").asString().empty()) << "the part's name comes back";
}

TEST_F(OrderDialogsTest, TheOptionListChoosesAndGivesUpTheOptionsOfAFeature)
{
    WindowPtr<TfrmTavi52FF> window = optionWindow();
    window->btnRedact->click();
    typeOption(*window, "O100", "P301");
    window->ChooseOptions();
    EXPECT_TRUE(dialogs->shownMessages().empty()) << "an option row opens no list";

    ClientDataSet& foot = form->module().cdsFoot;
    ASSERT_TRUE(foot.locate("TM004", Variant("F200")));
    onWindow<TfrmTavi52GF>(dialogs, [&](TfrmTavi52GF& list) {
        ASSERT_EQ(list.lvForm->topLevelItemCount(), 2);
        EXPECT_EQ(list.lvForm->topLevelItem(0)->text(0), QStringLiteral("是")) << "P201 is chosen";
        EXPECT_EQ(list.lvForm->topLevelItem(1)->text(0), QStringLiteral("否"));
        EXPECT_EQ(list.lvForm->topLevelItem(1)->text(4), QStringLiteral("P:采购件"));
        list.lvForm->setFocus();
        list.lvForm->setCurrentItem(list.lvForm->topLevelItem(1));
        QTest::keyClick(list.lvForm, Qt::Key_Space);
        EXPECT_EQ(list.lvForm->topLevelItem(0)->text(0), QStringLiteral("否")) << "a feature takes one part";
        EXPECT_EQ(list.lvForm->topLevelItem(1)->text(0), QStringLiteral("是"));
        list.BitBtn1->click();
    });
    window->ChooseOptions();
    EXPECT_EQ(optionLines(), (std::vector<std::string>{"F100/P101 5", "F200/P202 10", "O100/P301 5.1"}));

    ASSERT_TRUE(foot.locate("TM004", Variant("F200")));
    onWindow<TfrmTavi52GF>(dialogs, [&](TfrmTavi52GF& list) {
        list.toggle(1);
        list.BitBtn1->click();
    });
    window->ChooseOptions();
    EXPECT_EQ(optionLines(), (std::vector<std::string>{"F100/P101 5", "O100/P301 5.1"}))
        << "no option chosen removes the feature's rows";

    ASSERT_TRUE(foot.locate("TM004", Variant("F100")));
    onWindow<TfrmTavi52GF>(dialogs, [&](TfrmTavi52GF& list) {
        list.toggle(0);
        list.BitBtn2->click();
    });
    window->ChooseOptions();
    EXPECT_EQ(optionLines().size(), 2u) << "Cancel changes nothing";
}

TEST_F(OrderDialogsTest, ADraftKeepsTheOptionLinesOfEveryLine)
{
    WindowPtr<TfrmTavi52FF> window = optionWindow();
    window.reset();
    ClientDataSet& lines = form->module().cdsBody1;
    switches.checks = false;
    lines.append(); // a plain line after it, being typed: the option lines are not the current line's
    line("TD004").setAsString("A100");
    form->draft()->writeNow();
    const std::filesystem::path slot = form->draft()->slot()->file();
    const std::string kept = readFile(slot);
    form->CancelRecord(false);
    form.reset();

    // The window died; the next one restores the draft it left.
    writeFile(slot, kept);
    dialogs->queueAnswer(DialogAnswer::Yes);
    form = started<OrderHost>();
    form->module().setFormSwitches(&switches);
    ASSERT_EQ(form->module().cdsBody1.viewRowCount(), 4) << "A100, A200, B100 and the typed line";
    ASSERT_EQ(form->module().cdsBody1.state(), DataSetState::Insert);
    form->module().cdsBody1.cancel(); // the typed line, priceless, is given up
    ASSERT_TRUE(form->module().cdsBody1.locate("TD004", Variant("B100")));
    EXPECT_EQ(optionLines(), (std::vector<std::string>{"F100/P101 5", "F200/P201 5"}));
    form->module().cdsBody1.first();
    EXPECT_TRUE(optionLines().empty()) << "A100 has none";

    switches.checks = true;
    ASSERT_TRUE(form->SaveRecord()) << lastMessage(); // the draft kept the automatic numbering
    const std::string number = form->NewNumber;
    showDocument(*form, number);
    ASSERT_TRUE(form->module().cdsBody1.locate("TD004", Variant("B100")));
    EXPECT_EQ(optionLines().size(), 2u) << "saved with the restored line";
    EXPECT_EQ(option("TM002").asString(), number);
}

} // namespace
} // namespace orvane::test
