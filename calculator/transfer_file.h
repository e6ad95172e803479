#pragma once

#include "calculator/rpl_object.h"

#include <string>
#include <string_view>

namespace scrivlet {

// A binary transfer file: 8 ASCII bytes "HPHP48-x" (48 series) or "HPHP49-x" (49 series), then
// one object as nibbles packed two to a byte, low nibble first, with no length and no
// checksum. An object of an odd number of nibbles gets one pad nibble. The letter x varies by
// writer and is kept; it means nothing to the object.
//
// We write "HPHP49-C" with a 0 pad nibble: the 49G itself sends "HPHP49-C" and pads with 0,
// and the GROB export has always written that header.
enum class CalculatorFamily : std::uint8_t { Hp48, Hp49 };

struct TransferFile {
    CalculatorFamily family = CalculatorFamily::Hp49;
    char letter = 'C';
    RplObject object;
    // Nibbles after the object in the file: the pad nibble, or what some writers append.
    std::size_t trailingNibbles = 0;
};

struct TransferFileRead {
    bool ok = false;
    TransferFile file;
    // When not ok: the byte offset in the file where the fault starts, and what it is.
    std::size_t byteOffset = 0;
    std::string message;
};

inline constexpr std::size_t kTransferHeaderBytes = 8;
inline constexpr char kWrittenLetter = 'C';

// Whether the bytes start like a binary transfer file (its first seven bytes).
bool isTransferFile(std::string_view bytes);

TransferFileRead readTransferFile(std::string_view bytes);

// The file bytes for an object: the header for the family and letter, the packed nibbles, a 0
// pad nibble when their count is odd.
std::string transferFileBytes(const RplObject& object,
                              CalculatorFamily family = CalculatorFamily::Hp49,
                              char letter = kWrittenLetter);

} // namespace scrivlet
