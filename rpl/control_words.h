#pragma once

#include "rpl/rom_names.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// The words of User RPL's control structures and the ROM word each stands for where it stands:
// END closes IF and IFERR (xIFEND), a THEN clause of CASE (xENDTIC), WHILE (xWHILEEND) and DO
// (xENDDO); THEN is xTHEN after IF, xERRTHEN after IFERR, xTHENCASE in a CASE; FOR is
// xSTARTVAR. The compiler asks it what each word compiles to; the decompiler asks it which word
// gives a ROM word back at that point, so a program is only shown with words that compile to
// it again. The addresses come from the reference book by these names.
class ControlWords {
  public:
    explicit ControlWords(const RomNames& names);

    static bool isControlWord(std::string_view word);

    struct Step {
        std::uint32_t address = 0;
        std::string error; // the word is out of place, or the book lacks its entry
    };
    // The word's ROM word here, and the structure state after it.
    Step step(std::string_view word);
    // The control word that stands for the address (END for xIFEND ...); empty when none.
    std::string_view wordFor(std::uint32_t address) const;

    bool closed() const { return m_open.empty(); }
    // The structure left open, for a message ("IF", "CASE" ...).
    std::string_view openWord() const;

  private:
    enum class Frame : std::uint8_t { If, IfErr, Case, CaseClause, While, Do, Start, For };
    enum Word : std::uint8_t {
        kIf,
        kThen,
        kElse,
        kIfEnd,
        kIfErr,
        kErrThen,
        kCase,
        kThenCase,
        kEndTic,
        kWhile,
        kRepeat,
        kWhileEnd,
        kDo,
        kUntil,
        kEndDo,
        kStart,
        kStartVar,
        kNext,
        kStep,
        kWordCount
    };
    Step emit(Word word) const;

    std::array<std::optional<std::uint32_t>, kWordCount> m_address{};
    std::vector<Frame> m_open;
};

} // namespace scrivlet
