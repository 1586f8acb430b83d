// DLLFunc: the module's export GetController and its main initialisation: the program's main form class.
#include "module/DLLMTCtrller.h"
#include "salesorder/Tavi52CF.h"
#include "services/ZtMsg.h"

#include <stdexcept>

namespace orvane {
namespace {

TfrmVozuraz* createMainForm()
{
    return TfrmVozuraz::Create<TfrmTavi52>();
}

// Runs after the units' initialisations (the controller's registration).
const bool mainFormRegistered = (frmVozurazClass = &createMainForm, true);

} // namespace
} // namespace orvane

// A new controller for every call; the caller frees it. The module's exceptions that reach the
// edge of Qt go to the exception report, whichever shell loaded it.
extern "C" __attribute__((visibility("default"))) orvane::TDLLBaseController* GetController()
{
    if (orvane::DLLControllerClass == nullptr)
        throw std::logic_error("ZTK DLL Internal Error :\rNot Assign \"DLLControllerClass\" varible");
    orvane::installExceptionReportWriter();
    return orvane::DLLControllerClass();
}
