// The query-by-example window over the order heads of the real embedded server: each case fills
// the window and checks the WHERE and ORDER texts it builds, exactly as the server receives them
// (which heads the server selects for such texts is the server's query test). Then the typing
// rules and a cancelled window.
#include "framework/ZtQBE.h"
#include "framework/ProgramHost.h"

#include "support/ScriptedDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

namespace orvane::test {
namespace {

template <typename Widget>
Widget& child(QWidget& form, const QString& name)
{
    auto* found = form.findChild<Widget*>(name);
    if (found == nullptr)
        throw std::logic_error("no component " + name.toStdString());
    return *found;
}

// A condition of page 1 (suffix "") or page 2 ("2"): the value is typed into the field's editor,
// or "ticked" ticks its check box.
struct Condition {
    const char *field, *op, *value, *logic = "AND";
};

void addCondition(QWidget& form, const QString& suffix, const Condition& condition)
{
    auto& fields = child<QComboBox>(form, "cboField" + suffix);
    fields.setCurrentIndex(fields.findText(QString::fromLatin1(condition.field), Qt::MatchStartsWith));
    child<QComboBox>(form, "CbOperator" + suffix).setCurrentText(QString::fromLatin1(condition.op));
    auto& check = child<QCheckBox>(form, "ckbValue" + suffix);
    auto& date = child<QLineEdit>(form, "edDateValue" + suffix);
    check.setChecked(std::string_view(condition.value) == "ticked");
    QLineEdit* typed = date.isVisibleTo(&form) ? &date : child<QComboBox>(form, "cboValue" + suffix).lineEdit();
    QTest::keyClicks(typed, QString::fromUtf8(condition.value));
    for (auto* button : child<QWidget>(form, "rgLogic" + suffix).findChildren<QRadioButton*>())
        button->setChecked(button->text() == QString::fromLatin1(condition.logic));
    child<QPushButton>(form, "BbAssign" + suffix).click();
}

struct Case {
    const char* name;
    std::vector<std::pair<const char*, const char*>> keyRows; // page 0: operator and value per row
    std::vector<Condition> head;                              // page 1
    bool bodyFilter = false;
    std::vector<Condition> body;                    // page 2
    std::vector<std::pair<const char*, bool>> sort; // field, descending
    std::string where, order;
};

const std::string lineCount = " ( select count(*) FROM PRTest50..COPTD COPTD where  (COPTC.TC001=COPTD.TD001) and "
                              " (COPTC.TC002=COPTD.TD002)";

const Case cases[] = {
    {.name = "no key values"},
    {.name = "key rows",
     .keyRows = {{"=", "2201"}, {"like", "0305"}},
     .where = "COPTC.TC001 = '2201' and COPTC.TC002 like '0305%'"},
    {.name = "like on a number is bare", .head = {{"TC029", "like", "100"}}, .where = "(COPTC.TC029 like 100%)"},
    {.name = "a quote is doubled", .head = {{"TC012", "=", "O'NEIL-1"}}, .where = "(COPTC.TC012 = 'O''NEIL-1')"},
    {.name = "a check box field takes its ticked value",
     .head = {{"TC027", "=", "ticked"}},
     .where = "(COPTC.TC027 = 'Y')"},
    {.name = "a date typed in its style (month first) is stored as YYYYMMDD",
     .head = {{"TC003", "=", "03052025"}},
     .where = "(COPTC.TC003 = '20250305')"},
    {.name = "the body filter alone counts lines", .bodyFilter = true, .where = lineCount + ") > 0 "},
    // Without the parentheses around the head part, the heads of C002 would pass without a line
    // of A100. A line's CREATOR qualified by the head table would be the head's.
    {.name = "the body filter holds for every head condition and names the line table",
     .head = {{"TC004", "=", "C002"}, {"TC029", "=", "100", "OR"}},
     .bodyFilter = true,
     .body = {{"TD004", "=", "A100"}, {"CREATOR", "=", "SALES01", "AND"}},
     .where = "((COPTC.TC004 = 'C002')\r\n  OR (COPTC.TC029 = 100)) and " + lineCount +
              " and  ( (COPTD.TD004 = 'A100')\r\n  AND (COPTD.CREATOR = 'SALES01') ) ) > 0 "},
    {.name = "sort fields", .sort = {{"TC003", false}, {"TC001", true}}, .order = "TC003 asc,TC001 desc"},
};

// Fills the window as the case says, on the page the case uses.
void fill(QWidget& form, const Case& test)
{
    auto& pages = child<QTabWidget>(form, "pgQBE");
    for (std::size_t row = 0; row < test.keyRows.size(); ++row) {
        const QString number = QString::number(row + 1);
        child<QComboBox>(form, "cboKeyFilter" + number).setCurrentText(QString::fromLatin1(test.keyRows[row].first));
        child<QLineEdit>(form, "edKeyValue" + number).setText(QString::fromLatin1(test.keyRows[row].second));
    }
    for (const auto& [field, descending] : test.sort) {
        auto& available = child<QListWidget>(form, "ListBox1");
        emit available.itemDoubleClicked(available.findItems(QString::fromLatin1(field), Qt::MatchStartsWith)[0]);
        auto& sorted = child<QListWidget>(form, "ListBox2");
        sorted.item(sorted.count() - 1)->setCheckState(descending ? Qt::Checked : Qt::Unchecked);
    }
    if (!test.head.empty() || test.bodyFilter)
        pages.setCurrentIndex(1);
    for (const Condition& condition : test.head)
        addCondition(form, "", condition);
    child<QCheckBox>(form, "chkBody").setChecked(test.bodyFilter);
    if (!test.body.empty())
        pages.setCurrentIndex(2);
    for (const Condition& condition : test.body)
        addCondition(form, "2", condition);
}

class ZtQBETest : public ModuleHostTest {
protected:
    void SetUp() override
    {
        ModuleHostTest::SetUp();
        ASSERT_TRUE(connectModule(module, brokers, owner, hostObject()));
        module.bindLines();
        form.setInputs({&module.cdsMain,
                        "COPTC",
                        "TC001,TC002",
                        {"TC001", "TC002", "TC003", "TC004", "TC012", "TC027", "TC029"},
                        {"TD004", "TD008", "CREATOR"},
                        "COPTD",
                        "TD001,TD002,TD003",
                        "PRTest50",
                        true,
                        {"TC027;CheckBox;Y;N"},
                        {"TC003"},
                        2,
                        "/"});
    }

    bool run(TQBEForm& window, std::function<void(QWidget&)> script)
    {
        dialogs->queueModalAction(std::move(script));
        return window.Execute();
    }

    ScriptedDialogs dialogs;
    HeadLinesModule module;
    TQBEForm form;
};

TEST_F(ZtQBETest, EachPageBuildsItsWhereAndOrderTexts)
{
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        TQBEForm fresh;
        fresh.setInputs(form.inputs());
        ASSERT_TRUE(run(fresh, [&](QWidget& window) {
            fill(window, test);
            child<QPushButton>(window, "BBOK").click();
        }));
        EXPECT_EQ(fresh.WhereText(), test.where);
        EXPECT_EQ(fresh.OrderText(), test.order);
    }
}

TEST_F(ZtQBETest, EditorsDropWhatTheirFieldCannotHoldAndAnEmptyValueIsRefused)
{
    ASSERT_TRUE(run(form, [](QWidget& window) {
        child<QTabWidget>(window, "pgQBE").setCurrentIndex(1);
        addCondition(window, "", {"TC029", "=", "1a2.3.4-"});
        addCondition(window, "", {"TC004", "=", "C0a1."});
        addCondition(window, "", {"TC012", "=", ""});
        EXPECT_EQ(child<QPlainTextEdit>(window, "Memo1").toPlainText(),
                  QStringLiteral("(COPTC.TC029 = 12.34-)\n  AND (COPTC.TC004 = 'C0a1.')"));
        auto& limit = child<QComboBox>(window, "cbTopRow");
        limit.setEditText(QString());
        QTest::keyClicks(limit.lineEdit(), QStringLiteral("12x3"));
        child<QPushButton>(window, "BBOK").click();
    }));
    EXPECT_EQ(form.RowLimit(), 123);
    ASSERT_EQ(dialogs->shownMessages().size(), 1u);
    EXPECT_EQ(dialogs->shownMessages()[0].text, QString::fromUtf8(u8"希望您能够先输入您要找的信息!"));
    EXPECT_EQ(dialogs->shownMessages()[0].kind, DialogKind::Error);

    ASSERT_TRUE(run(form, [](QWidget& window) {
        child<QComboBox>(window, "cbTopRow").setEditText(QString());
        child<QPushButton>(window, "BBOK").click();
    }));
    EXPECT_EQ(form.RowLimit(), TQBEForm::defaultRowLimit);
}

// Enter in the available fields confirmed the window instead of taking the field to the sort, and
// Enter in a value editor confirmed it without the value typed last.
TEST_F(ZtQBETest, SortFieldsAreChosenWithTheKeyboardAndEnterInAValueEditorAddsTheTypedValueBeforeConfirming)
{
    ASSERT_TRUE(run(form, [](QWidget& window) {
        child<QTabWidget>(window, "pgQBE").setCurrentIndex(1);
        auto& available = child<QListWidget>(window, "ListBox1");
        available.setFocus();
        available.setCurrentItem(available.findItems(QStringLiteral("TC003"), Qt::MatchStartsWith)[0]);
        QTest::keyClick(&available, Qt::Key_Return);
        EXPECT_TRUE(window.isVisible()) << "not confirmed";
        auto& sorted = child<QListWidget>(window, "ListBox2");
        sorted.setCurrentRow(0);
        QTest::keyClick(&sorted, Qt::Key_Space);

        addCondition(window, "", {"TC004", "=", "C002"});
        QLineEdit* value = child<QComboBox>(window, "cboValue").lineEdit();
        value->clear();
        QTest::keyClicks(value, QStringLiteral("C003"));
        QTest::keyClick(value, Qt::Key_Return);
    }));
    EXPECT_EQ(form.OrderText(), "TC003 desc");
    EXPECT_EQ(form.WhereText(), "(COPTC.TC004 = 'C002')\r\n  AND (COPTC.TC004 = 'C003')");
}

TEST_F(ZtQBETest, CancelKeepsTheOutputsAndTheNextShowStartsWithoutTheBodyFilter)
{
    ASSERT_TRUE(run(form, [](QWidget& window) {
        EXPECT_EQ(window.focusWidget(), &child<QLineEdit>(window, "edKeyValue1")) << "typing starts at the first key";
        fill(window, {.keyRows = {{"=", "2202"}}});
        QTest::keyClick(&child<QPushButton>(window, "BBOK"), Qt::Key_Return); // the keyboard alone confirms
    }));
    EXPECT_FALSE(run(form, [](QWidget& window) {
        fill(window, {.keyRows = {{"=", "2201"}}, .bodyFilter = true});
        child<QTabWidget>(window, "pgQBE").setCurrentIndex(2);
    }));
    EXPECT_EQ(form.WhereText(), "COPTC.TC001 = '2202'");

    run(form, [](QWidget& window) {
        auto& pages = child<QTabWidget>(window, "pgQBE");
        EXPECT_EQ(pages.currentIndex(), 1) << "a later show keeps the page, but not the body page";
        EXPECT_EQ(window.focusWidget(), &child<QComboBox>(window, "cboField"));
        EXPECT_FALSE(pages.isTabVisible(2));
        EXPECT_FALSE(child<QCheckBox>(window, "chkBody").isChecked());
    });
}

} // namespace
} // namespace orvane::test
