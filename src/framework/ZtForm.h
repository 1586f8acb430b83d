#pragma once
// TZtForm: the root of every window of the framework. It carries the interface-language
// converter "ZtConverter", converts its texts once, and raises the four form events (show,
// hide, close, destroy) through handlers that a controller may hook.
//
// A form is freed with Free(), never with delete or deleteLater: Free runs the destroy handler
// while the whole form still exists (so a handler may read the derived form's members) and then
// deletes it. Closing with CloseAction::Free frees the form the same way, after the close
// event has returned. Client thread only.

#include "services/CodeConverter.h"
#include "ui/CloseAction.h"

#include <QWidget>

#include <functional>

namespace orvane {

class TZtForm : public QWidget {
    Q_OBJECT
public:
    using NotifyEvent = std::function<void(QObject* sender)>;
    using CloseEvent = std::function<void(QObject* sender, CloseAction& action)>;

    // Font "宋体" 13 pixels, centred on the screen, hints shown.
    explicit TZtForm(QWidget* parent = nullptr);
    ~TZtForm() override;

    // Runs the destroy handler, then deletes the form. Safe to call once; a form already being
    // freed is left alone.
    static void Free(TZtForm* form);
    bool destroying() const { return destroying_; }

    TCodeConverter& ZtConverter() { return *converter_; }
    const TCodeConverter& ZtConverter() const { return *converter_; }
    // Converts the form's texts the first time it is called.
    void ConvertOnce();
    bool converted() const { return converted_; }

    NotifyEvent OnShow;
    NotifyEvent OnHide;
    NotifyEvent OnDestroy;
    CloseEvent OnClose;

protected:
    // The close action a close starts with (Hide).
    virtual CloseAction defaultCloseAction() const { return CloseAction::Hide; }
    // Asked first when the window is to close; false keeps it open (the close handler does not
    // run). The root allows every close.
    virtual bool FormCloseQuery() { return true; }
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Centres the window on its screen (first show only, so a moved window stays put).
    void centreOnScreen();

    TCodeConverter* converter_; // owned as a child object
    bool converted_ = false;    // ConvertOnce has run
    bool destroying_ = false;   // Free has started
    bool centred_ = false;      // centred at its first show
};

// Frees a form made for one modal run when it goes out of scope: std::unique_ptr<Form, FormFree>.
struct FormFree {
    void operator()(TZtForm* form) const { TZtForm::Free(form); }
};

} // namespace orvane
