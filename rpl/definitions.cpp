#include "rpl/definitions.h"

namespace scrivlet {
namespace {

bool isAnonymousLabel(std::string_view name)
{
    return name.find_first_not_of("+-") == std::string_view::npos;
}

// 'name' with a plain name inside (no operator, no parenthesis, no blank).
bool isQuotedName(std::string_view text)
{
    return text.size() > 2 && text.back() == '\'' &&
           text.find_first_of(" \t+-*/^=<>(),;'", 1) == text.size() - 1;
}

} // namespace

void collectDefinitions(std::string_view line, const std::vector<Token>& tokens,
                        std::vector<LineDefinition>& out)
{
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (t.kind == TokenKind::Algebraic && i + 1 < tokens.size() &&
            tokens[i + 1].kind == TokenKind::Name && tokens[i + 1].text(line) == "STO" &&
            isQuotedName(t.text(line))) {
            out.push_back({t.start + 1, t.length - 2, DefinitionKind::Variable});
            continue;
        }
        if (t.kind != TokenKind::DefinedName && t.kind != TokenKind::LocalName &&
            t.kind != TokenKind::AsmLabel)
            continue;
        std::uint32_t column = t.start;
        std::uint32_t length = t.length;
        if (t.kind == TokenKind::AsmLabel && length > 1 &&
            (line[column] == '*' || line[column] == '=')) {
            ++column;
            --length;
        }
        if (t.kind == TokenKind::AsmLabel && isAnonymousLabel(line.substr(column, length)))
            continue;
        out.push_back({column, length, t.definition});
    }
}

bool refersTo(std::string_view word, std::string_view defined, DefinitionKind kind)
{
    if (word.size() > 1 && word[0] == '\'')
        word.remove_prefix(1);
    if (word == defined)
        return true;
    if (word.size() != defined.size() + 1)
        return false;
    if (kind == DefinitionKind::XName)
        return word[0] == 'x' && word.substr(1) == defined;
    if (kind == DefinitionKind::LocalVariable) {
        const char first = word.front();
        const char last = word.back();
        return ((first == '!' || first == '=') && word.substr(1) == defined) ||
               ((last == '@' || last == '!') && word.substr(0, defined.size()) == defined);
    }
    return false;
}

namespace {

// Calls `take` with each definition in text order until it returns true.
template <typename Take> void forEachDefinition(const RplLines& lines, Take take)
{
    std::string scratch;
    std::vector<Token> tokens;
    std::vector<LineDefinition> found;
    LexState state = lines.lineCount() > 0 ? lines.stateBefore(0) : LexState{};
    for (std::size_t index = 0; index < lines.lineCount(); ++index) {
        const std::string_view text = lines.lineText(index, scratch);
        state = lexLine(text, state, tokens);
        found.clear();
        collectDefinitions(text, tokens, found);
        for (const LineDefinition& d : found)
            if (take(Definition{std::string(d.name(text)), {index, d.column}, d.kind}))
                return;
    }
}

} // namespace

std::vector<Definition> findDefinitions(const RplLines& lines)
{
    std::vector<Definition> result;
    forEachDefinition(lines, [&](Definition d) {
        result.push_back(std::move(d));
        return false;
    });
    return result;
}

std::optional<Definition> findDefinition(const RplLines& lines, std::string_view word)
{
    std::optional<Definition> result;
    forEachDefinition(lines, [&](Definition d) {
        if (refersTo(word, d.name, d.kind))
            result = std::move(d);
        return result.has_value();
    });
    return result;
}

} // namespace scrivlet
