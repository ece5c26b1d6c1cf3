#include "LenientReader.h"

#include <charconv>
#include <limits>
#include <system_error>

namespace varneth {

namespace {

// A binary64 halfway point has at most 767 significant decimal digits, so the nearest
// Double is fixed by this many leading digits plus whether any later digit is non-zero.
constexpr std::size_t kKeptDigits = 800;

// Beyond these decimal exponents of the leading digit every value is infinite or zero;
// the bound also keeps an absurd exponent from overflowing the arithmetic.
constexpr std::int64_t kExponentLimit = 400;
constexpr std::int64_t kExponentSaturation = std::int64_t(1) << 40;

// &H and &O numbers: this many digits or fewer make a 16-bit value, longer a 32-bit one.
constexpr int kShortHexDigits = 4;
constexpr int kShortOctalDigits = 6;

bool isIgnored(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int radixDigit(char16_t c, int radix)
{
    int value = radix;
    if (c >= u'0' && c <= u'9')
        value = c - u'0';
    else if (c >= u'a' && c <= u'f')
        value = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        value = c - u'A' + 10;
    return value < radix ? value : -1;
}

} // namespace

LenientReader::LenientReader(QStringView text)
    : m_pos(text.utf16()), m_end(text.utf16() + text.size())
{
}

char16_t LenientReader::peek()
{
    while (m_pos != m_end && isIgnored(*m_pos))
        ++m_pos;
    // The end reads as NUL, which no number continues with, just as a NUL in the text.
    return m_pos == m_end ? u'\0' : *m_pos;
}

void LenientReader::advance()
{
    if (m_pos != m_end)
        ++m_pos;
}

double LenientReader::read()
{
    if (peek() == u'&') {
        advance();
        const char16_t kind = peek();
        if (kind == u'H' || kind == u'h') {
            advance();
            return readRadix(4);
        }
        if (kind == u'O' || kind == u'o') {
            advance();
            return readRadix(3);
        }
        return 0.0;
    }
    return readDecimal();
}

double LenientReader::readRadix(int bitsPerDigit)
{
    const int radix = 1 << bitsPerDigit;
    const int shortDigits = bitsPerDigit == 4 ? kShortHexDigits : kShortOctalDigits;
    std::uint64_t value = 0;
    int count = 0;
    bool tooWide = false;
    for (int digit = radixDigit(peek(), radix); digit >= 0; digit = radixDigit(peek(), radix)) {
        advance();
        ++count;
        if (!tooWide) {
            value = (value << bitsPerDigit) | std::uint64_t(digit);
            tooWide = value > std::numeric_limits<std::uint32_t>::max();
        }
    }
    // Too wide for 32 bits: shown as "Overflow" rather than as some wrapped value.
    if (tooWide)
        return std::numeric_limits<double>::infinity();
    // Both widths are two's complement, so &HFFFF is -1 and &HFFFFFFFF is -1 too.
    if (count <= shortDigits && value <= std::numeric_limits<std::uint16_t>::max())
        return double(std::int16_t(std::uint16_t(value)));
    return double(std::int32_t(std::uint32_t(value)));
}

double LenientReader::readDecimal()
{
    bool negative = false;
    if (peek() == u'-' || peek() == u'+') {
        negative = peek() == u'-';
        advance();
    }
    collectDigits(false);
    if (peek() == u'.') {
        advance();
        collectDigits(true);
    }
    if (!m_sawDigit)
        return 0.0;
    return convert(negative, readExponent());
}

void LenientReader::collectDigits(bool fraction)
{
    // Tight loops over a run of digits and blanks: a pasted megabyte of digits is the
    // input that decides how slow a recalculation can get.
    if (m_digits.empty()) {
        // Leading zeros are not kept; in the fraction they still move the scale.
        std::int64_t zeros = 0;
        for (; m_pos != m_end; ++m_pos) {
            const char16_t c = *m_pos;
            if (c == u'0')
                ++zeros;
            else if (!isIgnored(c))
                break;
        }
        m_sawDigit = m_sawDigit || zeros != 0;
        if (fraction)
            m_scale -= zeros;
    }
    for (; m_pos != m_end; ++m_pos) {
        const char16_t c = *m_pos;
        if (isIgnored(c))
            continue;
        if (!isDigit(c))
            return;
        m_sawDigit = true;
        if (m_digits.size() == kKeptDigits)
            break;
        m_digits.push_back(char(c));
        if (fraction)
            --m_scale;
    }

    // Past the kept digits only their number (in the whole part) and whether any of
    // them is non-zero still matter: that is the sticky digit convert() adds.
    std::int64_t dropped = 0;
    char16_t nonZero = 0;
    for (; m_pos != m_end; ++m_pos) {
        const char16_t c = *m_pos;
        if (isDigit(c)) {
            ++dropped;
            nonZero |= char16_t(c - u'0');
        } else if (!isIgnored(c)) {
            break;
        }
    }
    if (!fraction)
        m_scale += dropped;
    m_droppedNonZero = m_droppedNonZero || nonZero != 0;
}

std::int64_t LenientReader::readExponent()
{
    const char16_t letter = peek();
    if (letter != u'E' && letter != u'e' && letter != u'D' && letter != u'd')
        return 0;
    advance();
    bool negative = false;
    if (peek() == u'-' || peek() == u'+') {
        negative = peek() == u'-';
        advance();
    }
    // A letter without digits after it is not an exponent; the number ended before it.
    std::int64_t exponent = 0;
    while (isDigit(peek())) {
        if (exponent < kExponentSaturation)
            exponent = exponent * 10 + (peek() - u'0');
        advance();
    }
    return negative ? -exponent : exponent;
}

double LenientReader::convert(bool negative, std::int64_t exponent) const
{
    const double zero = negative ? -0.0 : 0.0;
    if (m_digits.empty())
        return zero;
    const double infinity = negative ? -std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::infinity();
    const std::int64_t scale = m_scale + exponent;
    const std::int64_t leading = scale + std::int64_t(m_digits.size()) - 1;
    if (leading > kExponentLimit)
        return infinity;
    if (leading < -kExponentLimit)
        return zero;

    // The kept digits, a sticky 1 standing for the dropped non-zero ones, and the scale:
    // from_chars rounds that to the nearest Double without consulting any locale.
    std::string ascii;
    ascii.reserve(m_digits.size() + 32);
    if (negative)
        ascii.push_back('-');
    ascii += m_digits;
    std::int64_t power = scale;
    if (m_droppedNonZero) {
        ascii.push_back('1');
        --power;
    }
    ascii.push_back('e');
    char exponentText[24];
    const auto written = std::to_chars(exponentText, exponentText + sizeof exponentText, power);
    ascii.append(exponentText, written.ptr);

    double value = 0.0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return leading > 0 ? infinity : zero;
    return value;
}

} // namespace varneth
