#include "framework/LookupKeys.h"

#include <QAbstractItemView>

namespace orvane {

bool inGrid(const QWidget* control)
{
    for (const QWidget* w = control; w != nullptr && !w->isWindow(); w = w->parentWidget()) {
        if (qobject_cast<const QAbstractItemView*>(w) != nullptr)
            return true;
    }
    return false;
}

} // namespace orvane
