#include "controls/GSpeedButton.h"

#include "controls/Glyphs.h"

namespace orvane {

TGSpeedButton::TGSpeedButton(QWidget* parent) : QToolButton(parent) {}

void TGSpeedButton::setGlyphIndex(int number)
{
    if (number == glyphIndex_)
        return;
    glyphIndex_ = number;
    QIcon glyph;
    const bool loaded = number != 0 && number <= GetMaxBmpID() && LoadBmp(glyph, number);
    setIcon(glyph);
    setText(loaded ? QString() : QString::number(number));
}

} // namespace orvane
