#include "controls/DBLabel.h"

#include "controls/DataAware.h"
#include "ui/QtText.h"

#include <algorithm>

namespace orvane {

TDBLabel::TDBLabel(QWidget* parent)
    : QLabel(QString::fromUtf8(u8"哇靠标签"), parent), binding_(new CompanionBinding(*this, [this] { align(); }))
{
    adjustSize();
}

void TDBLabel::setFocusControl(QWidget* control)
{
    QWidget* previous = boundControl();
    if (!binding_->bind(*this, control, QString::fromUtf8(u8"不能同时有两个 DBLabel 指到同一个 Control.")) ||
        previous == control)
        return;
    if (previous != nullptr)
        disconnect(previous, nullptr, this, nullptr);
    if (control != nullptr && control->metaObject()->indexOfSignal("bindingChanged()") >= 0)
        connect(control, SIGNAL(bindingChanged()), this, SLOT(updateCaption()));
    setBuddy(control);
    updateCaption();
}

void TDBLabel::setAutoAlign(bool on)
{
    autoAlign_ = on;
    updateCaption();
}

void TDBLabel::setAutoCaption(bool on)
{
    autoCaption_ = on;
    updateCaption();
}

void TDBLabel::setPlacement(int position)
{
    if (position < Above || position > Below)
        return;
    pos_ = position;
    updateCaption();
}

void TDBLabel::setGap(int pixels)
{
    gap_ = std::clamp(pixels, 0, 255);
    updateCaption();
}

void TDBLabel::updateCaption()
{
    const Field* field = autoCaption_ ? boundFieldOf(boundControl()) : nullptr;
    if (field != nullptr) {
        setText(text::toQString(field->displayLabel()));
        adjustSize();
    }
    align();
}

void TDBLabel::align()
{
    if (!autoAlign_ || boundControl() == nullptr)
        return;
    const QRect control = binding_->controlRect();
    const int centredTop =
        control.height() != height() ? control.y() + control.height() / 2 - height() / 2 : control.y();
    switch (pos_) {
    case Above: move(control.x(), std::max(control.y() - height() - gap_, 0)); break;
    case Left: move(std::max(control.x() - width() - gap_, 0), std::max(centredTop, 0)); break;
    case Right: move(std::max(control.x() + control.width() + gap_, 0), std::max(centredTop, 0)); break;
    default: move(control.x(), std::max(control.y() + control.height() + gap_, 0)); break;
    }
}

} // namespace orvane
