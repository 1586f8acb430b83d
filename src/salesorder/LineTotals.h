#pragma once
// LineTotals: the order head's totals as sums of what each line gives, kept line by line, so
// that posting or deleting one line changes the sums without reading the other lines again.
// Lines are known by their record identity. Client thread only.

#include <array>
#include <cstddef>
#include <cstdint>
#include <unordered_map>

namespace orvane {

class LineTotals {
public:
    // What one line gives: TD008, TD024 (each as the unit mode counts it), TD032, TD034, TD038,
    // TD039, TD030, TD031.
    static constexpr std::size_t fieldCount = 8;
    using Values = std::array<double, fieldCount>;

    void clear();
    // The line's values, replacing what it gave before.
    void set(std::uint64_t line, const Values& values);
    void remove(std::uint64_t line);
    std::size_t lineCount() const { return lines_.size(); }
    // The sums over the lines. A sum within a billionth of zero is 0: lines that cancel leave
    // only the rounding residue of the running sums.
    Values sums() const;

private:
    void add(const Values& values, double sign);

    std::unordered_map<std::uint64_t, Values> lines_;
    Values sums_{};
};

} // namespace orvane
