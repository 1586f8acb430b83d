#pragma once
// The binding of a companion control (a field label, a lookup button) to the control it
// serves: at most one companion of a class per control in a window (a second one is refused
// with an error box and leaves its binding as it was), and the companion follows the control
// when it moves or is resized, since layouts place controls after the form is built. Client
// (GUI) thread only.

#include "ui/DialogService.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <functional>

namespace orvane {

class CompanionBinding : public QObject {
public:
    // `follow` runs after the bound control moved or was resized.
    CompanionBinding(QWidget& companion, std::function<void()> follow);

    QWidget* control() const { return control_; }
    // The bound control's rectangle in the coordinates of the companion's parent.
    QRect controlRect() const;

    // Binds `control` (null unbinds) unless another companion of the same class in the window
    // serves it; then shows `refusal` in an error box and answers false.
    template <typename Companion>
    bool bind(Companion& companion, QWidget* control, const QString& refusal)
    {
        if (control == control_)
            return true;
        if (control != nullptr) {
            for (const Companion* other : companion.window()->template findChildren<Companion*>()) {
                if (other != &companion && other->boundControl() == control) {
                    refuse(refusal);
                    return false;
                }
            }
        }
        follow(control);
        return true;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void refuse(const QString& text);
    void follow(QWidget* control);

    QWidget& companion_;
    std::function<void()> follow_;
    QPointer<QWidget> control_;
};

} // namespace orvane
