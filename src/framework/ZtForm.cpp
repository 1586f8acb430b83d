#include "framework/ZtForm.h"

#include "framework/DDObject.h"
#include "ui/Guard.h"
#include "ui/PaintCacheStyle.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

namespace orvane {

TZtForm::TZtForm(QWidget* parent) : QWidget(parent), converter_(new TCodeConverter(this))
{
    installPaintCacheStyle();
    QFont font(QString::fromUtf8(u8"宋体"));
    font.setPixelSize(13);
    setFont(font);
    converter_->setDesignType(TCodeConverter::DesignType::dtClient);
    converter_->ReadConfiguration();
}

TZtForm::~TZtForm() = default;

void TZtForm::Free(TZtForm* form)
{
    if (form == nullptr || form->destroying_)
        return;
    form->destroying_ = true;
    // The destroy handler runs while the derived parts of the form still exist. Whatever it
    // raises, the form is deleted: a form marked as destroying must not stay behind.
    struct Deleter {
        TZtForm* form;
        ~Deleter() { delete form; }
    } deleter{form};
    if (form->OnDestroy)
        form->OnDestroy(form);
}

void TZtForm::ConvertOnce()
{
    if (converted_)
        return;
    converter_->ConvertForm(*this);
    // The window's own texts in the interface language; a program form adds its program's rows
    // when it starts.
    TDDObject::ApplyOwnTexts(*this);
    converted_ = true;
}

void TZtForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    if (!centred_) {
        centred_ = true;
        centreOnScreen();
    }
    guarded("TZtForm.FormShow", [this] {
        if (OnShow)
            OnShow(this);
    });
}

void TZtForm::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous() || destroying_)
        return;
    guarded("TZtForm.FormHide", [this] {
        if (OnHide)
            OnHide(this);
    });
}

void TZtForm::closeEvent(QCloseEvent* event)
{
    bool mayClose = false;
    guarded("TZtForm.FormCloseQuery", [&] { mayClose = FormCloseQuery(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    CloseAction action = defaultCloseAction();
    const bool handled = guarded("TZtForm.FormClose", [&] {
        if (OnClose)
            OnClose(this, action);
    });
    if (!handled)
        action = CloseAction::None; // a failing close handler keeps the window open
    switch (action) {
    case CloseAction::None: event->ignore(); return;
    case CloseAction::Hide: event->accept(); return;
    case CloseAction::Minimize:
        event->ignore();
        showMinimized();
        return;
    case CloseAction::Free:
        // Not hidden first: a freed form reports its destruction, not a hide. Freed once the
        // close event has returned; a form freed meanwhile drops the call.
        event->ignore();
        QMetaObject::invokeMethod(
            this, [this] { guarded("TZtForm.Free", [this] { Free(this); }); }, Qt::QueuedConnection);
        return;
    }
}

void TZtForm::centreOnScreen()
{
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr || parentWidget() != nullptr)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

} // namespace orvane
