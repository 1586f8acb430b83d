// A program module whose GetController gives no controller, for the shell's loader tests.
#include "module/DLLBaseCtrller.h"

extern "C" __attribute__((visibility("default"))) orvane::TDLLBaseController* GetController()
{
    return nullptr;
}
