#pragma once
// TF2Button: the small flat lookup button beside an edit (glyph 8 unless told otherwise). It
// sits right of the control it serves (F2Control), Gap pixels away, as tall as the control,
// and follows it while AutoAlign is on. A click runs the button's own click handler, gives the
// control the focus when it is enabled, visible and takes the focus, and then asks the
// control's window for the control's F2 lookup with a LookupRequestEvent, synchronously. One
// button per control in a window: a second is refused with an error box. Client (GUI) thread
// only.

#include "controls/CompanionBinding.h"
#include "controls/GSpeedButton.h"

#include <functional>

namespace orvane {

class TF2Button : public TGSpeedButton {
    Q_OBJECT
    Q_PROPERTY(QWidget* F2Control READ boundControl WRITE setF2Control)
    Q_PROPERTY(bool AutoAlign READ autoAlign WRITE setAutoAlign)
    Q_PROPERTY(int Gap READ gap WRITE setGap)
public:
    explicit TF2Button(QWidget* parent = nullptr);

    QWidget* boundControl() const { return binding_->control(); }
    void setF2Control(QWidget* control);
    bool autoAlign() const { return autoAlign_; }
    void setAutoAlign(bool on);
    int gap() const { return gap_; }
    // 0..255 pixels.
    void setGap(int pixels);

    // The button's own click handler, run before the lookup is asked for.
    std::function<void(TF2Button& button)> onClick;

    // Places the button beside its control (when AutoAlign is on and it has one).
    void align();

private:
    void requestLookup();

    CompanionBinding* binding_;
    bool autoAlign_ = true;
    int gap_ = 2;
};

} // namespace orvane
