#include "rpl/structure_words.h"

#include "rpl/words.h"

namespace scrivlet {

bool isStructureWord(std::string_view word)
{
    // « and » end words for the lexer, so its keyword table does not hold them alone.
    return rplwords::keywordOf(word) != rplwords::Keyword::None || word == "\xAB" || word == "\xBB";
}

} // namespace scrivlet
