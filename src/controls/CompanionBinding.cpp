#include "controls/CompanionBinding.h"

#include <QEvent>
#include <QVariant>

namespace orvane {

CompanionBinding::CompanionBinding(QWidget& companion, std::function<void()> follow)
    : QObject(&companion), companion_(companion), follow_(std::move(follow))
{}

QRect CompanionBinding::controlRect() const
{
    if (control_ == nullptr)
        return {};
    const QWidget* parent = companion_.parentWidget();
    if (parent == nullptr || control_->parentWidget() == parent)
        return control_->geometry();
    return {parent->mapFromGlobal(control_->mapToGlobal(QPoint(0, 0))), control_->size()};
}

void CompanionBinding::refuse(const QString& text)
{
    DialogService::instance().showMessage({.text = text, .kind = DialogKind::Error, .buttons = {DialogAnswer::Ok}});
}

QObject* CompanionBinding::servedBy(const QWidget& control, const char* kind)
{
    return control.property(kind).value<QPointer<QObject>>().data();
}

void CompanionBinding::follow(QWidget* control, const char* kind)
{
    if (control_ != nullptr) {
        control_->removeEventFilter(this);
        if (servedBy(*control_, kind) == &companion_)
            control_->setProperty(kind, QVariant());
    }
    control_ = control;
    if (control_ != nullptr) {
        control_->installEventFilter(this);
        control_->setProperty(kind, QVariant::fromValue(QPointer<QObject>(&companion_)));
    }
}

bool CompanionBinding::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == control_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        follow_();
    return QObject::eventFilter(watched, event);
}

} // namespace orvane
