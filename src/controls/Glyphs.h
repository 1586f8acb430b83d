#pragma once
// The suite's numbered button glyphs: small SVG pictures compiled into the library, drawn at
// whatever size and pixel ratio a button asks for. 1 first, 2 prior, 3 next, 4 last, 5 add,
// 6 delete, 7 confirm, 8 lookup (a magnifier), 9 calendar. Client (GUI) thread only.

#include <QIcon>

namespace orvane {

// The highest glyph number.
int GetMaxBmpID();
// Fills `glyph` with glyph `number`; false, leaving it as it was, when there is no such glyph.
bool LoadBmp(QIcon& glyph, int number);

} // namespace orvane
