#include "services/CodeConverter.h"

#include "ui/DialogService.h"
#include "ui/QtText.h"
#include "ui/WidgetTexts.h"

#include <QApplication>
#include <QToolTip>
#include <QWidget>

#include <vector>

namespace orvane {
namespace {

// Fallback families standing for the GB2312 and Big5 character sets: Qt fonts carry no character
// set, but the Simplified and Traditional Chinese faces show each set's glyph forms.
const QString simSun = QStringLiteral("SimSun");
const QString simplifiedFallback = QStringLiteral("Noto Serif CJK SC");
const QString traditionalFallback = QStringLiteral("Noto Serif CJK TC");

bool isAscii(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool encodable(const QString& text, text::CodePage codePage)
{
    return text::toQString(text::fromQString(text, codePage), codePage) == text;
}

} // namespace

TCodeConverter::TCodeConverter(QObject* parent) : QObject(parent)
{
    setObjectName(QStringLiteral("ZtConverter"));
}

void TCodeConverter::ChooseFont(QFont& font, ConvertMode mode)
{
    switch (mode) {
    case ConvertMode::None:
    case ConvertMode::Big5ToGb:
    case ConvertMode::GbFont: font.setFamilies({simSun, simplifiedFallback}); break;
    case ConvertMode::GbToBig5:
    case ConvertMode::Big5Font: font.setFamilies({simSun, traditionalFallback}); break;
    }
}

std::optional<QFont> TCodeConverter::DialogFont(ConvertMode mode)
{
    if (static_cast<int>(mode) > static_cast<int>(ConvertMode::GbFont))
        return std::nullopt;
    QFont font = QApplication::font();
    ChooseFont(font, mode);
    return font;
}

QString TCodeConverter::convertText(const QString& text, ConvertMode mode) const
{
    if (isAscii(text))
        return text;
    const text::CodePage from = mode == ConvertMode::Big5ToGb ? text::CodePage::Big5 : text::CodePage::Gbk;
    const auto convertRun = [&](const QString& run) {
        return text::toQString(Convert(Variant(text::fromQString(run, from)), mode).toString(), textCodePage(mode));
    };
    if (encodable(text, from))
        return convertRun(text);
    // Runs of characters the source code page holds are converted; the others stay.
    QString result;
    QString run;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (encodable(character, from)) {
            run += character;
        } else {
            result += convertRun(run) + character;
            run.clear();
        }
        i += length;
    }
    return result + convertRun(run);
}

void TCodeConverter::ConvertForm(QWidget& form) const
{
    const ConvertMode mode = displayMode();
    if (converts(mode))
        mapWidgetTexts(form, [this, mode](const QString& text) { return convertText(text, mode); });

    // Widgets without a font of their own follow their parent; windows (popup menus) do not.
    const auto chooseWidgetFont = [mode](QWidget& widget) {
        QFont font = widget.font();
        ChooseFont(font, mode);
        widget.setFont(font);
    };
    chooseWidgetFont(form);
    for (QWidget* child : form.findChildren<QWidget*>()) {
        if (child->isWindow() || child->testAttribute(Qt::WA_SetFont))
            chooseWidgetFont(*child);
    }
    // A hint showing the old text is dropped.
    QToolTip::hideText();
}

QString TCodeConverter::caption() const
{
    if (const auto* widget = qobject_cast<const QWidget*>(parent()))
        return widget->window()->windowTitle();
    return QApplication::applicationDisplayName();
}

void TCodeConverter::ShowError(std::string_view text) const
{
    DialogService::instance().showMessage({caption(),
                                           text::toQString(text, textCodePage(displayMode())),
                                           DialogKind::Error,
                                           {DialogAnswer::Ok},
                                           DialogFont(displayMode())});
}

} // namespace orvane
