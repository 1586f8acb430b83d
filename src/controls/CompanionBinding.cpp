#include "controls/CompanionBinding.h"

#include <QEvent>

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

void CompanionBinding::follow(QWidget* control)
{
    if (control_ != nullptr)
        control_->removeEventFilter(this);
    control_ = control;
    if (control_ != nullptr)
        control_->installEventFilter(this);
}

bool CompanionBinding::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == control_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        follow_();
    return QObject::eventFilter(watched, event);
}

} // namespace orvane
