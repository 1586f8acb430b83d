#pragma once
// InterfaceTexts: the texts the client's own code shows, in the interface language: the shell's
// windows, a form's record state, message texts by code, program names and the column titles of
// lookup lists. They are component rows of the data dictionary ("DDOBJ" + language + ".cds")
// under object names that no form carries, so the object dictionary never applies them:
//
//   "Orvane"    the shell's windows          component: the widget's object name; Caption, Hint
//   "ZtTexts"   the framework's own texts    component: the text's name; Caption
//   "ZtMsg"     message texts                component: type letter + code ("E100160"); Text
//   "Programs"  program names                component: the program identifier; Caption
//   "ZtLookup"  lookup list column titles    component: the Simplified Chinese title; Caption
//
// A text the dictionary lacks (or a missing or damaged file) leaves the caller's design-time text.
// Texts are in the installation's code page. No Qt; client thread.

#include "services/DictionaryFiles.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace orvane {

namespace textObject {
inline constexpr std::string_view shell = "Orvane";
inline constexpr std::string_view framework = "ZtTexts";
inline constexpr std::string_view messages = "ZtMsg";
inline constexpr std::string_view programs = "Programs";
inline constexpr std::string_view lookup = "ZtLookup";
} // namespace textObject

class InterfaceTexts {
public:
    InterfaceTexts() = default; // no texts: every design-time text stays
    explicit InterfaceTexts(const DictionaryRows& rows);

    // The texts of a language in a dictionary folder, read once and again only after the file
    // changed (the refresh at login rewrites it); an empty set when there is no readable file.
    static std::shared_ptr<const InterfaceTexts> of(const std::filesystem::path& folder, std::string_view langType);
    // of() for this client: its C_DATA folder and LangType from the client configuration.
    static std::shared_ptr<const InterfaceTexts> current();

    std::optional<std::string> find(std::string_view object, std::string_view component,
                                    std::string_view property = "Caption") const;
    // The dictionary's text of a coded message (type letter and code), when it has one.
    std::optional<std::string> message(std::string_view type, std::string_view code) const;
    // The dictionary's text, or designText when it has none.
    std::string text(std::string_view object, std::string_view component, std::string_view designText,
                     std::string_view property = "Caption") const;
    std::size_t size() const { return texts_.size(); }

private:
    std::unordered_map<std::string, std::string> texts_; // key(): the text
};

// What a lookup list or a query that found no row says, in the texts' language.
std::string nothingMatchesText(const InterfaceTexts& texts);

// The text shown when a program cannot start: launch code -1..-7 in UTF-8 in the interface
// language, programName (UTF-8) in its brackets; empty for codes from 0 up and below -7.
std::string launchText(int code, std::string_view programName);

} // namespace orvane
