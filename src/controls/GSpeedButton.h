#pragma once
// TGSpeedButton: a tool button that shows one of the suite's numbered glyphs. Setting
// GlyphIndex shows the glyph and no caption; a number without a glyph (0, beyond
// GetMaxBmpID, or one that does not load) shows no glyph and the number as caption. HintIndex
// is kept for the forms and not interpreted. Flat buttons draw their frame only under the
// mouse. Client (GUI) thread only.

#include <QToolButton>

namespace orvane {

class TGSpeedButton : public QToolButton {
    Q_OBJECT
    Q_PROPERTY(int GlyphIndex READ glyphIndex WRITE setGlyphIndex)
    Q_PROPERTY(int HintIndex READ hintIndex WRITE setHintIndex)
    Q_PROPERTY(bool Flat READ flat WRITE setFlat)
public:
    explicit TGSpeedButton(QWidget* parent = nullptr);

    int glyphIndex() const { return glyphIndex_; }
    void setGlyphIndex(int number);
    int hintIndex() const { return hintIndex_; }
    void setHintIndex(int index) { hintIndex_ = index; }
    bool flat() const { return autoRaise(); }
    void setFlat(bool flat) { setAutoRaise(flat); }

private:
    int glyphIndex_ = 0;
    int hintIndex_ = 0;
};

} // namespace orvane
