#pragma once

#include "common/string_hash.h"
#include "rpl/definitions.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace scrivlet {

// The names a text defines, as a count per name, so that a view can keep it up to date line by
// line: remove a line's old definitions, add its new ones. contains() answers whether a word
// refers to any of them (by the forms refersTo knows).
//
// Invariant: every count is positive; a name is present as often as it was added and not yet
// removed.
class DefinedNames final {
  public:
    void add(std::string_view name, DefinitionKind kind);
    // Undoes one add of the same name and kind; a name never added stays absent.
    void remove(std::string_view name, DefinitionKind kind);
    void addLine(std::string_view line, const std::vector<LineDefinition>& definitions);

    bool contains(std::string_view word) const;
    bool empty() const { return m_names.empty() && m_locals.empty(); }

  private:
    using Counts = std::unordered_map<std::string, std::uint32_t, TransparentStringHash, std::equal_to<>>;

    static void increment(Counts& counts, std::string_view name);
    static void decrement(Counts& counts, std::string_view name);

    Counts m_names;  // every defined name, and xFOO for xNAME FOO
    Counts m_locals; // local variables
};

} // namespace scrivlet
