#include "ui/QtText.h"

namespace orvane::text {

QString toQString(std::string_view text)
{
    return toQString(text, installationCodePage());
}

QString toQString(std::string_view text, CodePage codePage)
{
    const std::string utf8 = toUtf8(text, codePage);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string fromQString(const QString& text)
{
    return fromQString(text, installationCodePage());
}

std::string fromQString(const QString& text, CodePage codePage)
{
    const QByteArray utf8 = text.toUtf8();
    return fromUtf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), codePage);
}

bool storable(const QString& text)
{
    return toQString(fromQString(text)) == text;
}

} // namespace orvane::text
