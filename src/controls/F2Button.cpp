#include "controls/F2Button.h"

#include "ui/Guard.h"
#include "ui/LookupRequestEvent.h"

#include <QCoreApplication>

#include <algorithm>

namespace orvane {

TF2Button::TF2Button(QWidget* parent)
    : TGSpeedButton(parent), binding_(new CompanionBinding(*this, [this] { align(); }))
{
    setGlyphIndex(8);
    setFlat(true);
    connect(this, &QAbstractButton::clicked, this, guardedSlot("TF2Button.Click", [this] { requestLookup(); }));
}

void TF2Button::setF2Control(QWidget* control)
{
    if (binding_->bind(*this, control, QString::fromUtf8(u8"不能同时有两个 F2Button 指到同一个 Edit.")))
        align();
}

void TF2Button::setAutoAlign(bool on)
{
    autoAlign_ = on;
    align();
}

void TF2Button::setGap(int pixels)
{
    gap_ = std::clamp(pixels, 0, 255);
    align();
}

void TF2Button::align()
{
    if (!autoAlign_ || boundControl() == nullptr)
        return;
    const QRect control = binding_->controlRect();
    setGeometry(control.x() + control.width() + gap_, control.y(), width(), control.height());
}

void TF2Button::requestLookup()
{
    if (onClick)
        onClick(*this);
    QWidget* control = boundControl();
    if (control == nullptr || !control->isEnabled() || !control->isVisibleTo(control->window()) ||
        control->focusPolicy() == Qt::NoFocus)
        return;
    control->setFocus(Qt::OtherFocusReason);
    LookupRequestEvent request(LookupRequestEvent::F2Request, control);
    QCoreApplication::sendEvent(control->window(), &request);
}

} // namespace orvane
