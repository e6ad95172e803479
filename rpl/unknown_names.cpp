#include "rpl/unknown_names.h"

#include "rpl/words.h"

namespace scrivlet {
namespace {

// The word with prefix before it and each → or \-> written as arrow.
std::string spelled(std::string_view word, std::string_view prefix, std::string_view arrow)
{
    std::string entry(prefix);
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (word.compare(i, 3, "\\->") == 0) {
            entry += arrow;
            i += 2;
        } else if (static_cast<unsigned char>(word[i]) == rplwords::kArrow) {
            entry += arrow;
        } else {
            entry += word[i];
        }
    }
    return entry;
}

} // namespace

NameCheck checkName(std::string_view line, const Token& token, RplDialect dialect,
                    const DefinedNames& defined, const ReferenceBook& inReferenceBook)
{
    if (token.kind != TokenKind::Name || token.definition == DefinitionKind::Define ||
        dialect == RplDialect::User)
        return NameCheck::NotChecked;
    const std::string_view word = token.text(line);
    if (inReferenceBook(word) || defined.contains(word))
        return NameCheck::Known;
    if (word.size() > 1 && word[0] == '\'' && inReferenceBook(word.substr(1)))
        return NameCheck::Known;
    return NameCheck::Unknown;
}

std::optional<std::string> userCommandEntry(std::string_view word,
                                            const ReferenceBook& inReferenceBook)
{
    if (word.empty())
        return std::nullopt;
    const bool arrow = word.find("\\->") != std::string_view::npos ||
                       word.find(static_cast<char>(rplwords::kArrow)) != std::string_view::npos;
    for (const auto& [prefix, spelling] :
         {std::pair<std::string_view, std::string_view>{"x", ">"}, {"x", "->"}, {"~x", "\\->"}}) {
        if (spelling == "->" && !arrow)
            continue;
        std::string entry = spelled(word, prefix, spelling);
        if (inReferenceBook(entry))
            return entry;
    }
    return std::nullopt;
}

} // namespace scrivlet
