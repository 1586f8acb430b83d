#include "salesorder/OrderDialogEntry.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>

namespace orvane {

namespace {

void paintBase(QWidget& control, const QColor& colour)
{
    QPalette colours = control.palette();
    colours.setColor(QPalette::Base, colour);
    control.setPalette(colours);
}

// The character the key types; null for keys that type nothing (arrows, function keys).
QChar typedCharacter(const QKeyEvent& event)
{
    const QString typed = event.text();
    return typed.isEmpty() || !typed.front().isPrint() ? QChar() : typed.front();
}

} // namespace

void paintRequired(QWidget& control)
{
    paintBase(control, QColor(255, 255, 175));
}

void paintButtonFace(QWidget& control)
{
    paintBase(control, QApplication::palette().color(QPalette::Button));
}

bool refusesNumberKey(const QKeyEvent& event, const QLineEdit& edit)
{
    const QChar typed = typedCharacter(event);
    if (typed.isNull() || typed.isDigit())
        return false;
    // One decimal point; a selected one may be typed over.
    return typed != u'.' || (edit.text().contains(u'.') && !edit.selectedText().contains(u'.'));
}

bool refusesDateKey(const QKeyEvent& event)
{
    const QChar typed = typedCharacter(event);
    return !typed.isNull() && !typed.isDigit() && typed != u'$';
}

} // namespace orvane
