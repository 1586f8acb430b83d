#pragma once
// Why a control lost or took the focus, as the checks on leaving a control need to know it.

#include <QtCore/qnamespace.h>

namespace orvane {

// A box the check opens, a popup or another window taking the focus (or giving it back): no exit
// from the control and no entry into it, so its checks do not run.
inline bool focusTakenOver(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace orvane
