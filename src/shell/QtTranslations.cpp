#include "shell/QtTranslations.h"

#include "platform/text/ByteText.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace orvane {

namespace {

// Qt's locale of an interface language; empty for English.
QString localeOf(std::string_view langType)
{
    if (text::equalsIgnoringAsciiCase(langType, "CHS"))
        return QStringLiteral("zh_CN");
    if (text::equalsIgnoringAsciiCase(langType, "CHT"))
        return QStringLiteral("zh_TW");
    return {};
}

} // namespace

bool installQtTranslations(std::string_view langType)
{
    // One translator for the process, replaced when the language changes.
    static std::unique_ptr<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed.get());
        installed.reset();
    }
    const QString locale = localeOf(langType);
    // Month and day names (the date input's calendar) follow the language too.
    QLocale::setDefault(locale.isEmpty() ? QLocale(QLocale::English, QLocale::UnitedStates) : QLocale(locale));
    auto translator = std::make_unique<QTranslator>();
    if (locale.isEmpty() ||
        !translator->load(QStringLiteral("qtbase_") + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    installed = std::move(translator);
    return true;
}

} // namespace orvane
