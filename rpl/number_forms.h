#pragma once

#include "calculator/nibbles.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace scrivlet {

// Numbers as the calculator stores them after their prolog, and as it shows them.
//
// A real: 16 nibbles in memory order: the exponent (3 BCD digits, ten's complement when
// negative), the mantissa (12 BCD digits, least significant first, so the leading digit is the
// 15th nibble), the sign (0 or 9). Text: an optional sign, digits with an optional period and
// an optional E exponent; more than 12 significant digits round half up, as the calculator
// rounds what is typed.
// An integer (ZINT, the 49 series' exact integers): a 5-nibble length counting itself, the
// decimal digits least significant first, then the sign nibble (0 or 9).
// A binary integer (HXS): a 5-nibble length counting itself and 16 hexadecimal digits, least
// significant first; its text is # digits and a base letter (h d o b).

std::optional<Nibbles> realBody(std::string_view text);
// The real as the calculator shows it in standard display mode (1. 1.5 -.25 1.E12 1.23E-15);
// empty when the nibbles are not a real in canonical form (bad digits, a zero with a sign or
// an exponent, a leading zero), which then cannot be written as a number.
std::string realText(const Nibbles& body, std::size_t from = 0);
// An extended real (System RPL's %%): 21 nibbles laid out as a real's, with a 5-digit exponent
// (-49999 to 49999, ten's complement when negative) and 15 mantissa digits; its text as a
// real's, E notation past 15 digits.
std::optional<Nibbles> extendedRealBody(std::string_view text);
std::string extendedRealText(const Nibbles& body, std::size_t from = 0);

std::optional<Nibbles> zintBody(std::string_view text);
// The integer's digits with its sign; empty when not canonical.
std::string zintText(const Nibbles& body);

std::optional<Nibbles> hxsBody(std::string_view text); // "#FFh", "#255d", "# 377o"
std::string hxsText(const Nibbles& body);              // "# FFh"; empty unless 16 digits

// The small integer a text stands for, when it is one in -9..9 (as a real, "5." or "5.0" too):
// the numbers the calculator stores as pointers to its own ROM constants.
std::optional<int> smallInteger(std::string_view text, bool real);

// Whether the text is a decimal number: an integer (digits with an optional sign) or a real.
enum class NumberWord : std::uint8_t { None, Integer, Real };
NumberWord numberWord(std::string_view text);

} // namespace scrivlet
