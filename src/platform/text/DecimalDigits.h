#pragma once
// A float as the decimal text of its 15 significant digits, for rounding and
// formatting on decimal digits rather than on binary fractions.
//
// The value is 0.d1d2...dn x 10^point with d1 != 0 (no digits for zero). Fixed
// storage, no heap: rounding and formatting stay cheap on every field assignment.

#include <optional>
#include <string>

namespace orvane::text {

class DecimalDigits {
public:
    // The 15-significant-digit decimal text of `value`; nullopt for NaN and infinities.
    static std::optional<DecimalDigits> fromDouble(double value);

    // Rounds to `decimals` places after the point; a value exactly halfway rounds
    // away from zero. A negative count rounds to whole tens, hundreds...
    void roundToDecimals(int decimals) noexcept;

    // The value read back as the nearest double (+0 for zero).
    double toDouble() const noexcept;

    bool isZero() const noexcept { return count_ == 0; }
    // True for a negative value that is not zero.
    bool isNegative() const noexcept { return negative_ && count_ > 0; }
    // Number of digits before the point (0 when the value is below 1).
    int integerDigits() const noexcept { return point_ > 0 ? point_ : 0; }
    // Number of significant digits after the point.
    int fractionDigits() const noexcept { return count_ > point_ ? count_ - point_ : 0; }
    // The digit of the place 10^exponent, '0' outside the significant digits.
    char digit(int exponent) const noexcept;

    // Appends the "%.*f" text: sign (never for zero), integer digits ("0" when
    // none), and exactly `decimals` digits after a point when `decimals` > 0.
    // The value must already be rounded to `decimals`.
    void appendFixed(std::string& out, int decimals) const;

private:
    static constexpr int capacity = 24;

    void stripTrailingZeros() noexcept;

    bool negative_ = false;
    int count_ = 0;           // number of significant digits
    int point_ = 0;           // decimal exponent of the place after d1
    char digits_[capacity]{}; // '0'..'9', digits_[0] != '0' unless the value is zero
};

} // namespace orvane::text
