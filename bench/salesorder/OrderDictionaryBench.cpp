// The data dictionary applied to the order window at start, offscreen over the embedded
// demonstration server: the framework's and the program's component rows and the program's field
// rows of the English dictionary (the three files read, every row applied, the grids and labels
// renewed). A bare round trip is measured beside it.
#include "RoundTripTiming.h"
#include "ShellHost.h"

#include "framework/DDObject.h"
#include "salesorder/Tavi52CF.h"

#include <optional>

namespace orvane {
namespace {

class BenchWindow : public TfrmTavi52 {
protected:
    std::string ModuleFileName() const override { return "/opt/orvane/C_PKG/tavi52c.so"; }
};

struct FormFree {
    void operator()(TfrmVozuraz* form) const { TZtForm::Free(form); }
};

ShellHostInstallation& installation()
{
    static std::optional<ShellHostInstallation> made;
    if (!made) {
        made.emplace(true, "order-dictionary");
        std::filesystem::copy(ORVANE_DICTIONARY_FOLDER, made->folder() / "client" / "C_DATA");
    }
    return *made;
}

void applyDictionary(benchmark::State& state)
{
    std::unique_ptr<BenchWindow, FormFree> form(TfrmVozuraz::Create<BenchWindow>());
    form->brokers().setHostObject(installation().host());
    if (!form->PrepareProgram(Variant::arrayOf({"ZT", "PRTest50", "PRTest50", 0, Variant()})))
        throw std::runtime_error("the order window did not start");
    form->show();
    QCoreApplication::processEvents();
    bench::timeEach(state, [&] {
        TDDObject::Apply("ENG", "Vozuraz", *form);
        TDDObject::Apply("ENG", "TAVI52", *form);
        form->DictionaryObject = std::make_unique<TDDField>("ENG", "TAVI52", *form, *form->dataModule());
        return form->DictionaryObject->records().size();
    });
    if (form->DictionaryObject->records().empty())
        throw std::runtime_error("no field row was applied");
}

void roundTrip(benchmark::State& state)
{
    DispatchPtr services = installation().access().createObject("OrvaneS.Services");
    bench::timeBareRoundTrips(state, *services);
}

BENCHMARK(roundTrip)->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(applyDictionary)->Iterations(50)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orvane

int main(int argc, char** argv)
{
    return orvane::runWindowBenchmarks(argc, argv);
}
