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
        // The control names the companion of each class that serves it: no search of the window.
        const char* kind = Companion::staticMetaObject.className();
        if (control != nullptr) {
            const auto* other = qobject_cast<const Companion*>(servedBy(*control, kind));
            if (other != nullptr && other != &companion && other->window() == companion.window() &&
                other->boundControl() == control) {
                refuse(refusal);
                return false;
            }
        }
        follow(control, kind);
        return true;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void refuse(const QString& text);
    static QObject* servedBy(const QWidget& control, const char* kind);
    // Binds control (null unbinds), moving the mark of the companion of class kind along.
    void follow(QWidget* control, const char* kind);

    QWidget& companion_;
    std::function<void()> follow_;
    QPointer<QWidget> control_;
};

} // namespace orvane
