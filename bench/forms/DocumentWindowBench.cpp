// A document window (the framework's head-and-lines form over the order tables) on a demonstration
// company holding 10,000 stored documents of 50 lines each, embedded and over loopback TCP:
// opening the window on them, scrolling the head list packet by packet, switching between
// documents, and adding a document of 500 lines and saving it. Each step runs on the GUI thread
// as a clerk's key or scroll does, repaint included, so its time is also how long the window
// stays frozen. Scrolling through all of them is also measured with a stall probe (the longest
// gap between ticks of a 5 ms timer), with the head list's packets read ahead on a worker and,
// for comparison, read on the GUI thread. A bare round trip of the same road is measured
// beside them.
#include "RoundTripTiming.h"
#include "ShellHost.h"

#include "controls/DBGrid.h"
#include "framework/DoubleCF.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <optional>

namespace orvane {
namespace {

constexpr int storedDocuments = 10000;
constexpr int linesPerDocument = 50;
constexpr int linesOfTheNewDocument = 500;

// Fills the company with copies of the demonstration order and its line, numbered apart from it.
void storeDocuments(Database& db)
{
    const SqlDialect& dialect = db.dialect();
    const std::string heads = dialect.companyTable("PRTest50", "COPTC");
    const std::string lines = dialect.companyTable("PRTest50", "COPTD");
    const auto columnsOf = [&](const std::string& table, const std::string& keyColumn, const std::string& keyValue,
                               const std::string& lineColumn) {
        std::string names, values;
        for (const DbRow& row : db.query("SELECT name FROM pragma_table_info('" + table + "')").rows) {
            const std::string name = row[0].toString();
            names += (names.empty() ? "" : ", ") + name;
            values += (values.empty() ? "" : ", ") + (name == keyColumn    ? keyValue
                                                      : name == lineColumn ? "printf('%04d', m.n)"
                                                                           : name);
        }
        return std::make_pair(names, values);
    };
    db.executeScript("BEGIN");
    db.execute("CREATE TEMP TABLE seq AS WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s WHERE n < " +
               std::to_string(storedDocuments) + ") SELECT n FROM s");
    const auto [headNames, headValues] = columnsOf("COPTC", "TC002", "printf('24%08d', d.n)", "");
    db.execute("INSERT INTO " + heads + " (" + headNames + ") SELECT " + headValues + " FROM " + heads +
               " CROSS JOIN seq d WHERE TC002 = '2501200001'");
    const auto [lineNames, lineValues] = columnsOf("COPTD", "TD002", "printf('24%08d', d.n)", "TD003");
    db.execute("INSERT INTO " + lines + " (" + lineNames + ") SELECT " + lineValues + " FROM " + lines +
               " CROSS JOIN seq d CROSS JOIN (SELECT n FROM seq WHERE n <= " + std::to_string(linesPerDocument) +
               ") m WHERE TD002 = '2501200001'");
    db.executeScript("COMMIT");
}

class BenchModule : public TdmDouble {
public:
    void NewHeadDefaults() override
    {
        TdmDouble::NewHeadDefaults();
        SetAutoNumber(true);
    }
};

class BenchForm : public TfrmDouble {
public:
    void ConfigureDocument() override
    {
        TfrmDouble::ConfigureDocument();
        CommandMask = 255;
        NumberDateField = "TC039";
    }
    DataModuleFactory DataModuleClass() const override
    {
        return [] { return std::make_unique<BenchModule>(); };
    }

protected:
    void FormCreate() override
    {
        CreateDataModule();
        TfrmDouble::FormCreate();
    }
    std::string ModuleFileName() const override { return "/opt/orvane/C_PKG/tavi52c.so"; }
};

ShellHostInstallation& installation(bool embedded)
{
    static std::optional<ShellHostInstallation> installations[2];
    std::optional<ShellHostInstallation>& made = installations[embedded ? 0 : 1];
    if (!made)
        made.emplace(embedded, "forms", storeDocuments);
    return *made;
}

struct FormFree {
    void operator()(TfrmVozuraz* form) const { TZtForm::Free(form); }
};
using FormPtr = std::unique_ptr<BenchForm, FormFree>;

// A window started as the shell starts a program: it opens on every stored document, the
// first packet shown.
FormPtr openWindow(const ShellHostInstallation& on)
{
    FormPtr form(TfrmVozuraz::Create<BenchForm>());
    form->brokers().setHostObject(on.host());
    if (!form->PrepareProgram(Variant::arrayOf({"ZT", "PRTest50", "PRTest50", 0, Variant()})))
        throw std::runtime_error("the document window did not start");
    form->show();
    QCoreApplication::processEvents();
    return form;
}

// Runs one step per iteration, with the events it posts (the repaint) processed.
template <typename Step>
void timeSteps(benchmark::State& state, Step&& step)
{
    bench::timeEach(state, [&] {
        step();
        QCoreApplication::processEvents();
        return 0;
    });
}

void openOnStoredDocuments(benchmark::State& state, bool embedded)
{
    ShellHostInstallation& on = installation(embedded);
    timeSteps(state, [&] { openWindow(on); });
}

// Each step is one packet the head list asks for when scrolled to its end, read on the GUI
// thread: the whole work of a packet.
void scrollInPackets(benchmark::State& state, bool embedded)
{
    FormPtr form = openWindow(installation(embedded));
    form->doubleModule()->cdsMain.setReadsAhead(false);
    timeSteps(state, [&] {
        if (!form->gdHead->model()->canFetchMore({})) {
            state.PauseTiming();
            form = openWindow(installation(embedded));
            form->doubleModule()->cdsMain.setReadsAhead(false);
            state.ResumeTiming();
        }
        form->gdHead->model()->fetchMore({});
    });
}

// The longest gap between ticks of a 5 ms timer while it lives: how long the window could not
// answer a key or repaint.
class StallProbe {
public:
    StallProbe()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        timer_.start(5);
        clock_.start();
    }
    void tick() { longest_ = std::max(longest_, clock_.restart()); }
    qint64 longestMs() const { return longest_; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 longest_ = 0;
};

// The baseline of the stall probe: its longest gap over an idle event loop for five seconds,
// which is the machine's scheduling, not the window's work.
void idleStall(benchmark::State& state)
{
    qint64 longest = 0;
    for (auto _ : state) {
        const StallProbe probe;
        QElapsedTimer idle;
        idle.start();
        while (idle.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        longest = probe.longestMs();
    }
    state.counters["longest_stall_ms"] = static_cast<double>(longest);
}

// Each iteration scrolls the head list from the first packet to the last document, one packet
// after the other as soon as the previous one shows, with the window's events handled between.
void scrollThroughAll(benchmark::State& state, bool embedded, bool readAhead)
{
    qint64 longest = 0;
    for (auto _ : state) {
        state.PauseTiming();
        FormPtr form = openWindow(installation(embedded));
        ClientDataSet& heads = form->doubleModule()->cdsMain;
        heads.setReadsAhead(readAhead);
        QAbstractItemModel& list = *form->gdHead->model();
        state.ResumeTiming();
        const StallProbe probe;
        while (list.canFetchMore({})) {
            list.fetchMore({});
            while (heads.readingAhead())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            QCoreApplication::processEvents();
        }
        longest = std::max(longest, probe.longestMs());
        if (!heads.allFetched() || list.rowCount() < storedDocuments)
            state.SkipWithError("the head list did not show every stored document");
    }
    state.counters["longest_stall_ms"] = static_cast<double>(longest);
}

void switchDocuments(benchmark::State& state, bool embedded)
{
    FormPtr form = openWindow(installation(embedded));
    ClientDataSet& heads = form->doubleModule()->cdsMain;
    timeSteps(state, [&] {
        if (heads.eof())
            heads.first();
        heads.next();
    });
    if (form->doubleModule()->cdsBody1.recordCount() != linesPerDocument)
        state.SkipWithError("a stored document did not bring its lines");
}

void addDocumentOfManyLines(benchmark::State& state, bool embedded)
{
    FormPtr form = openWindow(installation(embedded));
    TdmDouble& module = *form->doubleModule();
    timeSteps(state, [&] {
        form->AddRecord(true);
        module.cdsMain.fieldByName("TC001").setAsString("2201");
        module.cdsMain.fieldByName("TC039").setAsString("20250301");
        module.cdsMain.fieldByName("TC004").setAsString("C001");
        for (int line = 0; line < linesOfTheNewDocument; ++line) {
            module.cdsBody1.append();
            module.cdsBody1.fieldByName("TD004").setAsString("A100");
            module.cdsBody1.fieldByName("TD007").setAsString("A01");
            module.cdsBody1.post();
        }
        if (!form->SaveRecord())
            state.SkipWithError("the document was not saved");
        form->CancelRecord(false);
    });
}

void roundTrip(benchmark::State& state, bool embedded)
{
    ShellHostInstallation& on = installation(embedded);
    DispatchPtr services = on.access().createObject("OrvaneS.Services");
    timeSteps(state, [&] { services->invoke("Today", {}); });
}

#define DOCUMENT_STEP(step, iterations)                                                                                \
    BENCHMARK_CAPTURE(step, embedded, true)->Iterations(iterations)->Unit(benchmark::kMillisecond);                    \
    BENCHMARK_CAPTURE(step, loopback, false)->Iterations(iterations)->Unit(benchmark::kMillisecond);

DOCUMENT_STEP(roundTrip, 200)
DOCUMENT_STEP(openOnStoredDocuments, 20)
DOCUMENT_STEP(scrollInPackets, 100)
DOCUMENT_STEP(switchDocuments, 200)
DOCUMENT_STEP(addDocumentOfManyLines, 10)

BENCHMARK(idleStall)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scrollThroughAll, embedded_readAhead, true, true)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scrollThroughAll, embedded_onGuiThread, true, false)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scrollThroughAll, loopback_readAhead, false, true)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scrollThroughAll, loopback_onGuiThread, false, false)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvane

int main(int argc, char** argv)
{
    return orvane::runWindowBenchmarks(argc, argv);
}
