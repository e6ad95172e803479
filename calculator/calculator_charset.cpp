#include "calculator/calculator_charset.h"

#include <array>

namespace scrivlet {
namespace {

constexpr unsigned char kXBarByte = 129;

// The characters of the bytes 128..159.
constexpr std::array<char16_t, 32> kCalculatorSymbols = {
    u'\u2220', // 128 ∠ angle
    u'\u0101', // 129 x̄ mean, shown as ā
    u'\u2207', // 130 ∇
    u'\u221A', // 131 √
    u'\u222B', // 132 ∫
    u'\u03A3', // 133 Σ
    u'\u25B6', // 134 ▶
    u'\u03C0', // 135 π
    u'\u2202', // 136 ∂
    u'\u2264', // 137 ≤
    u'\u2265', // 138 ≥
    u'\u2260', // 139 ≠
    u'\u03B1', // 140 α
    u'\u2192', // 141 →
    u'\u2190', // 142 ←
    u'\u2193', // 143 ↓
    u'\u2191', // 144 ↑
    u'\u03B3', // 145 γ
    u'\u03B4', // 146 δ
    u'\u03B5', // 147 ε
    u'\u03B7', // 148 η
    u'\u03B8', // 149 θ
    u'\u03BB', // 150 λ
    u'\u03C1', // 151 ρ
    u'\u03C3', // 152 σ
    u'\u03C4', // 153 τ
    u'\u03C9', // 154 ω
    u'\u0394', // 155 Δ
    u'\u03A0', // 156 Π
    u'\u03A9', // 157 Ω
    u'\u25A0', // 158 ■ block
    u'\u221E', // 159 ∞
};

constexpr std::array<CodePageTable::LookAlike, 8> kLookAlikes = {{
    {u'\u2221', 128}, // ∡ measured angle
    {u'\u2211', 133}, // ∑ n-ary summation
    {u'\u25BA', 134}, // ► black right-pointing pointer
    {u'\u2206', 155}, // ∆ increment
    {u'\u220F', 156}, // ∏ n-ary product
    {u'\u2126', 157}, // Ω ohm sign
    {u'\u03BC', 181}, // μ Greek mu for the micro sign
    {u'\u03B2', 223}, // β Greek beta for the calculator's ß
}};

std::array<char16_t, 256> calculatorChars()
{
    std::array<char16_t, 256> chars{};
    for (std::size_t byte = 0; byte < chars.size(); ++byte)
        chars[byte] = static_cast<char16_t>(byte);
    for (std::size_t i = 0; i < kCalculatorSymbols.size(); ++i)
        chars[128 + i] = kCalculatorSymbols[i];
    chars[160] = u'\u20AC';
    return chars;
}

bool isCombiningBar(char16_t ch)
{
    return ch == u'\u0304' || ch == u'\u0305';
}

} // namespace

const CodePageTable& calculatorCodePage()
{
    static const CodePageTable table(calculatorChars(), kLookAlikes);
    return table;
}

std::u16string calculatorShownText(std::u16string_view typed)
{
    const CodePageTable& table = calculatorCodePage();
    std::u16string composed;
    composed.reserve(typed.size());
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (typed[i] == u'x' && i + 1 < typed.size() && isCombiningBar(typed[i + 1])) {
            composed.push_back(table.charOf(kXBarByte));
            ++i;
        } else {
            composed.push_back(typed[i]);
        }
    }
    return table.shownText(composed);
}

} // namespace scrivlet
