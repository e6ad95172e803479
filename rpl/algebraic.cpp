#include "rpl/algebraic.h"

#include "rpl/literal_objects.h"

#include <array>

namespace scrivlet {

namespace {

constexpr int kEquals = 1, kCompare = 2, kSum = 3, kProduct = 4, kNegate = 5, kPower = 6, kAtom = 9;

struct Operator {
    std::string_view text;
    int precedence;
};
constexpr std::array<Operator, 12> kOperators = {{
    {"=", kEquals},
    {"==", kCompare},
    {"<", kCompare},
    {">", kCompare},
    {"\x89", kCompare},
    {"\x8A", kCompare},
    {"\x8B", kCompare},
    {"+", kSum},
    {"-", kSum},
    {"*", kProduct},
    {"/", kProduct},
    {"^", kPower},
}};

// Constants and functions of more than one argument; every other command applied in an
// algebraic takes one.
struct Arity {
    std::string_view name;
    int arguments;
};
constexpr std::array<Arity, 18> kArities = {{
    {"\x87", 0},
    {"e", 0},
    {"i", 0},
    {"MAXR", 0},
    {"MINR", 0},
    {"MAX", 2},
    {"MIN", 2},
    {"MOD", 2},
    {"%", 2},
    {"%CH", 2},
    {"%T", 2},
    {"COMB", 2},
    {"PERM", 2},
    {"XROOT", 2},
    {"RND", 2},
    {"TRNC", 2},
    {"IFTE", 3},
    {"ATAN2", 2},
}};

bool isOperatorByte(char c)
{
    return c == '+' || c == '-' || c == '*' || c == '/' || c == '^' || c == '=' || c == '<' ||
           c == '>' || c == '\x89' || c == '\x8A' || c == '\x8B' || c == '(' || c == ')' ||
           c == ',' || static_cast<unsigned char>(c) <= 0x20;
}

class Parser {
  public:
    Parser(std::string_view text, const RomNames& names, const std::vector<std::string>& locals,
           const AlgebraicNumber& number)
        : m_text(text), m_names(names), m_locals(locals), m_number(number)
    {
    }

    AlgebraicParse run()
    {
        AlgebraicParse result;
        result.object = {prolog::kAlgebraic, ObjectShape::Composite, {}, {}, {}};
        m_out = &result.object.items;
        expression(0, 0);
        skipSpaces();
        if (!m_error && m_pos < m_text.size())
            fail("this does not continue the expression");
        if (m_error) {
            result.errorAt = m_errorAt;
            result.message = m_message;
            result.object = {};
            return result;
        }
        result.ok = true;
        return result;
    }

  private:
    void fail(std::string message)
    {
        if (!m_error) {
            m_error = true;
            m_errorAt = m_pos;
            m_message = std::move(message);
        }
    }

    void skipSpaces()
    {
        while (m_pos < m_text.size() && static_cast<unsigned char>(m_text[m_pos]) <= 0x20)
            ++m_pos;
    }

    // The binary operator at the cursor, longest first ("==" before "=").
    const Operator* peekOperator()
    {
        skipSpaces();
        const Operator* found = nullptr;
        for (const Operator& op : kOperators)
            if (m_text.substr(m_pos, op.text.size()) == op.text &&
                (!found || op.text.size() > found->text.size()))
                found = &op;
        return found;
    }

    bool emitCommand(std::string_view spelling)
    {
        const auto command = m_names.userCommand(spelling);
        if (!command) {
            fail("the reference book has no command " + std::string(spelling));
            return false;
        }
        m_out->push_back(commandObject(*command));
        return true;
    }

    void expression(int minPrecedence, int depth)
    {
        if (depth > kMaxObjectDepth) {
            fail("the expression is nested too deep");
            return;
        }
        operand(depth);
        while (!m_error) {
            const Operator* op = peekOperator();
            if (!op || op->precedence < minPrecedence)
                return;
            m_pos += op->text.size();
            expression(op->precedence == kPower ? kPower : op->precedence + 1, depth + 1);
            if (!m_error)
                emitCommand(op->text);
        }
    }

    void operand(int depth)
    {
        skipSpaces();
        if (m_pos >= m_text.size()) {
            fail("an operand is missing");
            return;
        }
        const char c = m_text[m_pos];
        if (c == '-') {
            ++m_pos;
            expression(kNegate, depth + 1);
            if (!m_error)
                emitCommand("NEG");
            return;
        }
        if (c == '(') {
            ++m_pos;
            expression(0, depth + 1);
            close(')');
            return;
        }
        std::size_t end = m_pos;
        if ((c >= '0' && c <= '9') || c == '.') {
            while (end < m_text.size() &&
                   ((m_text[end] >= '0' && m_text[end] <= '9') || m_text[end] == '.'))
                ++end;
            if (end < m_text.size() && (m_text[end] == 'E' || m_text[end] == 'e')) {
                std::size_t e = end + 1;
                if (e < m_text.size() && (m_text[e] == '-' || m_text[e] == '+'))
                    ++e;
                if (e < m_text.size() && m_text[e] >= '0' && m_text[e] <= '9') {
                    end = e;
                    while (end < m_text.size() && m_text[end] >= '0' && m_text[end] <= '9')
                        ++end;
                }
            }
            std::optional<RplObject> number = m_number(m_text.substr(m_pos, end - m_pos));
            if (!number) {
                fail("no number the calculator can hold");
                return;
            }
            m_out->push_back(std::move(*number));
            m_pos = end;
            return;
        }
        while (end < m_text.size() && !isOperatorByte(m_text[end]))
            ++end;
        if (end == m_pos) {
            fail("an operand is missing");
            return;
        }
        const std::string_view name = m_text.substr(m_pos, end - m_pos);
        m_pos = end;
        if (m_pos < m_text.size() && m_text[m_pos] == '(') {
            ++m_pos;
            skipSpaces();
            if (m_pos < m_text.size() && m_text[m_pos] != ')') {
                expression(0, depth + 1);
                skipSpaces();
                while (!m_error && m_pos < m_text.size() && m_text[m_pos] == ',') {
                    ++m_pos;
                    expression(0, depth + 1);
                    skipSpaces();
                }
            }
            close(')');
            if (!m_error)
                emitCommand(name);
            return;
        }
        if (name.size() > 255) {
            fail("a name holds at most 255 characters");
            return;
        }
        bool local = false;
        for (const std::string& l : m_locals)
            local = local || l == name;
        if (!local && m_names.userCommand(name)) {
            emitCommand(name); // a command without arguments: π, e, i ...
            return;
        }
        m_out->push_back({local ? prolog::kLocalName : prolog::kGlobalName,
                          ObjectShape::Named,
                          {},
                          std::string(name),
                          {}});
    }

    void close(char bracket)
    {
        skipSpaces();
        if (m_pos >= m_text.size() || m_text[m_pos] != bracket)
            fail(std::string("a ") + bracket + " is missing");
        else
            ++m_pos;
    }

    std::string_view m_text;
    const RomNames& m_names;
    const std::vector<std::string>& m_locals;
    const AlgebraicNumber& m_number;
    std::vector<RplObject>* m_out = nullptr;
    std::size_t m_pos = 0;
    bool m_error = false;
    std::size_t m_errorAt = 0;
    std::string m_message;
};

struct Term {
    std::string text;
    int precedence;
};

std::string_view spellingOf(const RplObject& item, const RomNames& names)
{
    if (item.shape == ObjectShape::Pointer)
        return names.userSpellingAt(item.prolog);
    if (item.prolog == prolog::kXlibName && item.body.size() == 6)
        return names.userSpellingOf({nibbleField(item.body, 0, 3), nibbleField(item.body, 3, 3)});
    return {};
}

} // namespace

AlgebraicParse parseAlgebraic(std::string_view text, const RomNames& names,
                              const std::vector<std::string>& locals, const AlgebraicNumber& number)
{
    return Parser(text, names, locals, number).run();
}

std::optional<std::string> algebraicText(const RplObject& algebraic, const RomNames& names,
                                         const AlgebraicLeaf& leaf)
{
    std::vector<Term> stack;
    for (const RplObject& item : algebraic.items) {
        const std::string_view spelling = spellingOf(item, names);
        const Operator* op = nullptr;
        for (const Operator& o : kOperators)
            if (o.text == spelling)
                op = &o;
        if (op) {
            if (stack.size() < 2)
                return std::nullopt;
            Term right = std::move(stack.back());
            stack.pop_back();
            Term& left = stack.back();
            const int p = op->precedence;
            const bool power = p == kPower;
            if (left.precedence < p || (power && left.precedence == p))
                left.text = "(" + left.text + ")";
            if (right.precedence < p || (!power && right.precedence == p))
                right.text = "(" + right.text + ")";
            left = {left.text + std::string(op->text) + right.text, p};
        } else if (spelling == "NEG") {
            if (stack.empty())
                return std::nullopt;
            Term& operand = stack.back();
            operand = {"-" +
                           (operand.precedence < kNegate ? "(" + operand.text + ")" : operand.text),
                       kNegate};
        } else if (!spelling.empty()) {
            int arguments = 1;
            for (const Arity& a : kArities)
                if (a.name == spelling)
                    arguments = a.arguments;
            if (stack.size() < static_cast<std::size_t>(arguments))
                return std::nullopt;
            if (arguments == 0) {
                stack.push_back({std::string(spelling), kAtom}); // π, e, i: no arguments
                continue;
            }
            std::string call = std::string(spelling) + "(";
            for (std::size_t k = stack.size() - static_cast<std::size_t>(arguments);
                 k < stack.size(); ++k)
                call += (k + static_cast<std::size_t>(arguments) == stack.size() ? "" : ",") +
                        stack[k].text;
            stack.resize(stack.size() - static_cast<std::size_t>(arguments));
            stack.push_back({call + ")", kAtom});
        } else {
            std::string text = leaf(item);
            if (text.empty())
                return std::nullopt;
            stack.push_back({std::move(text), kAtom});
        }
    }
    if (stack.size() != 1)
        return std::nullopt;
    return stack.front().text;
}

} // namespace scrivlet
