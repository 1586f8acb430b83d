#include "shell/QtTranslations.h"

#include "platform/text/ByteText.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace orvane {

bool installQtTranslations(std::string_view langType)
{
    QString locale;
    if (text::equalsIgnoringAsciiCase(langType, "CHS"))
        locale = QStringLiteral("zh_CN");
    else if (text::equalsIgnoringAsciiCase(langType, "CHT"))
        locale = QStringLiteral("zh_TW");
    else
        return false;
    // One translator for the process, replaced when the language changes.
    static QTranslator* translator = nullptr;
    if (translator != nullptr) {
        QCoreApplication::removeTranslator(translator);
        delete translator;
        translator = nullptr;
    }
    auto* loaded = new QTranslator(QCoreApplication::instance());
    if (!loaded->load(QStringLiteral("qtbase_") + locale, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete loaded;
        return false;
    }
    QCoreApplication::installTranslator(loaded);
    translator = loaded;
    return true;
}

} // namespace orvane
