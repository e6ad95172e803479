#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace scrivlet {

// The words of a source the compiler reads, in the calculator's bytes: separators are the bytes
// up to the space; @ starts a comment that runs to the next @ or the end of the line; "string",
// 'quoted', (complex) and :tag: run to their closing character (a tag within its line);
// { } « » [ ] are words of their own. In User RPL a word also ends at { } « » [ ]; in the
// System RPL form only at a separator, since the book's names hold brackets (NULL{}).
enum class TokenContext : std::uint8_t { User, System };

struct RplToken {
    enum class Kind : std::uint8_t { End, Word, String, Quoted, Tag, Complex, Bracket };
    Kind kind = Kind::End;
    std::string_view text; // the word, the characters between the delimiters, the bracket
    std::size_t at = 0;    // byte offset in the source
};

inline bool isRplSeparator(char c)
{
    return static_cast<unsigned char>(c) <= 0x20;
}

inline bool endsUserWord(char c)
{
    return isRplSeparator(c) || c == '{' || c == '}' || c == '\xAB' || c == '\xBB' || c == '[' ||
           c == ']';
}

class RplTokenizer {
  public:
    // `isEntryName` tells the book's names: in the System RPL form a word that starts with '
    // and is one of them ('DROPFALSE) is a word, not the start of a quoted object.
    explicit RplTokenizer(std::string_view source,
                          std::function<bool(std::string_view)> isEntryName = {})
        : m_src(source), m_isEntryName(std::move(isEntryName))
    {
    }

    // The next word; End at the end of the source, and at an unclosed delimiter, which is then
    // the error.
    RplToken next(TokenContext context);
    // Reads again from this offset.
    void rewind(std::size_t at) { m_pos = at; }
    std::size_t size() const { return m_src.size(); }

    bool failed() const { return !m_error.empty(); }
    std::size_t errorAt() const { return m_errorAt; }
    const std::string& error() const { return m_error; }

  private:
    std::string_view m_src;
    std::function<bool(std::string_view)> m_isEntryName;
    std::size_t m_pos = 0;
    std::size_t m_errorAt = 0;
    std::string m_error;
};

} // namespace scrivlet
