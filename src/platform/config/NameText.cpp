#include "platform/config/NameText.h"

namespace orvane::text {

namespace {

char toUpperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool isDoubleByteLead(char byte) {
    return static_cast<unsigned char>(byte) >= 0x81;
}

std::size_t findOutsideDoubleByte(std::string_view text, char wanted) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isDoubleByteLead(text[i])) {
            ++i;
        } else if (text[i] == wanted) {
            return i;
        }
    }
    return std::string_view::npos;
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (isDoubleByteLead(a[i])) {
            if (a[i] != b[i]) return false;
            if (++i < a.size() && a[i] != b[i]) return false;
        } else if (toUpperAscii(a[i]) != toUpperAscii(b[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace orvane::text
