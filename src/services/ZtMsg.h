#pragma once
// ZtMsg: the message service: coded messages whose texts come from the shell, converted for the form,
// filled with the caller's values and shown in a message box whose buttons follow the type
// letter. Client thread only.

#include "platform/variant/Variant.h"
#include "services/OrvaneINI.h"
#include "ui/DialogService.h"

#include <span>
#include <string>
#include <string_view>

namespace orvane {

class TBrokers;
class TCodeConverter;

// What the message service needs of the form that shows the message.
struct MessageOwner {
    TBrokers& brokers;               // the shell connection ("GetMessage")
    const TCodeConverter& converter; // conversion mode and code pages
    QString caption;                 // the form's caption
};

// Shows message type/code; answers 1 OK, 2 Cancel, 6 Yes, 7 No. Type "W" with abortFlag set
// and an answer other than OK abandons the current operation with the silent abort.
int ShowMessageCode(const MessageOwner& owner, std::string_view type, std::string_view code, bool abortFlag,
                    std::span<const Variant> values);
// Shows text (client code page) in a box of the kind and buttons, with the mode's font.
int ShowCodeDialog(const MessageOwner& owner, std::string text, DialogKind kind, std::vector<int> buttons,
                   ConvertMode mode);

// Makes the user interface's exception guard write each exception it catches to the day's
// exception report (LibSys) before it shows the error box. The shell calls it at start-up and a
// program module's GetController too: the guard is process-wide.
void installExceptionReportWriter();

} // namespace orvane
