#pragma once
// The form side a data module meets in tests: the brokers' owner, the message service, the
// data-module owner and the export dialogs in one object that records what the module asked of it. A head-and-lines
// module binds cdsBody1 to the head's nested lines, as document modules do.

#include "framework/ExportDialogs.h"
#include "framework/SingleCD.h"
#include "services/Brokers.h"

#include <string>
#include <utility>
#include <vector>

namespace orvane::test {

class ModuleOwner : public BrokersOwner, public MessageCodeService, public DataModuleOwner, public ExportDialogs {
public:
    std::int64_t windowHandle() const override { return 0; }
    bool hasCommand(int) const override { return false; }
    int ShowMessageCode(std::string_view type, std::string_view code, bool, std::span<const Variant> values) override
    {
        messages.emplace_back(std::string(type) + std::string(code), values.empty() ? "" : values[0].toString());
        return answer;
    }
    RecordMode recordMode() const override { return mode; }
    bool ValidateDataSet(DataSet&) override { return valid; }
    void AfterRecordChange(DataSet& dataSet) override { recordChanges.push_back(dataSet.name()); }
    void ShowServerMessage(std::string_view text) override { shown.emplace_back(text); }
    void ShowInterfaceMessage(std::string_view text) override { shown.emplace_back(text); }
    std::string newNumber() const override { return number; }
    void setBusy(bool busy) override { busyCalls.push_back(busy); }
    void progressStart(std::string_view text, int total) override { progress.emplace_back(text, total); }
    void progressStep(int position) override { progressPositions.push_back(position); }
    void progressFinish() override { progress.emplace_back("finish", 0); }
    bool askYesNo(std::string_view text) override
    {
        questions.emplace_back(text);
        return openAnswer;
    }
    void showInformation(std::string_view text) override { shown.emplace_back(text); }
    bool openDocument(const std::string& path) override
    {
        opened.push_back(path);
        return openStarts;
    }
    std::string clientPath() const override { return client; }
    std::string programFolderName() const override { return "TAV"; }
    // The type letters and codes of the messages shown, in order.
    std::vector<std::string> messageCodes() const
    {
        std::vector<std::string> codes;
        for (const auto& [code, argument] : messages)
            codes.push_back(code);
        return codes;
    }

    RecordMode mode = RecordMode::Browse;
    bool valid = true;                                         // what ValidateDataSet answers
    int answer = 1;                                            // what message boxes answer
    std::string number;                                        // the new number
    std::vector<std::pair<std::string, std::string>> messages; // type+code, first argument
    std::vector<std::string> shown;                            // converted message boxes
    std::vector<std::string> recordChanges;
    std::vector<bool> busyCalls;
    std::vector<std::pair<std::string, int>> progress; // text and total per start; "finish" per close
    std::vector<int> progressPositions;
    std::vector<std::string> questions;
    std::vector<std::string> opened; // files the desktop was asked to open
    bool openAnswer = true;          // what yes/no questions answer
    bool openStarts = true;          // whether opening a file starts a program
    std::string client;              // the installation folder
};

// A table's fields followed by its audit fields, in their order.
inline std::vector<FieldDef> withAuditDefs(std::vector<FieldDef> fields)
{
    fields.insert(fields.end(),
                  {FieldDef::string("COMPANY", 10), FieldDef::string("CREATOR", 10), FieldDef::string("USR_GROUP", 10),
                   FieldDef::string("CREATE_DATE", 8), FieldDef::string("MODIFIER", 10),
                   FieldDef::string("MODI_DATE", 8), FieldDef::of("FLAG", FieldType::Float)});
    return fields;
}

// Gives the module its brokers and the owner's services, as a form does.
inline void attach(TdmVozuraz& module, TBrokers& brokers, ModuleOwner& owner)
{
    module.setBrokers(&brokers);
    module.setMessageService(&owner);
    module.setOwner(&owner);
}

// Names the demonstration user, company and order program to the brokers.
inline void signIn(TBrokers& brokers)
{
    brokers.setProgramId("TAVI52");
    brokers.setUserId("ZT");
    brokers.setCompanyId("PRTest50");
    brokers.setCompanyDb("PRTest50");
}

// Signs the brokers in over the shell's host object and connects the module and opens its data
// as a started form does.
inline bool connectModule(TdmVozuraz& module, TBrokers& brokers, ModuleOwner& owner, const Variant& hostObject)
{
    signIn(brokers);
    brokers.setHostObject(hostObject);
    attach(module, brokers, owner);
    return brokers.AcquireComponents() && module.ConnectServer() && module.OpenData();
}

// A single-table module whose head carries lines in cdsBody1.
class HeadLinesModule : public TdmSingle {
public:
    HeadLinesModule() { registerDataSet(cdsBody1); }
    ~HeadLinesModule() override { cdsBody1.close(); }

    // Binds cdsBody1 to the lines of an open cdsMain and reopens both.
    void bindLines()
    {
        cdsMain.close();
        cdsBody1.setDataSetField(cdsMain.fieldByName("qryBody"));
        OpenAllDataSets();
    }

    ClientDataSet cdsBody1{"cdsBody1"};
};

// The form's add command on an order module: an empty head dataset, then a new head of type 2201
// for customer C001 with one posted line of two A100.
inline void enterOrder(HeadLinesModule& module, ModuleOwner& owner, const std::string& number)
{
    owner.mode = RecordMode::Add;
    module.RefreshToday();
    module.OpenDataSet(module.cdsMain, "1=2", module.KeyFields());
    module.cdsMain.append();
    const std::pair<const char*, std::string> head[] = {
        {"TC001", "2201"}, {"TC002", number}, {"TC003", "20250301"}, {"TC004", "C001"}, {"TC039", "20250301"}};
    for (const auto& [name, value] : head)
        module.cdsMain.fieldByName(name).setAsString(value);
    module.cdsBody1.append();
    for (const auto& [name, value] :
         {std::pair{"TD001", "2201"}, {"TD002", number.c_str()}, {"TD003", "0001"}, {"TD004", "A100"}})
        module.cdsBody1.fieldByName(name).setAsString(value);
    module.cdsBody1.fieldByName("TD008").setAsFloat(2);
    module.cdsBody1.post();
}

} // namespace orvane::test
