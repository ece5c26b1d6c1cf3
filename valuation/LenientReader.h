#pragma once

#include <QStringView>
#include <cstdint>
#include <string>

namespace varneth {

// One reading of a valuation field by the lenient rule: a single forward pass over the
// text that skips blanks, tabs and line feeds, collects the longest numeric prefix and
// stops at the first character that cannot continue it. The pass is linear in the text
// and keeps a bounded number of digits, however long the input.
class LenientReader
{
public:
    explicit LenientReader(QStringView text);

    double read();

private:
    char16_t peek();
    void advance();

    double readRadix(int bitsPerDigit);
    double readDecimal();
    void collectDigits(bool fraction);
    std::int64_t readExponent();
    double convert(bool negative, std::int64_t exponent) const;

    const char16_t* m_pos;
    const char16_t* m_end;

    // The significant digits read so far (leading zeros dropped), at most kKeptDigits of
    // them, and the power of ten that scales them to the value.
    std::string m_digits;
    std::int64_t m_scale = 0;
    bool m_sawDigit = false;
    bool m_droppedNonZero = false;
};

} // namespace varneth
