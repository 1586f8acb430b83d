// The memory of the order window holding a 2,000-line order, on the demonstration server
// offscreen: the process's resident set and the heap in use (glibc's mallinfo2) with the window
// open on no order, then browsing the order with its lines painted, then editing it. The
// figures are the growth over the window with no order. The server answers in this process
// (embedded), so its SQLite page cache is counted with the client.
#include "ShellHost.h"

#include "controls/DBGrid.h"
#include "framework/KnlVozuraz.h"
#include "salesorder/Tavi52CD.h"
#include "salesorder/Tavi52CF.h"

#include <malloc.h>
#include <unistd.h>

#include <fstream>
#include <optional>

namespace orvane {
namespace {

constexpr int lineCount = 2000;

// Order 2201-M2000: the demo order's head and its first line 2,000 times.
void populate(Database& db)
{
    const std::string head = db.dialect().companyTable("PRTest50", "COPTC");
    const std::string lines = db.dialect().companyTable("PRTest50", "COPTD");
    const auto columns = [&](const char* table) {
        std::string names;
        for (const DbRow& row : db.query(std::string("SELECT name FROM pragma_table_info('") + table + "')").rows)
            names += (names.empty() ? "" : ", ") + row[0].toString();
        return names;
    };
    const std::string headColumns = columns("COPTC");
    db.executeScript("BEGIN");
    db.execute("INSERT INTO " + head + " (" + headColumns + ") SELECT " +
               std::string(headColumns).replace(headColumns.find("TC002"), 5, "'M2000'") + " FROM " + head +
               " WHERE TC002 = '2501200001'");
    std::string lineColumns = columns("COPTD");
    std::string values = lineColumns;
    values.replace(values.find("TD002"), 5, "'M2000'");
    values.replace(values.find("TD003"), 5, "printf('%04d', n)");
    db.execute("INSERT INTO " + lines + " (" + lineColumns + ") SELECT " + values + " FROM " + lines +
               " CROSS JOIN (WITH RECURSIVE s(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM s WHERE n < " +
               std::to_string(lineCount) + ") SELECT n FROM s) WHERE TD002 = '2501200001' AND TD003 = '0001'");
    db.executeScript("COMMIT");
}

class MemoryWindow : public TfrmTavi52 {
protected:
    std::string ModuleFileName() const override { return "/opt/orvane/C_PKG/tavi52c.so"; }
};

struct FormFree {
    void operator()(TfrmVozuraz* form) const { TZtForm::Free(form); }
};

struct Memory {
    double residentMb = 0;
    double heapMb = 0;
};

// What the process holds now, after the window has painted and the heap's free tops are given back.
Memory measure(QWidget& window)
{
    window.grab();
    QCoreApplication::processEvents();
    malloc_trim(0);
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    const struct mallinfo2 heap = mallinfo2();
    return {static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0,
            static_cast<double>(heap.uordblks + heap.hblkhd) / 1048576.0};
}

void holdOrder(benchmark::State& state)
{
    static std::optional<ShellHostInstallation> installation;
    installation.emplace(true, "order-memory", populate);
    std::unique_ptr<MemoryWindow, FormFree> form(TfrmVozuraz::Create<MemoryWindow>());
    form->brokers().setHostObject(installation->host());
    form->PrepareProgram(Variant::arrayOf({"ZT", "PRTest50", "PRTest50", 0, Variant()}));
    form->resize(1366, 768);
    form->show();
    form->lastCondition = "TC002 = 'NONE'";
    form->RunQuery();
    const Memory empty = measure(*form);
    Memory browsing, editing;
    for (auto _ : state) {
        form->lastCondition = "TC002 = 'M2000'";
        form->RunQuery();
        if (form->orderModule()->cdsBody1.recordCount() != lineCount) {
            state.SkipWithError("the order did not bring its 2,000 lines");
            break;
        }
        form->gdBody1->scrollToBottom();
        browsing = measure(*form);
        form->EditRecord();
        editing = measure(*form);
        form->CancelRecord(false);
    }
    state.counters["empty_rss_MB"] = empty.residentMb;
    state.counters["browse_rss_growth_MB"] = browsing.residentMb - empty.residentMb;
    state.counters["browse_heap_growth_MB"] = browsing.heapMb - empty.heapMb;
    state.counters["edit_rss_growth_MB"] = editing.residentMb - empty.residentMb;
    state.counters["edit_heap_growth_MB"] = editing.heapMb - empty.heapMb;
    form.reset();
    installation.reset();
}

BENCHMARK(holdOrder)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvane

int main(int argc, char** argv)
{
    return orvane::runWindowBenchmarks(argc, argv);
}
