#pragma once
// The form side of a data module in a benchmark: always adding, accepting every record, every
// coded message answered OK and kept ("E100380"), every refusal's text kept.

#include "framework/VozurazCD.h"
#include "services/Brokers.h"

#include <string>
#include <vector>

namespace orvane {

class AddingForm : public BrokersOwner, public MessageCodeService, public DataModuleOwner {
public:
    std::int64_t windowHandle() const override { return 0; }
    bool hasCommand(int) const override { return true; }
    int ShowMessageCode(std::string_view type, std::string_view code, bool, std::span<const Variant>) override
    {
        messages.push_back(std::string(type) + std::string(code));
        return 1;
    }
    RecordMode recordMode() const override { return RecordMode::Add; }
    bool ValidateDataSet(DataSet&) override { return true; }
    void AfterRecordChange(DataSet&) override {}
    void ShowServerMessage(std::string_view text) override { refusals.emplace_back(text); }
    void ShowInterfaceMessage(std::string_view text) override { refusals.emplace_back(text); }
    std::string newNumber() const override { return {}; }
    void setBusy(bool) override {}

    std::vector<std::string> messages;
    std::vector<std::string> refusals;
};

} // namespace orvane
