#include "shell/HostObject.h"

#include "services/InterfaceTexts.h"
#include "services/Language_Convert.h"
#include "shell/DateInputComponent.h"
#include "shell/LookupComponent.h"
#include "shell/ServerAccess.h"
#include "shell/ServiceRelay.h"
#include "shell/ShellWindows.h"

namespace orvane {

HostObject::HostObject(ServerAccess& server, ShellWindows& windows, ProgramLauncher& launcher,
                       const LanguageTables& tables)
    : AutomationObject("Orvane.Host"), services_(server.createObject("OrvaneS.Services")), launcher_(launcher),
      tables_(tables)
{
    const DispatchPtr varManager = relay("Orvane.VarManager", {{"GetSysInfo", 1}});
    component("Com_VarManager", varManager);
    component("Com_Validator", relay("Orvane.Validator", {{"CheckValue", 5}, {"QueryData", 5}, {"QueryMaxSeq", 7}}));
    component("Com_Counter", relay("Orvane.Counter", {{"GETCOUNTER", 3}}));
    component("Com_Phrase", relay("Orvane.Phrase", {{"GetPhrase2", 4}}));
    component("Com_F2Window",
              std::make_shared<LookupComponent>(server.createObject("F2WindowS.Class1"), varManager, windows,
                                                ServerText(tables, server.dataCodePage())));
    component("Com_InputDate", std::make_shared<DateInputComponent>(windows));

    method("GetMessage", 2, [this](std::span<Variant> args) {
        // The text of the code in the interface language when the dictionary has one, else the server's.
        if (args[0].isString() && args[1].isString()) {
            if (std::optional<std::string> text =
                    InterfaceTexts::current()->message(args[0].asString(), args[1].asString()))
                return Variant(std::move(*text));
        }
        return services_->invoke("GetMessage", args);
    });
    method("ExecWork", 5, [this](std::span<Variant> args) {
        return Variant(launcher_.execWork(args[0], args[1], args[2], static_cast<int>(args[3].toInteger()), args[4]));
    });
    method("CallHelp", 1, [this](std::span<Variant> args) {
        launcher_.callHelp(args[0]);
        return Variant();
    });
    method("Connect", 0, [](std::span<Variant>) { return Variant(); });
    conversion("BIG5toGB", &LanguageTables::big5ToGb, false);
    conversion("GBtoBig5", &LanguageTables::gbToBig5, false);
    conversion("Big5ToGB", &LanguageTables::big5ToGb, true);
    conversion("GBToBig5", &LanguageTables::gbToBig5, true);
}

DispatchPtr HostObject::relay(std::string className, std::initializer_list<ServiceRelay::Relayed> methods) const
{
    return std::make_shared<ServiceRelay>(std::move(className), services_, methods);
}

void HostObject::component(std::string name, DispatchPtr object)
{
    method(std::move(name), 0, [object = std::move(object)](std::span<Variant>) { return Variant(object); });
}

void HostObject::conversion(std::string name, std::string (LanguageTables::*convert)(std::string_view) const,
                            bool byReference)
{
    method(std::move(name), 1, [&tables = tables_, convert, byReference](std::span<Variant> args) {
        if (!args[0].isString())
            return args[0];
        Variant converted((tables.*convert)(args[0].asString()));
        if (byReference)
            args[0] = converted;
        return converted;
    });
}

} // namespace orvane
