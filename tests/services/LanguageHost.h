#pragma once
// The shell's host object as far as messages and conversions go: "GetMessage" answers from a
// table keyed by type letter and code, and the four conversion methods use the real tables of the
// generated Language file (the by-reference pair writes its argument back, as the shell does).

#include "platform/variant/Dispatch.h"
#include "services/Language_Convert.h"

#include <map>
#include <string>
#include <vector>

namespace orvane::test {

class LanguageHost : public AutomationObject {
public:
    explicit LanguageHost(std::map<std::string, std::string> messages = {})
        : AutomationObject("Orvane.Host"), messages_(std::move(messages)),
          tables_(LanguageTables::load(ORVANE_LANGUAGE_FILE))
    {
        method("GetMessage", 2, [this](std::span<Variant> args) {
            const auto found = messages_.find(args[0].toString() + args[1].toString());
            return Variant(found == messages_.end() ? std::string() : found->second);
        });
        conversion("BIG5toGB", &LanguageTables::big5ToGb, false);
        conversion("GBtoBig5", &LanguageTables::gbToBig5, false);
        conversion("Big5ToGB", &LanguageTables::big5ToGb, true);
        conversion("GBToBig5", &LanguageTables::gbToBig5, true);
    }

    std::vector<std::string> calls; // the conversion methods called, in order

private:
    void conversion(std::string name, std::string (LanguageTables::*convert)(std::string_view) const, bool byReference)
    {
        method(name, 1, [this, name, convert, byReference](std::span<Variant> args) {
            calls.push_back(name);
            if (!args[0].isString())
                return args[0];
            Variant converted((tables_.*convert)(args[0].asString()));
            if (byReference)
                args[0] = converted;
            return converted;
        });
    }

    std::map<std::string, std::string> messages_;
    LanguageTables tables_;
};

} // namespace orvane::test
