#pragma once
// The event a control sends to its form to ask for a lookup: types 1034, 1035 and 1036 open
// the F2, F3 and F4 windows for the control. It sits below the controls and the forms so that
// a lookup button can ask any form without knowing its class. Client (GUI) thread only.

#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace orvane {

class LookupRequestEvent : public QEvent {
public:
    static constexpr QEvent::Type F2Request = static_cast<QEvent::Type>(1034);
    static constexpr QEvent::Type F3Request = static_cast<QEvent::Type>(1035);
    static constexpr QEvent::Type F4Request = static_cast<QEvent::Type>(1036);

    LookupRequestEvent(QEvent::Type type, QWidget* control) : QEvent(type), control_(control) {}
    // The control asking; null when it was destroyed before the event arrived.
    QWidget* control() const { return control_; }

private:
    QPointer<QWidget> control_;
};

} // namespace orvane
