#pragma once
// TDBLabel: the label that names a field beside its control (FocusControl). While AutoCaption
// is on its caption is the display label of the field the control is bound to (read through
// the control's "DataSource" and "DataField"), renewed when the control's binding changes.
// While AutoAlign is on it places itself at Pos (0 above, 1 left, 2 right, 3 below) Gap pixels
// from the control, centred beside it (halves truncated), never at a negative position, and
// follows the control when it moves or is resized. One label per control in a window: a second
// is refused with an error box. Client (GUI) thread only.

#include "controls/CompanionBinding.h"

#include <QLabel>

namespace orvane {

class TDBLabel : public QLabel {
    Q_OBJECT
    Q_PROPERTY(QWidget* FocusControl READ boundControl WRITE setFocusControl)
    Q_PROPERTY(bool AutoAlign READ autoAlign WRITE setAutoAlign)
    Q_PROPERTY(bool AutoCaption READ autoCaption WRITE setAutoCaption)
    Q_PROPERTY(int Pos READ placement WRITE setPlacement)
    Q_PROPERTY(int Gap READ gap WRITE setGap)
public:
    enum Position { Above = 0, Left = 1, Right = 2, Below = 3 };

    explicit TDBLabel(QWidget* parent = nullptr);

    QWidget* boundControl() const { return binding_->control(); }
    void setFocusControl(QWidget* control);
    bool autoAlign() const { return autoAlign_; }
    void setAutoAlign(bool on);
    bool autoCaption() const { return autoCaption_; }
    void setAutoCaption(bool on);
    int placement() const { return pos_; }
    // 0..3; other values are ignored.
    void setPlacement(int position);
    int gap() const { return gap_; }
    // 0..255 pixels.
    void setGap(int pixels);

    // Places the label beside its control (when AutoAlign is on and it has one).
    void align();

public slots:
    // Takes the bound field's display label as caption (when AutoCaption is on), then aligns.
    void updateCaption();

private:
    CompanionBinding* binding_;
    bool autoAlign_ = true;
    bool autoCaption_ = true;
    int pos_ = Left;
    int gap_ = 4;
};

} // namespace orvane
