#include "rpl/number_forms.h"

#include <algorithm>

namespace scrivlet {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

struct Decimal {
    bool negative = false;
    std::string digits; // significant digits, no leading zero; empty for zero
    long exponent = 0;  // of the first digit
};

// Parses sign, digits, period, E exponent. Fails on anything else.
std::optional<Decimal> parseDecimal(std::string_view text)
{
    Decimal d;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        d.negative = text[i++] == '-';
    std::string all;
    long pointAt = -1;
    bool any = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text[i])) {
            all += text[i];
            any = true;
        } else if (text[i] == '.' && pointAt < 0) {
            pointAt = static_cast<long>(all.size());
        } else {
            break;
        }
    }
    if (!any)
        return std::nullopt;
    if (pointAt < 0)
        pointAt = static_cast<long>(all.size());
    long exp = 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        ++i;
        bool negExp = false;
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            negExp = text[i++] == '-';
        if (i >= text.size())
            return std::nullopt;
        for (; i < text.size(); ++i) {
            if (!isDigit(text[i]) || exp > 100000)
                return std::nullopt;
            exp = exp * 10 + (text[i] - '0');
        }
        if (negExp)
            exp = -exp;
    }
    if (i != text.size())
        return std::nullopt;
    const std::size_t first = all.find_first_not_of('0');
    if (first == std::string::npos)
        return d; // zero
    d.exponent = pointAt - static_cast<long>(first) - 1 + exp;
    d.digits = all.substr(first);
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

} // namespace

NumberWord numberWord(std::string_view text)
{
    if (!parseDecimal(text))
        return NumberWord::None;
    const std::size_t start = !text.empty() && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    return text.find_first_not_of("0123456789", start) == std::string_view::npos
               ? NumberWord::Integer
               : NumberWord::Real;
}

namespace {

// The two decimal floating-point formats: a real (12 digits, exponent -499..499) and an
// extended real (15 digits, exponent -49999..49999).
struct FloatFormat {
    int digits;
    int exponentDigits;
    long maxExponent;
    std::size_t size() const { return static_cast<std::size_t>(exponentDigits + digits + 1); }
};
constexpr FloatFormat kReal{12, 3, 499};
constexpr FloatFormat kExtended{15, 5, 49999};

std::optional<Nibbles> floatBody(std::string_view text, const FloatFormat& f)
{
    std::optional<Decimal> d = parseDecimal(text);
    if (!d)
        return std::nullopt;
    const auto digits = static_cast<std::size_t>(f.digits);
    if (d->digits.size() > digits) {
        const bool up = d->digits[digits] >= '5';
        d->digits.resize(digits);
        if (up) {
            long i = f.digits - 1;
            for (; i >= 0 && d->digits[static_cast<std::size_t>(i)] == '9'; --i)
                d->digits[static_cast<std::size_t>(i)] = '0';
            if (i < 0) {
                d->digits.insert(d->digits.begin(), '1');
                d->digits.resize(digits);
                ++d->exponent;
            } else {
                ++d->digits[static_cast<std::size_t>(i)];
            }
        }
        while (!d->digits.empty() && d->digits.back() == '0')
            d->digits.pop_back();
    }
    Nibbles body(f.size(), 0);
    if (d->digits.empty())
        return body; // zero: no sign, no exponent
    if (d->exponent > f.maxExponent || d->exponent < -f.maxExponent)
        return std::nullopt;
    long e = d->exponent < 0 ? 2 * (f.maxExponent + 1) + d->exponent : d->exponent;
    for (int i = 0; i < f.exponentDigits; ++i, e /= 10)
        body[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(e % 10);
    const std::size_t leading = static_cast<std::size_t>(f.exponentDigits + f.digits - 1);
    for (std::size_t k = 0; k < d->digits.size(); ++k)
        body[leading - k] = static_cast<std::uint8_t>(d->digits[k] - '0');
    body.back() = d->negative ? 9 : 0;
    return body;
}

std::string floatText(const Nibbles& body, std::size_t from, const FloatFormat& f)
{
    if (body.size() < from + f.size())
        return {};
    const std::uint8_t* n = body.data() + from;
    const int last = f.exponentDigits + f.digits; // the sign
    for (int i = 0; i < last; ++i)
        if (n[i] > 9)
            return {};
    if (n[last] != 0 && n[last] != 9)
        return {};
    std::string digits;
    for (int i = last - 1; i >= f.exponentDigits; --i)
        digits += static_cast<char>('0' + n[i]);
    if (digits[0] == '0') {
        // Only a plain zero is canonical.
        for (int i = 0; i <= last; ++i)
            if (n[i] != 0)
                return {};
        return "0.";
    }
    long e = 0;
    for (int i = f.exponentDigits - 1; i >= 0; --i)
        e = e * 10 + n[i];
    if (e == f.maxExponent + 1)
        return {}; // past the range, as -500 is for a real
    if (e > f.maxExponent)
        e -= 2 * (f.maxExponent + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string text = n[last] == 9 ? "-" : "";
    const long count = static_cast<long>(digits.size());
    if (e >= 0 && e < f.digits) {
        if (count <= e + 1)
            text += digits + std::string(static_cast<std::size_t>(e + 1 - count), '0') + ".";
        else
            text += digits.substr(0, static_cast<std::size_t>(e + 1)) + "." +
                    digits.substr(static_cast<std::size_t>(e + 1));
    } else if (e < 0 && count - e <= f.digits) {
        text += "." + std::string(static_cast<std::size_t>(-e - 1), '0') + digits;
    } else {
        text += digits.substr(0, 1) + "." + digits.substr(1) + "E" + std::to_string(e);
    }
    return text;
}

} // namespace

std::optional<Nibbles> realBody(std::string_view text)
{
    return floatBody(text, kReal);
}

std::string realText(const Nibbles& body, std::size_t from)
{
    return floatText(body, from, kReal);
}

std::optional<Nibbles> extendedRealBody(std::string_view text)
{
    return floatBody(text, kExtended);
}

std::string extendedRealText(const Nibbles& body, std::size_t from)
{
    return floatText(body, from, kExtended);
}

std::optional<Nibbles> zintBody(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const std::size_t first = text.find_first_not_of('0');
    text = first == std::string_view::npos ? std::string_view("0") : text.substr(first);
    if (text.size() + 6 > 0xFFFFF)
        return std::nullopt;
    Nibbles body;
    if (text == "0") {
        // Zero has no digits: its one nibble is the sign, as HP's compiler stores ZINT 0.
        appendNibbleField(body, 6, 5);
        body.push_back(0);
        return body;
    }
    appendNibbleField(body, static_cast<std::uint32_t>(text.size() + 6), 5);
    for (auto it = text.rbegin(); it != text.rend(); ++it)
        body.push_back(static_cast<std::uint8_t>(*it - '0'));
    body.push_back(negative && text != "0" ? 9 : 0);
    return body;
}

std::string zintText(const Nibbles& body)
{
    if (body.size() == 6 && nibbleField(body, 0, 5) == 6 && body[5] == 0)
        return "0";
    if (body.size() < 7 || nibbleField(body, 0, 5) != body.size())
        return {};
    const std::uint8_t sign = body.back();
    if (sign != 0 && sign != 9)
        return {};
    std::string text;
    for (std::size_t i = body.size() - 2; i >= 5; --i) {
        if (body[i] > 9)
            return {};
        text += static_cast<char>('0' + body[i]);
    }
    if (text[0] == '0')
        return {};
    return sign == 9 ? "-" + text : text;
}

std::optional<Nibbles> hxsBody(std::string_view text)
{
    if (text.empty() || text[0] != '#')
        return std::nullopt;
    text.remove_prefix(1);
    while (!text.empty() && text[0] == ' ')
        text.remove_prefix(1);
    if (text.size() < 2)
        return std::nullopt;
    int base = 0;
    switch (text.back()) {
    case 'h':
        base = 16;
        break;
    case 'd':
        base = 10;
        break;
    case 'o':
        base = 8;
        break;
    case 'b':
        base = 2;
        break;
    default:
        return std::nullopt;
    }
    text.remove_suffix(1);
    std::uint64_t value = 0;
    for (char c : text) {
        int digit = 99;
        if (isDigit(c))
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        if (digit >= base)
            return std::nullopt;
        if (value > (~std::uint64_t{0} - static_cast<std::uint64_t>(digit)) /
                        static_cast<std::uint64_t>(base))
            return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    Nibbles body;
    appendNibbleField(body, 21, 5);
    for (int i = 0; i < 16; ++i)
        body.push_back(static_cast<std::uint8_t>((value >> (4 * i)) & 0x0Fu));
    return body;
}

std::string hxsText(const Nibbles& body)
{
    if (body.size() != 21 || nibbleField(body, 0, 5) != 21)
        return {};
    std::string hex = nibbleHex(Nibbles(body.rbegin(), body.rend() - 5));
    const std::size_t first = hex.find_first_not_of('0');
    return "# " + (first == std::string::npos ? std::string("0") : hex.substr(first)) + "h";
}

std::optional<int> smallInteger(std::string_view text, bool real)
{
    const std::optional<Decimal> d = parseDecimal(text);
    if (!d || (numberWord(text) == NumberWord::Real) != real)
        return std::nullopt;
    if (d->digits.empty())
        return 0;
    if (d->digits.size() != 1 || d->exponent != 0)
        return std::nullopt;
    const int value = d->digits[0] - '0';
    return d->negative ? -value : value;
}

} // namespace scrivlet
