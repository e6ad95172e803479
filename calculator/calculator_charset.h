#pragma once

#include "common/code_page_table.h"

#include <string>
#include <string_view>

namespace scrivlet {

// The character set of the HP 49/50 series calculators, one byte per character:
//   0-127    ASCII; the control characters 0-31 and 127 are themselves, as in every table of
//            the editor (CR and LF are the editor's business).
//   128-159  the calculator's own symbols: ∠ x̄ ∇ √ ∫ Σ ▶ π ∂ ≤ ≥ ≠ α → ← ↓ ↑ γ δ ε η θ λ ρ σ τ ω
//            Δ Π Ω ■ ∞.
//   160      the euro sign (the 49 series replaced the no-break space).
//   161-255  Latin-1.
// x̄ (129) has no single Unicode character; the editor shows it as ā (U+0101).
//
// Look-alikes read as the calculator's byte: ∡ (angle), ∑ (sigma), ► (triangle), ∆ (delta),
// ∏ (pi), Ω (ohm sign), μ (micro), β (the calculator's ß, 223). Nothing else is guessed: the
// no-break space, for instance, has no byte (160 is the euro sign).
const CodePageTable& calculatorCodePage();

// Typed or pasted text as the editor shows it in the calculator's character set: like
// CodePageTable::shownText, and an x followed by a combining macron or overline (how x̄ is
// usually written in Unicode) becomes the one character of byte 129.
std::u16string calculatorShownText(std::u16string_view typed);

} // namespace scrivlet
