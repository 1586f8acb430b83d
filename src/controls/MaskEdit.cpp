#include "controls/MaskEdit.h"

#include "ui/FocusReasons.h"
#include "ui/QtText.h"

#include <QFocusEvent>

#include <algorithm>

namespace orvane {

namespace {

// Characters Qt's input mask gives a meaning; as literals they are escaped.
const QString qtMaskCharacters = QStringLiteral("AaNnXx90Dd#HhBb><!\\[]{}");

// Positions of the unescaped ";" of a mask, left to right.
std::vector<qsizetype> sectionBreaks(const QString& mask)
{
    std::vector<qsizetype> breaks;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        if (mask[i] == u'\\')
            ++i;
        else if (mask[i] == u';')
            breaks.push_back(i);
    }
    return breaks;
}

// The Qt form of one mask character: an input slot, a case switch, or nothing when unknown.
QChar qtSlot(QChar c)
{
    switch (c.unicode()) {
    case u'0': return u'9';
    case u'9': return u'0';
    case u'#': return u'#';
    case u'L': return u'A';
    case u'l': return u'a';
    case u'A': return u'N';
    case u'a': return u'n';
    case u'C': return u'X';
    case u'c': return u'x';
    default: return {};
    }
}

class Translator {
public:
    explicit Translator(TranslatedMask& out) : out_(out) {}

    void literal(QChar c)
    {
        if (c == u';')
            unusable_ = true;
        if (c == u'.' && out_.slotsBeforePoint < 0)
            out_.slotsBeforePoint = slots_;
        if (qtMaskCharacters.contains(c))
            mask_ += u'\\';
        mask_ += c;
        out_.literal.push_back(true);
        if (out_.keepLiterals)
            out_.blankFieldText += c;
    }
    void input(QChar slot)
    {
        mask_ += slot;
        out_.literal.push_back(false);
        out_.blankFieldText += u' ';
        ++slots_;
    }
    void caseSwitch(QChar c) { mask_ += c; }

    // The mask section translated, character by character.
    void translate(const QString& mask)
    {
        for (qsizetype i = 0; i < mask.size(); ++i) {
            const QChar c = mask[i];
            if (c == u'\\') {
                if (++i < mask.size())
                    literal(mask[i]);
            } else if (c == u'<' && i + 1 < mask.size() && mask[i + 1] == u'>') {
                caseSwitch(u'!');
                ++i;
            } else if (c == u'>' || c == u'<') {
                caseSwitch(c);
            } else if (c == u'_') {
                literal(u' ');
            } else if (c == u'!') {
                continue;
            } else if (const QChar slot = qtSlot(c); !slot.isNull()) {
                input(slot);
            } else {
                literal(c);
            }
        }
        if (unusable_ || out_.literal.empty()) {
            out_.literal.clear();
            out_.blankFieldText.clear();
            return;
        }
        out_.inputMask = mask_ + u';' + out_.blank;
    }

private:
    TranslatedMask& out_;
    QString mask_;
    int slots_ = 0;
    bool unusable_ = false;
};

} // namespace

TranslatedMask translateEditMask(const QString& text)
{
    TranslatedMask result;
    const std::vector<qsizetype> breaks = sectionBreaks(text);
    QString mask = text;
    if (breaks.size() >= 2) {
        const qsizetype flagAt = breaks[breaks.size() - 2];
        const qsizetype blankAt = breaks.back();
        mask = text.left(flagAt);
        result.keepLiterals = text.mid(flagAt + 1, blankAt - flagAt - 1).trimmed() != u"0";
        if (blankAt + 1 < text.size())
            result.blank = text[blankAt + 1];
    } else if (breaks.size() == 1) {
        mask = text.left(breaks[0]);
        result.keepLiterals = text.mid(breaks[0] + 1).trimmed() != u"0";
    }
    Translator(result).translate(mask);
    return result;
}

MaskEdit::MaskEdit(QWidget* parent) : QLineEdit(parent) {}

void MaskEdit::setEditMask(std::string_view mask)
{
    editMask_ = std::string(mask);
    translated_ = translateEditMask(text::toQString(mask));
    extraSlots_ = 0;
    maskHidden_ = false;
    applyInputMask();
    setText_ = setDisplay_ = QString(); // the next field text is laid into the new mask
}

void MaskEdit::focusInEvent(QFocusEvent* event)
{
    showMask(true);
    QLineEdit::focusInEvent(event);
    // Qt selects a plain edit's text only when Tab reaches it, and puts a masked edit's cursor on its
    // first position, where digits overwrite a date's first digit or fill the blanks in front of a
    // number (15 typed over 0.01% made 150.01%). A click places the cursor where the user wants it.
    const bool back = keptFocus_ && focusTakenOver(event->reason());
    keptFocus_ = false;
    if (!back && event->reason() != Qt::MouseFocusReason)
        selectAll();
}

void MaskEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    keptFocus_ = focusTakenOver(event->reason());
    if (keptFocus_ || !unfilled())
        return;
    // Left with nothing typed, the edit looks empty again; what the user changed stays to be written.
    const bool modified = isModified();
    showMask(false);
    setModified(modified);
}

void MaskEdit::setFieldText(std::string_view text)
{
    QString shown = text::toQString(text);
    // A number goes into its mask with the points lined up ("5.00%" shows "  5.00%"), since Qt
    // would fill the slots from the left and push the point out of place. A number with more
    // whole characters than the mask has slots ("1000.00%", "-100.00%") widens the mask for as
    // long as it is shown: cut to the mask, it would show and be written back as another number.
    const qsizetype wholeDigits = translated_.slotsBeforePoint;
    qsizetype extraSlots = 0;
    if (wholeDigits > 0 && !translated_.inputMask.isEmpty() && shown.contains(u'.')) {
        shown = shown.trimmed();
        const qsizetype point = shown.indexOf(u'.');
        if (point < wholeDigits)
            shown.prepend(QString(wholeDigits - point, translated_.blank));
        extraSlots = std::max<qsizetype>(point - wholeDigits, 0);
    }
    widenWholePart(extraSlots);
    // An empty value looks empty, as a formatted field without a value does everywhere else: the
    // mask's separators are a guide to typing and come with the focus.
    showMask(hasFocus() || !shown.trimmed().isEmpty());
    // A record's every edit is shown again at each change of the dataset's state; an edit whose
    // text stands as it was set keeps it rather than repaint.
    if (shown == setText_ && displayText() == setDisplay_)
        return;
    setText(shown);
    setText_ = shown;
    setDisplay_ = displayText();
    // A value shown anew while a box or another window had the focus (a date picked from the
    // calendar) is entered as any other when the focus comes back.
    keptFocus_ = keptFocus_ && hasFocus();
}

void MaskEdit::widenWholePart(qsizetype extraSlots)
{
    if (extraSlots == extraSlots_)
        return;
    extraSlots_ = extraSlots;
    applyInputMask();
}

void MaskEdit::showMask(bool shown)
{
    if (shown == !maskHidden_ || translated_.inputMask.isEmpty())
        return;
    maskHidden_ = !shown;
    // Hidden, the blanks and separators would stay behind as plain text; shown, a text set meanwhile
    // (a date taken over from the edit before) is laid into the mask.
    const QString kept = maskHidden_ ? QString() : text();
    applyInputMask();
    setText(kept);
}

void MaskEdit::applyInputMask()
{
    setInputMask(maskHidden_ ? QString() : QString(extraSlots_, u'#') + translated_.inputMask);
}

bool MaskEdit::unfilled() const
{
    return maskHidden_ || text::toQString(fieldText()).trimmed() == translated_.blankFieldText.trimmed();
}

std::string MaskEdit::fieldText() const
{
    if (translated_.inputMask.isEmpty())
        return text::fromQString(text());
    if (maskHidden_)
        return text::fromQString(translated_.blankFieldText);
    const QString shown = displayText();
    QString result;
    const qsizetype count =
        std::min<qsizetype>(shown.size(), extraSlots_ + static_cast<qsizetype>(translated_.literal.size()));
    for (qsizetype i = 0; i < count; ++i) {
        if (i >= extraSlots_ && translated_.literal[static_cast<std::size_t>(i - extraSlots_)]) {
            if (translated_.keepLiterals)
                result += shown[i];
        } else {
            result += shown[i] == translated_.blank ? QChar(u' ') : shown[i];
        }
    }
    return text::fromQString(result);
}

} // namespace orvane
