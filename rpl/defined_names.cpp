#include "rpl/defined_names.h"

namespace scrivlet {
namespace {

// The command name an xNAME definition also defines: its name with an x before it.
std::string commandName(std::string_view name)
{
    std::string command = "x";
    command.append(name);
    return command;
}

} // namespace

void DefinedNames::increment(Counts& counts, std::string_view name)
{
    const auto it = counts.find(name);
    if (it != counts.end())
        ++it->second;
    else
        counts.emplace(std::string(name), 1);
}

void DefinedNames::decrement(Counts& counts, std::string_view name)
{
    const auto it = counts.find(name);
    if (it != counts.end() && --it->second == 0)
        counts.erase(it);
}

void DefinedNames::add(std::string_view name, DefinitionKind kind)
{
    if (kind == DefinitionKind::LocalVariable) {
        increment(m_locals, name);
        return;
    }
    increment(m_names, name);
    if (kind == DefinitionKind::XName)
        increment(m_names, commandName(name));
}

void DefinedNames::remove(std::string_view name, DefinitionKind kind)
{
    if (kind == DefinitionKind::LocalVariable) {
        decrement(m_locals, name);
        return;
    }
    if (kind == DefinitionKind::XName)
        decrement(m_names, commandName(name));
    decrement(m_names, name);
}

void DefinedNames::addLine(std::string_view line, const std::vector<LineDefinition>& definitions)
{
    for (const LineDefinition& d : definitions)
        add(d.name(line), d.kind);
}

bool DefinedNames::contains(std::string_view word) const
{
    if (word.size() > 1 && word[0] == '\'')
        word.remove_prefix(1);
    if (m_names.contains(word) || m_locals.contains(word))
        return true;
    if (word.size() < 2 || m_locals.empty())
        return false;
    const char first = word.front();
    const char last = word.back();
    return ((first == '!' || first == '=') && m_locals.contains(word.substr(1))) ||
           ((last == '@' || last == '!') && m_locals.contains(word.substr(0, word.size() - 1)));
}

} // namespace scrivlet
