#include "salesorder/OrderDialogEntry.h"

#include "controls/F2Button.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>

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

// Only these read as digits: a full-width digit is a letter to the number parser.
bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
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

QHBoxLayout* buttonRow(QPushButton& ok, QPushButton& cancel)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(&ok);
    row->addWidget(&cancel);
    return row;
}

TF2Button* lookupButton(QWidget* parent, const char* name, QWidget* control)
{
    auto* button = new TF2Button(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setF2Control(control);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedWidth(22);
    return button;
}

bool refusesNumberKey(const QKeyEvent& event, const QLineEdit& edit)
{
    const QChar typed = typedCharacter(event);
    if (typed.isNull() || isAsciiDigit(typed))
        return false;
    // One decimal point; a selected one may be typed over.
    return typed != u'.' || (edit.text().contains(u'.') && !edit.selectedText().contains(u'.'));
}

bool refusesDateKey(const QKeyEvent& event)
{
    const QChar typed = typedCharacter(event);
    return !typed.isNull() && !isAsciiDigit(typed) && typed != u'$';
}

} // namespace orvane
