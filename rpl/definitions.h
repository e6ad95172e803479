#pragma once

#include "rpl/lines.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scrivlet {

// The definition finder: the names a text defines and where.
//
// Definitions are the names after NULLNAME xNAME sNAME hNAME tNAME LABEL LOCALNAME LOCALLABEL
// DEFINE EXTERNAL FEXTERNAL (and EQU DC EQUCP DCCP in MASD), assembler labels (SASM: the
// column-1 word, a leading = dropped; MASD: *name without the *; the anonymous SASM labels made
// of + and - only are none), local variables ({{ a b }}, → a b) and User RPL variables (the
// names in a DIR ... END, and 'name' STO on one line).
// A name is referred to as written; besides, a name defined by xNAME FOO is referred to as xFOO,
// a local variable a as a@ a! !a =a (MASD's recall and store forms), and any name quoted with a
// glued ' ('FOO).

// A definition on one line: the name's columns and how it was defined.
struct LineDefinition {
    std::uint32_t column = 0;
    std::uint32_t length = 0;
    DefinitionKind kind = DefinitionKind::None;

    std::string_view name(std::string_view line) const { return line.substr(column, length); }
    bool operator==(const LineDefinition&) const = default;
};

// Appends to `out` the definitions among a line's tokens (as lexLine gave them for `line`).
void collectDefinitions(std::string_view line, const std::vector<Token>& tokens,
                        std::vector<LineDefinition>& out);

// True when `word` refers to the name `defined`, defined as `kind`.
bool refersTo(std::string_view word, std::string_view defined, DefinitionKind kind);

struct Definition {
    std::string name;
    TextPoint place;
    DefinitionKind kind = DefinitionKind::None;

    bool operator==(const Definition&) const = default;
};

// Every definition of a text, in text order.
std::vector<Definition> findDefinitions(const RplLines& lines);
// The first definition that `word` refers to.
std::optional<Definition> findDefinition(const RplLines& lines, std::string_view word);

} // namespace scrivlet
