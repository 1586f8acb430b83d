#pragma once
// The elements of a sales method's argument array, read by kind. Every refusal is a
// ServiceError naming the method, the element's position and role, and what was wrong,
// so a caller's fault is found from the message alone:
//   Server method 'UnitConvert', element 2 (from unit): unit 'BOX' is not defined for item 'A100'
//
// Threads: a plain value; any thread.

#include "platform/variant/Variant.h"

#include <string>
#include <string_view>
#include <vector>

namespace orvane {

class SalesArgs {
public:
    // Raises ServiceError unless args holds between minCount and maxCount elements.
    SalesArgs(std::string_view method, const Variant& args, std::size_t minCount, std::size_t maxCount);

    std::size_t size() const { return values_.size(); }
    const std::string& method() const { return method_; }

    // A text as sent, blanks kept; Unassigned and Null are empty. Any other type is refused.
    std::string text(std::size_t index, std::string_view role) const;
    // A code: text, trimmed of blanks.
    std::string code(std::size_t index, std::string_view role) const;
    // A code that may not be empty.
    std::string requiredCode(std::size_t index, std::string_view role) const;
    // A number, or numeric text; an empty value is 0 (an empty field of the client). Other
    // text, booleans, arrays are refused.
    double number(std::size_t index, std::string_view role) const;
    // A date "YYYYMMDD" that exists; an empty value is the server's today.
    std::string date(std::size_t index, std::string_view role) const;
    // "Y" or "N".
    std::string yesNo(std::size_t index, std::string_view role) const;
    // The raw element.
    const Variant& at(std::size_t index) const { return values_.at(index); }

    // Raises the ServiceError of the element.
    [[noreturn]] void fail(std::size_t index, std::string_view role, const std::string& problem) const;

private:
    std::string method_;
    std::vector<Variant> values_;
};

} // namespace orvane
