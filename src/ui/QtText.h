#pragma once
// Text at the edge of Qt: the client's byte strings (installation code page unless a code page
// is named) to QString and back. Every place that hands a text to a widget or reads one from it
// goes through these. Bad bytes and characters the code page lacks become "?" (see CodePage.h);
// nothing raises. Any thread.

#include "platform/text/CodePage.h"

#include <QString>

#include <string>
#include <string_view>

namespace orvane::text {

// A byte string of the installation code page as a QString.
QString toQString(std::string_view text);
// A byte string of `codePage` as a QString.
QString toQString(std::string_view text, CodePage codePage);
// A QString as a byte string of the installation code page.
std::string fromQString(const QString& text);
// A QString as a byte string of `codePage`.
std::string fromQString(const QString& text, CodePage codePage);
// Whether the installation code page holds every character of text: one it lacks would be
// stored as "?", so an edit refuses it as it is typed or pasted.
bool storable(const QString& text);
// A UTF-8 literal of the source (u8"...") as a QString.
inline QString utf8(const char8_t* text)
{
    return QString::fromUtf8(text);
}

} // namespace orvane::text
