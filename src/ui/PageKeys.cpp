#include "ui/PageKeys.h"

#include <QStackedWidget>
#include <QTabWidget>

namespace orvane {

std::vector<int> shownPagesAfterCurrent(const QTabWidget& pages, int direction, bool wrap)
{
    std::vector<int> shown;
    const int count = pages.count();
    for (int step = 1; step < count; ++step) {
        int page = pages.currentIndex() + direction * step;
        if (wrap)
            page = (page % count + count) % count;
        if (page < 0 || page >= count)
            break;
        if (pages.isTabVisible(page) && pages.isTabEnabled(page))
            shown.push_back(page);
    }
    return shown;
}

QWidget* nextTabStop(QWidget* from, const QWidget* top)
{
    for (QWidget* w = from->nextInFocusChain(); w != from; w = w->nextInFocusChain()) {
        const bool takesTab = (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && w->focusProxy() == nullptr;
        if (top->isAncestorOf(w) && takesTab && w->isEnabled() && w->isVisibleTo(top))
            return w;
    }
    return nullptr;
}

QTabWidget* pagesHolding(QWidget* control)
{
    for (QWidget* w = control; w != nullptr && !w->isWindow(); w = w->parentWidget()) {
        // A tab widget's pages sit in its stack: its tab bar is no page.
        if (auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget())) {
            if (auto* pages = qobject_cast<QTabWidget*>(stack->parentWidget()))
                return pages;
        }
    }
    return nullptr;
}

} // namespace orvane
