#pragma once
// The key codes the lookup slots receive (F2 list, F3 history, F4 detail), and where a
// control that asks for a lookup sits.

class QWidget;

namespace orvane {

constexpr int keyF2 = 113;
constexpr int keyF3 = 114;
constexpr int keyF4 = 115;

// The control or one of its parents below its window is an item view: the in-place editors of a
// grid sit on its viewport, and a lookup there fills the grid's current cell.
bool inGrid(const QWidget* control);

} // namespace orvane
