// The query-by-example window over the demonstration order heads on the real embedded server:
// each case fills the window, checks the WHERE and ORDER texts it builds, then reopens the head
// dataset with them and checks the orders the server returns. Then the typing rules and a
// cancelled window.
#include "framework/ZtQBE.h"
#include "framework/ModuleOwner.h"
#include "framework/ProgramHost.h"

#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

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

// Orders beside the demonstration one (2201-2501200001, 20250120, C001, 1900, a line of A100):
// type, number, date, customer, customer order, amount, confirmed, the item of its one line.
struct Order {
    const char *type, *number, *date, *customer, *customerOrder;
    double amount;
    const char *confirmed, *lineItem;
};
const Order orders[] = {{"2201", "03050001", "20250305", "C002", "O'NEIL-1", 500, "N", "A200"},
                        {"2201", "03050002", "20250304", "C001", "", 100, "Y", "A100"},
                        {"2202", "03060001", "20250306", "C002", "", 1000, "N", nullptr}};

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
    std::vector<std::string> numbers; // TC002 of the heads returned: in order, or sorted without ORDER
};

const std::string lineCount = " ( select count(*) FROM PRTest50..COPTD COPTD where  (COPTC.TC001=COPTD.TD001) and "
                              " (COPTC.TC002=COPTD.TD002)";

const Case cases[] = {
    {.name = "no key values", .numbers = {"03050001", "03050002", "03060001", "2501200001"}},
    {.name = "key rows",
     .keyRows = {{"=", "2201"}, {"like", "0305"}},
     .where = "COPTC.TC001 = '2201' and COPTC.TC002 like '0305%'",
     .numbers = {"03050001", "03050002"}},
    {.name = "like on a number is bare",
     .head = {{"TC029", "like", "100"}},
     .where = "(COPTC.TC029 like 100%)",
     .numbers = {"03050002", "03060001"}},
    {.name = "a quote is doubled",
     .head = {{"TC012", "=", "O'NEIL-1"}},
     .where = "(COPTC.TC012 = 'O''NEIL-1')",
     .numbers = {"03050001"}},
    {.name = "a check box field takes its ticked value",
     .head = {{"TC027", "=", "ticked"}},
     .where = "(COPTC.TC027 = 'Y')",
     .numbers = {"03050002"}},
    {.name = "a date typed in its style (month first) is stored as YYYYMMDD",
     .head = {{"TC003", "=", "03052025"}},
     .where = "(COPTC.TC003 = '20250305')",
     .numbers = {"03050001"}},
    {.name = "the body filter alone counts lines",
     .bodyFilter = true,
     .where = lineCount + ") > 0 ",
     .numbers = {"03050001", "03050002", "2501200001"}},
    // Without the parentheses around the head part, the heads of C002 would pass without a line
    // of A100.
    {.name = "the body filter holds for every head condition",
     .head = {{"TC004", "=", "C002"}, {"TC029", "=", "100", "OR"}},
     .bodyFilter = true,
     .body = {{"TD004", "=", "A100"}},
     .where = "((COPTC.TC004 = 'C002')\r\n  OR (COPTC.TC029 = 100)) and " + lineCount +
              " and  ( (COPTC.TD004 = 'A100') ) ) > 0 ",
     .numbers = {"03050002"}},
    {.name = "sort fields",
     .sort = {{"TC003", false}, {"TC001", true}},
     .order = "TC003 asc,TC001 desc",
     .numbers = {"2501200001", "03050002", "03050001", "03060001"}},
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

class ZtQBETest : public ProgramHostTest {
protected:
    void SetUp() override
    {
        ProgramHostTest::SetUp();
        addOrders();
        ASSERT_TRUE(connectModule(module, brokers, owner, hostObject()));
        module.bindLines();
        form.setInputs({&module.cdsMain,
                        "COPTC",
                        "TC001,TC002",
                        {"TC001", "TC002", "TC003", "TC004", "TC012", "TC027", "TC029"},
                        {"TD004", "TD008"},
                        "COPTD",
                        "TD001,TD002",
                        "PRTest50",
                        true,
                        {"TC027;CheckBox;Y;N"},
                        {"TC003"},
                        2,
                        "/"});
    }

    void addOrders()
    {
        auto db = companyDatabase();
        keepOnlyTheFirstDemoOrder(*db);
        const auto heads = db->prepare("INSERT INTO \"PRTest50\".COPTC (COMPANY, FLAG, TC001, TC002, TC003, TC004, "
                                       "TC012, TC029, TC027) VALUES ('PRTest50', 1, ?, ?, ?, ?, ?, ?, ?)");
        const auto lines = db->prepare("INSERT INTO \"PRTest50\".COPTD (COMPANY, FLAG, TD001, TD002, TD003, TD004, "
                                       "TD008) VALUES ('PRTest50', 1, ?, ?, '0001', ?, 1)");
        for (const Order& order : orders) {
            const Variant head[] = {order.type,          order.number, order.date,     order.customer,
                                    order.customerOrder, order.amount, order.confirmed};
            heads->run(head);
            if (order.lineItem != nullptr) {
                const Variant line[] = {order.type, order.number, order.lineItem};
                lines->run(line);
            }
        }
    }

    // The order numbers of the heads the server returns for the window's texts.
    std::vector<std::string> reopen(const TQBEForm& window)
    {
        module.OpenDataSet(module.cdsMain, window.WhereText(), window.OrderText());
        std::vector<std::string> numbers;
        for (module.cdsMain.first(); !module.cdsMain.eof(); module.cdsMain.next())
            numbers.push_back(module.cdsMain.fieldByName("TC002").asString());
        return numbers;
    }

    bool run(TQBEForm& window, std::function<void(QWidget&)> script)
    {
        dialogs->queueModalAction(std::move(script));
        return window.Execute();
    }

    ScriptedDialogs dialogs;
    ModuleOwner owner;
    TBrokers brokers{owner, owner};
    HeadLinesModule module;
    TQBEForm form;
};

TEST_F(ZtQBETest, EachPageBuildsTextsTheServerAnswersWithTheRightOrders)
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
        std::vector<std::string> numbers = reopen(fresh);
        if (test.order.empty())
            std::ranges::sort(numbers);
        EXPECT_EQ(numbers, test.numbers);
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

TEST_F(ZtQBETest, CancelKeepsTheOutputsAndTheNextShowStartsWithoutTheBodyFilter)
{
    ASSERT_TRUE(run(form, [](QWidget& window) {
        fill(window, {.keyRows = {{"=", "2202"}}});
        child<QPushButton>(window, "BBOK").click();
    }));
    EXPECT_FALSE(run(form, [](QWidget& window) {
        fill(window, {.keyRows = {{"=", "2201"}}, .bodyFilter = true});
        child<QTabWidget>(window, "pgQBE").setCurrentIndex(2);
    }));
    EXPECT_EQ(form.WhereText(), "COPTC.TC001 = '2202'");
    EXPECT_EQ(reopen(form), std::vector<std::string>{"03060001"});

    run(form, [](QWidget& window) {
        auto& pages = child<QTabWidget>(window, "pgQBE");
        EXPECT_EQ(pages.currentIndex(), 1) << "a later show keeps the page, but not the body page";
        EXPECT_FALSE(pages.isTabVisible(2));
        EXPECT_FALSE(child<QCheckBox>(window, "chkBody").isChecked());
    });
}

} // namespace
} // namespace orvane::test
