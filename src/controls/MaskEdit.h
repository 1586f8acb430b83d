#pragma once
// MaskEdit: a line edit that honours the suite's edit masks ("9999/99/99;1; ", "###.##%;1; ",
// "99:99;1; ") by translating them to Qt's input mask. Texts come and go as byte strings of the
// installation code page.
//
// A mask has up to three sections separated by ";": the mask, the keep-literals flag ("0" drops
// the literals from fieldText, anything else keeps them) and the blank character. In the mask:
//   0 required digit -> Qt 9         9 optional digit -> Qt 0      # optional digit or sign -> #
//   L required letter -> A           l optional letter -> a
//   A required letter or digit -> N  a optional letter or digit -> n
//   C required character -> X        c optional character -> x
//   > upper case, < lower case, <> no case change -> >, <, !
//   \x the character x as a literal  _ a blank literal          ! (blank trimming) is dropped
// Every other character is a literal, escaped for Qt when Qt gives it a meaning, so separators of
// several characters (double-byte ones included) stay in the text. Qt reserves ";" to end its
// mask, so a mask holding a literal ";" leaves the edit without a mask. An empty mask is a plain
// edit.
//
// fieldText() is the text as a field handler reads it: literals kept (unless the flag says
// not), every unfilled position a space. A number shown in a mask with a "." literal has its
// point lined up with the mask's; one with more whole characters than the mask's slots gets
// more slots in front while it is shown, so it is never cut. An empty value shows as an empty edit
// until the edit takes the focus, which brings the mask's separators, and again once it is left with
// nothing typed. Entered any way but by the mouse (Tab, a shortcut, the program), the edit selects its
// whole text, so that typing replaces the value; back from a box or another window it stays as it was
// left, unless a new value was shown meanwhile. Client thread only.

#include <QLineEdit>

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

// An edit mask split into its sections and translated for Qt.
struct TranslatedMask {
    QString inputMask;         // Qt's input mask with its blank character; empty: no mask
    std::vector<bool> literal; // per position of the edit text: a literal (true) or an input
    bool keepLiterals = true;  // literals belong to fieldText
    QChar blank = u' ';        // the character shown for an unfilled position
    int slotsBeforePoint = -1; // input slots in front of the first "." literal; -1: none
    QString blankFieldText;    // the field text of the mask with nothing typed
};

// The Qt form of one of our masks (a QString of the mask text).
TranslatedMask translateEditMask(const QString& mask);

class MaskEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskEdit(QWidget* parent = nullptr);

    // Sets the mask (installation code page); an empty mask removes it.
    void setEditMask(std::string_view mask);
    const std::string& editMask() const { return editMask_; }
    // The Qt input mask in use (empty without a mask).
    QString qtInputMask() const { return translated_.inputMask; }

    // Shows a field's text (installation code page), laid into the mask.
    void setFieldText(std::string_view text);
    // The text for the field's set-text handler (installation code page).
    std::string fieldText() const;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Puts extraSlots "#" slots in front of the mask (none: the mask as translated).
    void widenWholePart(qsizetype extraSlots);
    // Shows or hides the mask; an unfocused empty edit hides it.
    void showMask(bool shown);
    void applyInputMask();
    // No input position of the mask is filled.
    bool unfilled() const;

    std::string editMask_;      // as given
    TranslatedMask translated_; // its Qt form
    QString setText_;           // the text setFieldText last set
    QString setDisplay_;        // the edit's display right after it
    qsizetype extraSlots_ = 0;  // "#" slots in front of the mask for a number wider than it
    bool maskHidden_ = false;   // an empty value shown while the edit has no focus
    bool keptFocus_ = false;    // left for a box, a popup or another window, not for another control
};

} // namespace orvane
