// A short tour of the platform layer: late-bound objects, text in the installation's
// code page, money rounding and the tax split, a nested order saved through a provider,
// and the configuration files. Prints UTF-8.

#include "platform/config/IniFile.h"
#include "platform/data/ClientDataSet.h"
#include "platform/data/MemoryProvider.h"
#include "platform/data/SilentAbort.h"
#include "platform/text/CodePage.h"
#include "platform/text/DateText.h"
#include "platform/text/Format.h"
#include "platform/text/LocalText.h"
#include "platform/text/Rounding.h"
#include "platform/text/TaxSplit.h"
#include "platform/variant/Dispatch.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

namespace orvane {
namespace {

void heading(const char* title)
{
    std::cout << "\n== " << title << " ==\n";
}

// An automation class with a by-reference output, created by name.
class PriceCalculator : public AutomationObject {
public:
    PriceCalculator() : AutomationObject("Demo.PriceCalculator")
    {
        method("Gross", 3, [](std::span<Variant> args) {
            args[2] = text::roundTo(args[0].toFloat() * (1 + args[1].toFloat()), 2);
            return Variant(0);
        });
    }
};

void showLateBinding()
{
    heading("Late binding");
    AutomationRegistry::instance().registerClass("Demo.PriceCalculator",
                                                 [] { return std::make_shared<PriceCalculator>(); });
    DispatchPtr calculator = createAutomationObject("DEMO.PRICECALCULATOR");
    std::vector<Variant> args{100.0, 0.17, Variant()};
    calculator->invoke("gross", args);
    std::cout << "Gross(100, 0.17) wrote back " << args[2].toString() << " into its third argument\n";
    try {
        createAutomationObject("AddressC.Class1");
    } catch (const DispatchError& e) {
        std::cout << "Unknown class: " << e.what() << "\n";
    }
}

void showText()
{
    heading("Text and money");
    const std::string& caption = LOCAL_TEXT(u8"客户订单录入作业");
    std::cout << "The program name is " << caption.size() << " bytes in code page 936 and reads back as "
              << text::localToUtf8(caption) << "\n";
    std::cout << "2.675 to two decimals: " << text::fixedText(2.675, 2) << " (halves go away from zero)\n";
    std::cout << text::format("Formatted: [%10.*f] [%.4d] [%3.2f%%]", {2, 1234.5678, 42, 5.5}) << "\n";

    const Variant sameCurrency = Variant::arrayOf({"RMB", "RMB", 0.17, "1", 1.0, 2, 2, 27.0});
    const auto included = text::splitTax(sameCurrency);
    std::cout << "27.00 with 17% tax included: net " << text::fixedText(included[0], 2) << ", tax "
              << text::fixedText(included[1], 2) << "\n";
    const Variant foreign = Variant::arrayOf({"USD", "RMB", 0.17, "2", 6.8, 2, 0, 100.0});
    const auto excluded = text::splitTax(foreign);
    std::cout << "USD 100.00 plus 17% tax at 6.8: tax " << text::fixedText(excluded[1], 2) << ", local net "
              << text::fixedText(excluded[2], 0) << ", local tax " << text::fixedText(excluded[3], 0) << "\n";
    std::cout << "Thirty days after 20240215: " << text::addDays("20240215", 30) << "\n";
}

std::vector<FieldDef> lineFields()
{
    return {FieldDef::string("TD001", 4), FieldDef::string("TD002", 11), FieldDef::string("TD003", 4),
            FieldDef::of("TD008", FieldType::Float)};
}

std::vector<FieldDef> headFields(bool withLines)
{
    return {FieldDef::string("TC001", 4), FieldDef::string("TC002", 11), FieldDef::string("TC004", 10),
            FieldDef::dataSet("qryBody", withLines ? lineFields() : std::vector<FieldDef>{})};
}

void addLine(ClientDataSet& lines, const char* number, const char* quantity)
{
    lines.append();
    lines.fieldByName("TD001").setText("2201");
    lines.fieldByName("TD002").setText("0001");
    lines.fieldByName("TD003").setText(number);
    lines.fieldByName("TD008").setText(quantity);
    lines.post();
}

void showDatasets()
{
    heading("A nested order saved in one delta");
    auto provider = std::make_shared<MemoryProvider>(headFields(true));
    provider->setKeyFields("", {"TC001", "TC002"});
    provider->setKeyFields("qryBody", {"TD001", "TD002", "TD003"});

    ClientDataSet head("cdsMain");
    ClientDataSet lines("cdsBody1");
    head.addFields(headFields(false));
    lines.addFields(lineFields());
    lines.setDataSetField(head.fieldByName("qryBody"));
    head.setProvider(provider);
    head.setParams(Variant::arrayOf({"1=2", "TC001,TC002"}));
    head.open();
    lines.open();

    // A quantity check that refuses negative numbers without a message.
    lines.fieldByName("TD008").onValidate = [](Field& field) {
        if (field.asFloat() < 0)
            abortSilently();
    };

    head.append();
    head.fieldByName("TC001").setText("2201");
    head.fieldByName("TC002").setText("0001");
    head.fieldByName("TC004").setText("C001");
    head.post();
    addLine(lines, "0001", "12");
    addLine(lines, "0002", "3.5");
    lines.edit();
    try {
        lines.fieldByName("TD008").setText("-1");
    } catch (const SilentAbort&) {
        std::cout << "The check refused -1; the quantity stays " << lines.fieldByName("TD008").text() << "\n";
    }
    lines.post();

    std::cout << "Pending changes: " << head.changeCount() << "; failed records on apply: " << head.applyUpdates(0)
              << "\n";
    std::cout << "The provider now holds " << provider->rows().size() << " order with "
              << provider->rows().front().nested.front().size() << " lines\n";
}

void showConfiguration()
{
    heading("Configuration");
    const auto path = std::filesystem::temp_directory_path() / "orvane-demo-OrvaneC.ini";
    {
        IniFile ini(path);
        ini.writeString("Server Information", "ComputerName", "127.0.0.1");
        ini.writeInteger("Server Information", "ServerPort", 211);
        ini.save();
    }
    IniFile ini(path);
    for (const std::string& line : ini.readSectionValues("server information"))
        std::cout << line << "\n";
    std::filesystem::remove(path);
}

} // namespace
} // namespace orvane

int main()
{
    try {
        orvane::showLateBinding();
        orvane::showText();
        orvane::showDatasets();
        orvane::showConfiguration();
    } catch (const std::exception& e) {
        std::cerr << "orvane-demo: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
