// The order window's bulk commands on the embedded demonstration server, offscreen: copying a
// quotation of 100 and of 1,000 lines into a new order, and exploding a set of 50 and of 200
// components into lines, so that the time per line can be read off the two sizes. A bare round
// trip is measured beside them.
#include "RoundTripTiming.h"
#include "ShellHost.h"

#include "framework/KnlVozuraz.h"
#include "salesorder/Tavi52CD.h"
#include "salesorder/Tavi52CF.h"
#include "salesorder/Tavi52ZF.h"

#include <QLineEdit>
#include <QPushButton>

#include <map>
#include <optional>

namespace orvane {
namespace {

// Copies the rows of table matching where, `copies` times, with the columns of `changed` set to
// the SQL expressions given (the copy's number is n, from 1).
void copyRows(Database& db, const std::string& table, const std::string& where, int copies,
              const std::map<std::string, std::string>& changed)
{
    std::string names, values;
    for (const DbRow& row : db.query("SELECT name FROM pragma_table_info('" + table + "')").rows) {
        const std::string name = row[0].toString();
        const auto change = changed.find(name);
        names += (names.empty() ? "" : ", ") + name;
        values += (values.empty() ? "" : ", ") + (change != changed.end() ? change->second : name);
    }
    const std::string qualified = db.dialect().companyTable("PRTest50", table);
    db.execute("INSERT INTO " + qualified + " (" + names + ") SELECT " + values + " FROM " + qualified +
               " CROSS JOIN (WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s WHERE n < " +
               std::to_string(copies) + ") SELECT n FROM s) WHERE " + where);
}

// Quotations Q100 and Q1000 with as many lines, sets S50 and S200 with as many components.
void populate(Database& db)
{
    db.executeScript("BEGIN");
    for (const int lines : {100, 1000}) {
        const std::string number = "'Q" + std::to_string(lines) + "'";
        copyRows(db, "COPTA", "TA002 = '2501150001' AND n = 1", 1, {{"TA002", number}});
        copyRows(db, "COPTB", "TB002 = '2501150001' AND TB003 = '0001'", lines,
                 {{"TB002", number}, {"TB003", "printf('%04d', n)"}});
    }
    for (const int components : {50, 200}) {
        const std::string item = "'S" + std::to_string(components) + "'";
        copyRows(db, "INVMB", "MB001 = 'S100' AND n = 1", 1, {{"MB001", item}});
        copyRows(db, "BOMMC", "MC001 = 'S100' AND n = 1", 1, {{"MC001", item}});
        copyRows(db, "BOMMD", "MD001 = 'S100' AND MD002 = '0010'", components,
                 {{"MD001", item}, {"MD002", "printf('%04d', n)"}});
    }
    db.executeScript("COMMIT");
}

class BenchWindow : public TfrmTavi52 {
public:
    using TfrmTavi52::ExplodeSetItem;

protected:
    std::string ModuleFileName() const override { return "/opt/orvane/C_PKG/tavi52c.so"; }
};

struct FormFree {
    void operator()(TfrmVozuraz* form) const { TZtForm::Free(form); }
};
using WindowPtr = std::unique_ptr<BenchWindow, FormFree>;

ShellHostInstallation& installation()
{
    static std::optional<ShellHostInstallation> made;
    if (!made)
        made.emplace(true, "order-commands", populate);
    return *made;
}

WindowPtr openWindow()
{
    WindowPtr form(TfrmVozuraz::Create<BenchWindow>());
    form->brokers().setHostObject(installation().host());
    if (!form->PrepareProgram(Variant::arrayOf({"ZT", "PRTest50", "PRTest50", 0, Variant()})))
        throw std::runtime_error("the order window did not start");
    form->show();
    QCoreApplication::processEvents();
    return form;
}

// A new order of C001 in factory 01 dated within the quotations' validity.
void addOrder(BenchWindow& form)
{
    form.AddRecord(true);
    ClientDataSet& head = form.orderModule()->cdsMain;
    for (const auto& [field, value] :
         {std::pair{"TC001", "2201"}, {"TC002", "B00001"}, {"TC004", "C001"}, {"TC039", "20250301"}})
        SetFieldText(&head.fieldByName(field), value, false);
}

// Each iteration: a new order, the command, the order dropped (untimed).
template <typename Command>
void timeCommand(benchmark::State& state, int expectedLines, Command&& command)
{
    WindowPtr form = openWindow();
    for (auto _ : state) {
        state.PauseTiming();
        addOrder(*form);
        state.ResumeTiming();
        command(*form);
        QCoreApplication::processEvents();
        state.PauseTiming();
        const int lines = form->orderModule()->cdsBody1.recordCount();
        form->CancelRecord(false);
        state.ResumeTiming();
        if (lines != expectedLines) {
            state.SkipWithError("the command did not bring every line");
            break;
        }
    }
    state.counters["lines"] = expectedLines;
}

void copyQuotation(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    timeCommand(state, lines, [&](BenchWindow& form) {
        form.CopyKey = Variant::arrayOf({Variant("2101"), Variant("Q" + std::to_string(lines))});
        form.CopyFromSource();
    });
}

void explodeSet(benchmark::State& state)
{
    const int components = static_cast<int>(state.range(0));
    timeCommand(state, components, [&](BenchWindow& form) {
        DialogService::instance().queueModalAction([&](QWidget& shown) {
            auto& dialog = dynamic_cast<TfrmTavi52ZF&>(shown);
            dialog.ed01->setText(QString::fromStdString("S" + std::to_string(components)));
            dialog.ed02->setText(QStringLiteral("10"));
            dialog.btnOK->click();
        });
        form.ExplodeSetItem();
    });
}

void roundTrip(benchmark::State& state)
{
    DispatchPtr services = installation().access().createObject("OrvaneS.Services");
    bench::timeBareRoundTrips(state, *services);
}

BENCHMARK(roundTrip)->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(copyQuotation)->Arg(100)->Arg(1000)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(explodeSet)->Arg(50)->Arg(200)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvane

int main(int argc, char** argv)
{
    return orvane::runWindowBenchmarks(argc, argv);
}
