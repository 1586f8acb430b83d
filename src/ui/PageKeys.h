#pragma once
// Moving between the pages of a tab widget from the keyboard: only over the pages whose tabs show,
// since a hidden tab's page holds what the window leaves out, and into a page's first control.

#include <vector>

class QTabWidget;
class QWidget;

namespace orvane {

// The pages after the current one going in direction (1 forward, -1 back) whose tabs show and are
// enabled, in that order; round past either end up to the current one when wrap is set.
std::vector<int> shownPagesAfterCurrent(const QTabWidget& pages, int direction, bool wrap);

// The first control after from in its window's focus chain that Tab reaches within top, taking top
// as shown (a page not yet shown counts); null when top holds none.
QWidget* nextTabStop(QWidget* from, const QWidget* top);

// The nearest tab widget one of whose pages holds control; null when none does.
QTabWidget* pagesHolding(QWidget* control);

} // namespace orvane
