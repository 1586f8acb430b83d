#pragma once
// Qt's own texts (the standard buttons, the context menus of edits, the file dialogs) in the
// interface language, so that no window sets them in English beside our Chinese ones: Qt's
// qtbase translation of Simplified Chinese for "CHS" and of Traditional Chinese for "CHT" (from
// Qt's translations folder, the qt6-translations-l10n package); "ENG" keeps Qt's own English.
// GUI thread, once the application exists.

#include <string_view>

namespace orvane {

// Answers whether a translation was installed; false for English or when it is not installed.
bool installQtTranslations(std::string_view langType);

} // namespace orvane
