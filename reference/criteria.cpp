#include "reference/criteria.h"

#include "common/ascii.h"

#include <cctype>
#include <charconv>

namespace scrivlet {
namespace {

bool isIdentifier(std::string_view s)
{
    if (s.empty())
        return false;
    for (char c : s) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    }
    return true;
}

// "<field> LIKE '<pattern>'", the keyword in any letter case.
std::optional<Criteria> parseLike(std::string_view s)
{
    const auto quote = s.find('\'');
    if (quote == std::string_view::npos || s.size() < quote + 2 || s.back() != '\'')
        return std::nullopt;
    std::string_view head = trimSpacesAndTabs(s.substr(0, quote));
    if (head.size() < 5 || !equalsNoCase(head.substr(head.size() - 4), "LIKE") ||
        (head[head.size() - 5] != ' ' && head[head.size() - 5] != '\t'))
        return std::nullopt;
    const std::string_view field = trimSpacesAndTabs(head.substr(0, head.size() - 5));
    std::string_view pattern = s.substr(quote + 1, s.size() - quote - 2);
    if (!isIdentifier(field) || pattern.find('\'') != std::string_view::npos)
        return std::nullopt;

    Criteria c;
    c.field = std::string(field);
    if (!pattern.empty() && pattern.back() == '%') {
        c.kind = Criteria::Kind::Prefix;
        pattern.remove_suffix(1);
    } else {
        c.kind = Criteria::Kind::Equal;
    }
    if (pattern.find('%') != std::string_view::npos)
        return std::nullopt;
    c.text = std::string(pattern);
    return c;
}

std::optional<Criteria> parseNumberEqual(std::string_view s)
{
    const auto eq = s.find('=');
    const std::string_view field = trimSpacesAndTabs(s.substr(0, eq));
    const std::string_view value = trimSpacesAndTabs(s.substr(eq + 1));
    if (!isIdentifier(field) || value.empty())
        return std::nullopt;
    Criteria c;
    c.field = std::string(field);
    c.kind = Criteria::Kind::NumberEqual;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), c.number);
    if (ec != std::errc() || end != value.data() + value.size())
        return std::nullopt;
    return c;
}

} // namespace

std::optional<Criteria> parseCriteria(std::string_view criteria)
{
    const std::string_view s = trimSpacesAndTabs(criteria);
    if (s.empty())
        return std::nullopt;
    const auto quote = s.find('\'');
    const auto eq = s.find('=');
    if (eq != std::string_view::npos && (quote == std::string_view::npos || eq < quote))
        return parseNumberEqual(s);
    return parseLike(s);
}

} // namespace scrivlet
