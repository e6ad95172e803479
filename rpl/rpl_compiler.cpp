#include "rpl/rpl_compiler.h"

#include "rpl/algebraic.h"
#include "rpl/control_words.h"
#include "rpl/literal_objects.h"
#include "rpl/number_forms.h"
#include "rpl/rpl_tokens.h"
#include "rpl/source_text.h"

#include <optional>
#include <vector>

namespace scrivlet {

namespace {

constexpr std::string_view kArrow = "\x8D";

using Context = TokenContext;
using Token = RplToken;

bool isSpace(char c)
{
    return isRplSeparator(c);
}

RplObject named(std::uint32_t prolog, std::string_view text)
{
    RplObject object{prolog, ObjectShape::Named, {}, std::string(text), {}};
    return object;
}

struct Failure {
    std::size_t at = 0;
    std::string message;
};

class Compiler {
  public:
    Compiler(const SourceText& source, const RomNames& names, CompileOptions options)
        : m_tokens(source.bytes,
                   [&names](std::string_view word) { return names.address(word).has_value(); }),
          m_names(names), m_options(options)
    {
        m_xProgram = names.address("x<<");
        m_xEnd = names.address("x>>");
        m_xAbandon = names.address("x>>ABND");
        m_xQuote = names.address("xSILENT'");
        m_xArrow = names.address("xRPN->");
    }

    RplObject compileAll()
    {
        const Context top = m_options.systemRpl ? Context::System : Context::User;
        Token first = next(top);
        if (first.kind == Token::Kind::End && !failed())
            fail(m_tokens.size(), "the text holds no object");
        if (failed())
            return {};
        RplObject object = item(first, top);
        if (failed())
            return {};
        const Token more = next(top);
        if (more.kind != Token::Kind::End && !failed())
            fail(more.at, "a transfer file holds one object; put several in a list or a program");
        return object;
    }

    bool failed() const { return m_failure.has_value(); }
    const Failure& failure() const { return *m_failure; }

  private:
    // Keeps the first fault; every caller returns as soon as failed() is true.
    void fail(std::size_t at, std::string message)
    {
        if (!m_failure)
            m_failure = Failure{at, std::move(message)};
    }

    Token next(Context context)
    {
        const Token token = m_tokens.next(context);
        if (m_tokens.failed())
            fail(m_tokens.errorAt(), m_tokens.error());
        return token;
    }

    Token word(Context context, const char* what)
    {
        Token t = next(context);
        if (t.kind != Token::Kind::Word) {
            fail(t.at, std::string(what) + " is missing");
            t.text = {};
        }
        return t;
    }

    std::uint32_t need(const std::optional<std::uint32_t>& address, std::size_t at,
                       const char* bookName)
    {
        if (!address)
            fail(at, std::string("the reference book has no entry ") + bookName);
        return address.value_or(0);
    }

    bool isLocal(std::string_view name) const
    {
        for (auto it = m_locals.rbegin(); it != m_locals.rend(); ++it)
            if (*it == name)
                return true;
        return false;
    }

    RplObject name(std::string_view text, std::size_t at)
    {
        if (text.empty() || text.size() > 255) {
            fail(at, "a name holds 1 to 255 characters");
            return {};
        }
        return named(isLocal(text) ? prolog::kLocalName : prolog::kGlobalName, text);
    }

    RplObject number(std::string_view text, std::size_t at)
    {
        std::optional<RplObject> object = compileNumber(text, m_names, m_options);
        if (!object) {
            fail(at, "the number " + std::string(text) + " is out of the calculator's range");
            return {};
        }
        return std::move(*object);
    }

    RplObject algebraic(const Token& t)
    {
        const AlgebraicParse parse =
            parseAlgebraic(t.text, m_names, m_locals, [this](std::string_view number) {
                return compileNumber(number, m_names, m_options);
            });
        if (!parse.ok) {
            fail(t.at + 1 + parse.errorAt, parse.message);
            return {};
        }
        return parse.object;
    }

    // The objects up to the closing bracket.
    std::vector<RplObject> sequence(Context context, std::string_view close, bool inProgram,
                                    ControlWords& control, std::size_t openedAt)
    {
        std::vector<RplObject> items;
        Nibbles raw; // CON(n) and NIBB nibbles not yet read as objects
        std::size_t rawAt = 0;
        if (++m_depth > kMaxObjectDepth) {
            fail(openedAt, "objects nested too deep");
            return items;
        }
        while (!failed()) {
            const Token t = next(context);
            if (failed())
                break;
            if (t.kind == Token::Kind::End) {
                fail(openedAt, "no closing " + std::string(close) + " for this bracket");
                break;
            }
            if ((t.kind == Token::Kind::Bracket || t.kind == Token::Kind::Word) &&
                t.text == close) {
                rawItems(rawAt, raw, items);
                --m_depth;
                return items;
            }
            if (inProgram && context == Context::User && t.kind == Token::Kind::Word) {
                if (ControlWords::isControlWord(t.text)) {
                    const ControlWords::Step step = control.step(t.text);
                    if (!step.error.empty()) {
                        fail(t.at, step.error);
                        break;
                    }
                    items.push_back(RplObject::pointer(step.address));
                    if (t.text == "FOR") {
                        const Token var = word(context, "the loop variable after FOR");
                        if (failed() || !checkName(var))
                            break;
                        m_loopDepths.push_back(m_locals.size());
                        m_locals.emplace_back(var.text);
                        items.push_back(named(prolog::kLocalName, var.text));
                    } else if (t.text == "START") {
                        m_loopDepths.push_back(m_locals.size());
                    } else if ((t.text == "NEXT" || t.text == "STEP") && !m_loopDepths.empty()) {
                        m_locals.resize(m_loopDepths.back());
                        m_loopDepths.pop_back();
                    }
                    continue;
                }
                if (t.text == kArrow) {
                    localBlock(t, items);
                    continue;
                }
            }
            if (context == Context::System && t.kind == Token::Kind::Word &&
                (t.text == "LABEL" || t.text == "LOCALNAME" || t.text == "LOCALLABEL" ||
                 t.text == "NAMELESS")) {
                // An assembler label for the object that follows: it stores nothing.
                word(context, "the label's name");
                continue;
            }
            if (context == Context::System && t.kind == Token::Kind::Word &&
                (constantWidth(t.text) || t.text == "NIBB")) {
                if (raw.empty())
                    rawAt = t.at;
                rawNibbles(t, raw);
                continue;
            }
            if (!raw.empty())
                rawItems(rawAt, raw, items);
            if (inProgram && t.kind == Token::Kind::Quoted && isQuotedName(t.text)) {
                // A quoted name inside a program: the quote word, then the name.
                items.push_back(RplObject::pointer(need(m_xQuote, t.at, "xSILENT'")));
                items.push_back(name(t.text, t.at));
                continue;
            }
            items.push_back(item(t, context));
        }
        return items; // failed: the depth no longer matters
    }

    // CON(n) value or NIBB count digits: nibbles added to the run.
    void rawNibbles(const Token& t, Nibbles& raw)
    {
        const Token operand = word(Context::System, "the operand");
        if (failed())
            return;
        if (const std::optional<int> width = constantWidth(t.text)) {
            const std::optional<std::uint32_t> value = constantValue(operand.text, m_names);
            if (!value || (*width < 8 && *value >> (4 * *width) != 0)) {
                fail(t.at, std::string(t.text) + " takes a value that fits " +
                               std::to_string(*width) +
                               " nibbles: decimal, # and hex digits, or = and a book name");
                return;
            }
            appendNibbleField(raw, *value, *width);
            return;
        }
        const Token digits = word(Context::System, "the digits after NIBB");
        if (failed())
            return;
        if (operand.text.empty() || operand.text.size() > 6 ||
            operand.text.find_first_not_of("0123456789") != std::string_view::npos ||
            std::stoul(std::string(operand.text)) != digits.text.size() ||
            !appendNibbleHex(digits.text, raw))
            fail(t.at, "NIBB takes a count and as many hex digits (NIBB 5 11920)");
    }

    // The run of raw nibbles as the objects and pointers it holds.
    void rawItems(std::size_t at, Nibbles& raw, std::vector<RplObject>& items)
    {
        if (raw.empty() || failed())
            return;
        RawItems read = itemsOfNibbles(raw);
        if (!read.ok)
            fail(at, read.message);
        items.insert(items.end(), std::make_move_iterator(read.items.begin()),
                     std::make_move_iterator(read.items.end()));
        raw.clear();
    }

    bool isQuotedName(std::string_view text) const
    {
        return isLocal(text) ? isLocalVariableName(text) : isBareUserName(text, m_names);
    }

    bool checkName(const Token& t)
    {
        if (!isLocalVariableName(t.text)) {
            fail(t.at, "\"" + std::string(t.text) + "\" cannot name a local variable");
            return false;
        }
        return true;
    }

    // → names, then the program or algebraic they are bound for.
    void localBlock(const Token& arrow, std::vector<RplObject>& items)
    {
        items.push_back(RplObject::pointer(need(m_xArrow, arrow.at, "xRPN->")));
        std::vector<std::string> bound;
        Token t = next(Context::User);
        while (t.kind == Token::Kind::Word) {
            if (!checkName(t))
                return;
            bound.emplace_back(t.text);
            items.push_back(named(prolog::kLocalName, t.text));
            t = next(Context::User);
        }
        if (bound.empty() || failed()) {
            fail(arrow.at, "\x8D names no local variable");
            return;
        }
        const std::size_t depth = m_locals.size();
        m_locals.insert(m_locals.end(), bound.begin(), bound.end());
        if (t.kind == Token::Kind::Bracket && t.text == "\xAB") {
            items.push_back(program(t, true));
        } else if (t.kind == Token::Kind::Quoted) {
            items.push_back(algebraic(t));
        } else {
            fail(t.at, "\x8D needs a program or an algebraic after its names");
        }
        m_locals.resize(depth);
    }

    RplObject program(const Token& open, bool abandon)
    {
        ControlWords control(m_names);
        RplObject object{prolog::kProgram, ObjectShape::Composite, {}, {}, {}};
        object.items.push_back(RplObject::pointer(need(m_xProgram, open.at, "x<<")));
        const std::size_t depth = m_locals.size();
        std::vector<RplObject> body = sequence(Context::User, "\xBB", true, control, open.at);
        if (!control.closed())
            fail(open.at, "this program leaves " + std::string(control.openWord()) + " open");
        m_locals.resize(depth);
        object.items.insert(object.items.end(), std::make_move_iterator(body.begin()),
                            std::make_move_iterator(body.end()));
        object.items.push_back(RplObject::pointer(abandon ? need(m_xAbandon, open.at, "x>>ABND")
                                                          : need(m_xEnd, open.at, "x>>")));
        return object;
    }

    RplObject item(const Token& t, Context context)
    {
        switch (t.kind) {
        case Token::Kind::End:
            fail(t.at, "an object is missing");
            return {};
        case Token::Kind::String: {
            std::optional<RplObject> string = stringObject(t.text);
            if (!string) {
                fail(t.at, "the string is too long");
                return {};
            }
            return std::move(*string);
        }
        case Token::Kind::Quoted:
            if (!isQuotedName(t.text))
                return algebraic(t);
            return name(t.text, t.at);
        case Token::Kind::Tag: {
            if (t.text.size() > 255) {
                fail(t.at, "a tag holds at most 255 characters");
                return {};
            }
            RplObject tagged{prolog::kTagged, ObjectShape::Tagged, {}, std::string(t.text), {}};
            if (++m_depth > kMaxObjectDepth) {
                fail(t.at, "objects nested too deep");
                return {};
            }
            const Token inner = next(context);
            tagged.items.push_back(item(inner, context));
            --m_depth;
            return tagged;
        }
        case Token::Kind::Complex:
            return complex(t);
        case Token::Kind::Bracket:
            return bracket(t, context);
        case Token::Kind::Word:
            break;
        }
        return wordItem(t, context);
    }

    RplObject complex(const Token& t)
    {
        const std::size_t comma = t.text.find(',');
        if (comma == std::string_view::npos) {
            fail(t.at, "a complex number is written (re,im)");
            return {};
        }
        auto part = [&](std::string_view text) {
            while (!text.empty() && isSpace(text.front()))
                text.remove_prefix(1);
            while (!text.empty() && isSpace(text.back()))
                text.remove_suffix(1);
            std::optional<Nibbles> body = realBody(text);
            if (!body) {
                fail(t.at, "a part of the complex number is no real number");
                return Nibbles(16, 0);
            }
            return *body;
        };
        Nibbles body = part(t.text.substr(0, comma));
        const Nibbles im = part(t.text.substr(comma + 1));
        body.insert(body.end(), im.begin(), im.end());
        return {prolog::kComplex, ObjectShape::Fixed, std::move(body), {}, {}};
    }

    RplObject bracket(const Token& t, Context context)
    {
        if (t.text == "\xAB")
            return program(t, false);
        if (t.text == "{") {
            ControlWords none(m_names);
            RplObject list{prolog::kList, ObjectShape::Composite, {}, {}, {}};
            list.items = sequence(context, "}", false, none, t.at);
            return list;
        }
        if (t.text == "[")
            return array(t, context);
        fail(t.at, std::string(t.text) + " closes nothing");
        return {};
    }

    // [ x ... ] or [[ x ... ] [ x ... ] ...] of reals or of complex numbers: an array object
    // (element prolog, dimensions, the elements' bodies row by row).
    RplObject array(const Token& open, Context context)
    {
        std::vector<Nibbles> elements;
        std::uint32_t elementProlog = 0;
        std::uint32_t rows = 0;
        auto element = [&](const Token& t) {
            std::uint32_t prologHere = prolog::kComplex;
            Nibbles body;
            if (t.kind == Token::Kind::Complex) {
                body = complex(t).body;
            } else if (t.kind == Token::Kind::Word &&
                       (numberWord(t.text) == NumberWord::Real ||
                        (numberWord(t.text) == NumberWord::Integer && !m_options.exactMode))) {
                prologHere = prolog::kReal;
                if (std::optional<Nibbles> real = realBody(t.text))
                    body = std::move(*real);
                else
                    fail(t.at,
                         "the number " + std::string(t.text) + " is out of the calculator's range");
            } else {
                fail(t.at, "an array holds reals (with their period) or complex numbers");
            }
            if (elementProlog != 0 && prologHere != elementProlog)
                fail(t.at, "an array holds numbers of one kind");
            elementProlog = prologHere;
            elements.push_back(std::move(body));
        };
        // The elements of one row up to its ], counted.
        auto row = [&]() {
            std::size_t count = 0;
            for (Token t = next(context); !failed(); t = next(context)) {
                if (t.kind == Token::Kind::Bracket && t.text == "]")
                    return count;
                if (t.kind == Token::Kind::End) {
                    fail(open.at, "no closing ] for this bracket");
                    break;
                }
                element(t);
                ++count;
            }
            return count;
        };
        std::size_t columns = 0;
        Token t = next(context);
        if (t.kind == Token::Kind::Bracket && t.text == "[") {
            while (!failed() && t.kind == Token::Kind::Bracket && t.text == "[") {
                const std::size_t count = row();
                if (rows > 0 && count != columns)
                    fail(t.at, "every row of a matrix holds as many numbers as the first");
                columns = count;
                ++rows;
                t = next(context);
            }
            if (!failed() && (t.kind != Token::Kind::Bracket || t.text != "]"))
                fail(t.at, "a matrix is [[ row ] [ row ] ...]");
        } else {
            m_tokens.rewind(t.at); // the first element: read it again as part of the row
            columns = row();
        }
        if (!failed() && elements.empty())
            fail(open.at, "an array holds at least one number");
        if (failed())
            return {};
        std::optional<RplObject> object = arrayObject(
            elementProlog, rows,
            static_cast<std::uint32_t>(std::min<std::size_t>(columns, 0xFFFFF)), elements);
        if (!object) {
            fail(open.at, "the array is too large");
            return {};
        }
        return std::move(*object);
    }

    RplObject wordItem(const Token& t, Context context)
    {
        const std::string_view w = t.text;
        if (w == "::") {
            ControlWords none(m_names);
            RplObject object{prolog::kProgram, ObjectShape::Composite, {}, {}, {}};
            object.items = sequence(Context::System, ";", false, none, t.at);
            return object;
        }
        if (context == Context::System) {
            if (std::optional<RplObject> object = systemForm(t); object || failed())
                return object ? std::move(*object) : RplObject{};
        }
        if (w == "PTR") {
            const Token a = word(context, "the address after PTR");
            Nibbles digits;
            if (a.text.size() != 5 || !appendNibbleHex(a.text, digits)) {
                fail(a.at, "PTR takes 5 hexadecimal digits");
                return {};
            }
            std::uint32_t value = 0;
            for (std::uint8_t d : digits)
                value = value << 4 | d;
            return pointer(value, a.at);
        }
        if (w == "NIBHEX") {
            const Token h = word(context, "the digits after NIBHEX");
            Nibbles nibbles;
            if (h.text.empty() || !appendNibbleHex(h.text, nibbles)) {
                fail(h.at, "NIBHEX takes hexadecimal digits");
                return {};
            }
            ObjectReadResult read = readObject(nibbles);
            if (!read.ok) {
                fail(h.at + read.error.offset,
                     "NIBHEX holds no whole object: " + read.error.message);
                return {};
            }
            if (read.end != nibbles.size()) {
                fail(h.at + read.end, "NIBHEX holds more than one object");
                return {};
            }
            return std::move(read.object);
        }
        if (w == "XLIB") {
            const Token l = word(context, "the library number after XLIB");
            const Token c = word(context, "the command number after XLIB");
            return xlibObject({decimal(l), decimal(c)});
        }
        if (w == "GROB")
            return grob(context);
        if ((w == "ID" || w == "LAM") && context == Context::System) {
            const Token n = word(context, "the name");
            if (n.text.empty() || n.text.size() > 255) {
                fail(n.at, "a name holds 1 to 255 characters");
                return {};
            }
            return named(w == "ID" ? prolog::kGlobalName : prolog::kLocalName, n.text);
        }
        if (w == "#") {
            const Token digits = word(context, "the digits of a binary integer");
            if (context == Context::System && !digits.text.empty() && digits.text.size() <= 5 &&
                digits.text.find_first_not_of("0123456789ABCDEF") == std::string_view::npos) {
                // # hhhhh in the System RPL form: a system binary.
                Nibbles hex, body;
                appendNibbleHex(digits.text, hex);
                std::uint32_t value = 0;
                for (std::uint8_t d : hex)
                    value = value << 4 | d;
                appendNibbleField(body, value, 5);
                return {prolog::kSystemBinary, ObjectShape::Fixed, std::move(body), {}, {}};
            }
            std::optional<Nibbles> body = hxsBody("#" + std::string(digits.text));
            if (!body) {
                fail(t.at, "a binary integer is # digits and a base letter (h d o b)");
                return {};
            }
            return {prolog::kBinaryInteger, ObjectShape::Sized, std::move(*body), {}, {}};
        }
        if (context == Context::System && (w == "%" || w == "ZINT")) {
            // % 1. and ZINT 1 in the System RPL form: the number itself, never a ROM constant.
            const Token n = word(context, "the number");
            std::optional<Nibbles> body = w == "%" ? realBody(n.text) : zintBody(n.text);
            if (!body || numberWord(n.text) == NumberWord::None) {
                fail(n.at, "no number the calculator can hold");
                return {};
            }
            if (w == "%")
                return {prolog::kReal, ObjectShape::Fixed, std::move(*body), {}, {}};
            return {prolog::kZint, ObjectShape::Sized, std::move(*body), {}, {}};
        }
        if (context == Context::System) {
            if (const auto address = m_names.address(w))
                return pointer(*address, t.at);
        }
        if (context == Context::System && w.size() <= 7 &&
            w.find_first_not_of("0123456789") == std::string_view::npos) {
            // A bare integer in the System RPL form: a system binary, as HP's compiler reads it.
            const unsigned long value = std::stoul(std::string(w));
            if (value > 0xFFFFF) {
                fail(t.at, "a system binary holds 0 to 1048575; write a bigger integer as ZINT n");
                return {};
            }
            Nibbles body;
            appendNibbleField(body, static_cast<std::uint32_t>(value), 5);
            return {prolog::kSystemBinary, ObjectShape::Fixed, std::move(body), {}, {}};
        }
        if (numberWord(w) != NumberWord::None)
            return number(w, t.at);
        if (w[0] == '#' && context == Context::System && w.size() >= 2 && w.size() <= 6 &&
            w.find_first_not_of("0123456789ABCDEF", 1) == std::string_view::npos) {
            // #hhhhh glued in the System RPL form: a system binary, as HP's compiler reads it.
            Nibbles hex, body;
            appendNibbleHex(w.substr(1), hex);
            std::uint32_t value = 0;
            for (std::uint8_t d : hex)
                value = value << 4 | d;
            appendNibbleField(body, value, 5);
            return {prolog::kSystemBinary, ObjectShape::Fixed, std::move(body), {}, {}};
        }
        if (w[0] == '#') {
            std::optional<Nibbles> body = hxsBody(w);
            if (!body) {
                fail(t.at, "a binary integer is # digits and a base letter (h d o b)");
                return {};
            }
            return {prolog::kBinaryInteger, ObjectShape::Sized, std::move(*body), {}, {}};
        }
        if (context == Context::System) {
            // A word the book holds only as a ROM library command or a flash pointer is that
            // (xREVLIST for ~xREVLIST); %10000 and %%2.5 not in the book are those numbers.
            const std::string word(w);
            if (m_names.romPointer("~" + word))
                return *romPointer(t, w);
            if (m_names.flashPointer("^" + word))
                return *flashPointer(t, w);
            const bool extended = w.starts_with("%%");
            const std::string_view digits = w.substr(extended ? 2 : 1);
            if (w[0] == '%' && numberWord(digits) != NumberWord::None) {
                if (std::optional<RplObject> real = realObject(digits, extended))
                    return std::move(*real);
            }
            unknownName(t, w, "entry ");
            return {};
        }
        if (w == ";") {
            fail(t.at, "; closes nothing");
            return {};
        }
        if (ControlWords::isControlWord(w) || w == kArrow) {
            fail(t.at, std::string(w) + " belongs in a program");
            return {};
        }
        if (isLocal(w))
            return named(prolog::kLocalName, w);
        if (const auto command = m_names.userCommand(w))
            return commandObject(*command);
        if (!isLocalVariableName(w)) {
            fail(t.at, w.find('_') != std::string_view::npos &&
                               (w[0] == '.' || (w[0] >= '0' && w[0] <= '9'))
                           ? "unit objects are not compiled yet; write them as NIBHEX"
                           : "\"" + std::string(w) + "\" is no number, command or name");
            return {};
        }
        return name(w, t.at);
    }

    // The System RPL forms of HP's compiler: ROMPTR lib cmd (hex) or ROMPTR name, FLASHPTR bank
    // cmd (hex) or FLASHPTR name, ~name and ^name by the book, %% x, C% re im, C%% re im,
    // HXS len digits, TAG tag object, $ "string", CHR c, UNIT and SYMBOL composites up to ;.
    // Assembler blocks are refused. Nothing for any other word.
    std::optional<RplObject> systemForm(const Token& t)
    {
        const std::string_view w = t.text;
        if (w == "CODE" || w == "ASSEMBLE" || w == "CODEM" || w == "ASSEMBLEM") {
            fail(t.at, "the assembler block " + std::string(w) +
                           " is not compiled; write the code object as NIBHEX");
            return std::nullopt;
        }
        if (w == "ROMPTR" || w == "ROMPTR2") {
            // ROMPTR lib cmd in hex, or ROMPTR name (ROMPTR2 ~name) by the book's ~name.
            const Token l = word(Context::System, "the library number or name after ROMPTR");
            if (failed())
                return std::nullopt;
            if (w == "ROMPTR2" || !isHexOperand(l.text))
                return romPointer(t, l.text.starts_with('~') ? l.text.substr(1) : l.text);
            const Token c = word(Context::System, "the command number after ROMPTR");
            const std::optional<std::uint32_t> lib = hexOperand(l.text, 3),
                                               cmd = hexOperand(c.text, 3);
            if (!lib || !cmd) {
                fail(t.at, "ROMPTR takes a library and a command number in hex (ROMPTR 326 2)");
                return std::nullopt;
            }
            return xlibObject({*lib, *cmd});
        }
        if (w == "FLASHPTR" || w == "FPTR" || w == "FPTR2") {
            // FLASHPTR bank cmd in hex (FPTR bank cmd), or FLASHPTR name (FPTR2 ^name) by the
            // book's ^name.
            const Token b = word(Context::System, "the bank or name after FLASHPTR");
            if (failed())
                return std::nullopt;
            if (w == "FPTR2" || !isHexOperand(b.text))
                return flashPointer(t, b.text.starts_with('^') ? b.text.substr(1) : b.text);
            const Token c = word(Context::System, "the command number after FLASHPTR");
            const std::optional<std::uint32_t> bank = hexOperand(b.text, 3),
                                               cmd = hexOperand(c.text, 4);
            if (!bank || !cmd) {
                fail(t.at, "FLASHPTR takes a bank and a command number in hex (FLASHPTR 4 24)");
                return std::nullopt;
            }
            return flashPointerObject(*cmd << 12 | *bank);
        }
        if (w.size() > 1 && w[0] == '~')
            return romPointer(t, w.substr(1));
        if (w.size() > 1 && w[0] == '^')
            return flashPointer(t, w.substr(1));
        if (w == "%%" || w == "C%" || w == "C%%") {
            const bool extended = w != "C%";
            const Token re = word(Context::System, "the number");
            const Token im = w == "%%" ? re : word(Context::System, "the imaginary part");
            if (failed())
                return std::nullopt;
            std::optional<RplObject> number =
                w == "%%" ? realObject(re.text, true) : complexObject(re.text, im.text, extended);
            if (!number)
                fail(t.at, std::string(w) + (extended ? " takes numbers of up to 15 digits and "
                                                        "exponents from -49999 to 49999"
                                                      : " takes two real numbers"));
            return number;
        }
        if (w == "HXS") {
            const Token length = word(Context::System, "the length after HXS");
            if (failed())
                return std::nullopt;
            const std::optional<std::uint32_t> count = hexOperand(length.text, 5);
            const Token digits = count == 0u ? length : word(Context::System, "the digits");
            std::optional<RplObject> hxs =
                failed() ? std::nullopt
                         : hexStringObject(length.text, count == 0u ? "" : digits.text);
            if (!hxs && !failed())
                fail(t.at, "HXS takes its length in hex and at most that many hex digits "
                           "(HXS 5 12345, HXS 0)");
            return hxs;
        }
        if (w == "TAG") {
            const Token tag = word(Context::System, "the tag after TAG");
            if (failed())
                return std::nullopt;
            if (tag.text.size() > 255) {
                fail(tag.at, "a tag holds at most 255 characters");
                return std::nullopt;
            }
            RplObject tagged{prolog::kTagged, ObjectShape::Tagged, {}, std::string(tag.text), {}};
            if (++m_depth > kMaxObjectDepth) {
                fail(t.at, "objects nested too deep");
                return std::nullopt;
            }
            tagged.items.push_back(item(next(Context::System), Context::System));
            --m_depth;
            return tagged;
        }
        if (constantWidth(w) || w == "NIBB") {
            fail(t.at, std::string(w) + " stands among the objects of a program, list or unit");
            return std::nullopt;
        }
        if (w == "xROMID" || w == "ROMID") {
            fail(t.at, std::string(w) + " names a library's number in its project's sources; it "
                                        "makes no object");
            return std::nullopt;
        }
        if (w == "$") {
            const Token text = next(Context::System);
            std::optional<RplObject> string =
                text.kind == Token::Kind::String ? stringObject(text.text) : std::nullopt;
            if (!string)
                fail(text.at, "$ takes a string in quotes");
            return string;
        }
        if (w == "CHR") {
            const Token c = word(Context::System, "the character after CHR");
            if (c.text.size() != 1) {
                fail(c.at, "CHR takes one character");
                return std::nullopt;
            }
            RplObject character{prolog::kCharacter, ObjectShape::Fixed, {}, {}, {}};
            appendNibbleField(character.body, static_cast<unsigned char>(c.text[0]), 2);
            return character;
        }
        if (w == "UNIT" || w == "SYMBOL") {
            ControlWords none(m_names);
            RplObject object{w == "UNIT" ? prolog::kUnit : prolog::kAlgebraic,
                             ObjectShape::Composite, {}, {}, {}};
            object.items = sequence(Context::System, ";", false, none, t.at);
            return object;
        }
        return std::nullopt;
    }

    // The book has no such name: the fault names the three nearest of its kind.
    void unknownName(const Token& t, std::string_view name, const char* what)
    {
        std::string message = "the reference book has no " + std::string(what) + std::string(name);
        const char kind = name[0] == '~' || name[0] == '^' ? name[0] : 0;
        const std::vector<std::string> nearest = m_names.nearestNames(name, 3, kind);
        for (std::size_t i = 0; i < nearest.size(); ++i)
            message += (i == 0 ? " (nearest: " : ", ") + nearest[i];
        fail(t.at, nearest.empty() ? message : message + ")");
    }

    std::optional<RplObject> romPointer(const Token& t, std::string_view name)
    {
        const std::optional<XlibId> id = m_names.romPointer("~" + std::string(name));
        if (!id) {
            unknownName(t, "~" + std::string(name), "ROM library command ");
            return std::nullopt;
        }
        return xlibObject(*id);
    }

    std::optional<RplObject> flashPointer(const Token& t, std::string_view name)
    {
        const std::optional<std::uint32_t> value = m_names.flashPointer("^" + std::string(name));
        if (!value) {
            unknownName(t, "^" + std::string(name), "flash pointer ");
            return std::nullopt;
        }
        return flashPointerObject(*value);
    }

    // A pointer in a composite: never a prolog or SEMI, which would read as the start of an
    // object or the end of the composite.
    RplObject pointer(std::uint32_t address, std::size_t at)
    {
        if (prologInfo(address) || address == prolog::kSemi)
            fail(at, "a prolog or SEMI cannot stand as a pointer; it starts or ends an object");
        return RplObject::pointer(address);
    }

    std::uint32_t decimal(const Token& t)
    {
        std::uint32_t value = 0;
        if (t.text.empty() || t.text.size() > 4 ||
            t.text.find_first_not_of("0123456789") != std::string_view::npos) {
            fail(t.at, "a decimal number from 0 to 4095 is expected");
            return 0;
        }
        for (char c : t.text)
            value = value * 10 + static_cast<std::uint32_t>(c - '0');
        if (value > 0xFFF)
            fail(t.at, "a decimal number from 0 to 4095 is expected");
        return value & 0xFFF;
    }

    RplObject grob(Context context)
    {
        const Token w = word(context, "the width of the GROB");
        const Token h = word(context, "the height of the GROB");
        auto size = [&](const Token& t) {
            std::uint64_t v = 0;
            if (t.text.empty() || t.text.size() > 7 ||
                t.text.find_first_not_of("0123456789") != std::string_view::npos) {
                fail(t.at, "a GROB's size is two decimal numbers");
                return std::uint64_t{0};
            }
            for (char c : t.text)
                v = v * 10 + static_cast<std::uint64_t>(c - '0');
            return v;
        };
        const std::uint64_t width = size(w), height = size(h);
        if (failed())
            return {};
        const std::uint64_t data = grobDataNibbleCount(width, height);
        std::string_view digits;
        if (data > 0 && data <= 0xFFFFF)
            digits = word(context, "the GROB's data").text;
        std::optional<RplObject> grob = failed() ? std::nullopt : grobObject(width, height, digits);
        if (!grob) {
            fail(w.at, "a GROB " + std::to_string(width) + " " + std::to_string(height) +
                           " needs " + std::to_string(data) +
                           " hexadecimal digits of data and fits 20-bit fields");
            return {};
        }
        return std::move(*grob);
    }

    std::optional<Failure> m_failure;

  private:
    RplTokenizer m_tokens;
    const RomNames& m_names;
    CompileOptions m_options;
    int m_depth = 0;
    std::vector<std::string> m_locals;
    std::vector<std::size_t> m_loopDepths; // m_locals' size where each open loop began
    std::optional<std::uint32_t> m_xProgram, m_xEnd, m_xAbandon, m_xQuote, m_xArrow;
};

} // namespace

std::optional<RplObject> compileNumber(std::string_view text, const RomNames& names,
                                       CompileOptions options)
{
    return numberObject(text, names, options.exactMode);
}

bool isLocalVariableName(std::string_view name)
{
    if (name.empty() || name.size() > 255)
        return false;
    // Brackets, quotes, and what an algebraic reads as an operator.
    for (char c : name)
        if (isSpace(c) || endsUserWord(c) || c == '"' || c == '\'' || c == '@' || c == '(' ||
            c == ')' || c == ',' || c == '+' || c == '-' || c == '*' || c == '/' || c == '^' ||
            c == '=' || c == '<' || c == '>' || c == '\x89' || c == '\x8A' || c == '\x8B')
            return false;
    const char first = name[0];
    if ((first >= '0' && first <= '9') || first == '.' || first == '#' || first == ':')
        return false;
    return numberWord(name) == NumberWord::None && !ControlWords::isControlWord(name) &&
           name != kArrow && name != "::" && name != ";" && name != "PTR" && name != "NIBHEX" &&
           name != "XLIB" && name != "GROB" && name != "ID" && name != "LAM";
}

bool isBareUserName(std::string_view name, const RomNames& names)
{
    return isLocalVariableName(name) && !names.userCommand(name);
}

CompileResult compileRpl(std::string_view text, const RomNames& names, CompileOptions options)
{
    CompileResult result;
    const SourceText source = readSourceText(text);
    auto errorAt = [&](std::size_t byteAt, std::string message) {
        const std::size_t offset =
            byteAt < source.origin.size() ? source.origin[byteAt] : text.size();
        const LineColumn lc = lineColumnAt(text, offset);
        result.error = {lc.line, lc.column, std::move(message)};
        return result;
    };
    if (source.fractionMark != '.') {
        result.error = {1, 1, "only the period is read as the fraction mark (F(.))"};
        return result;
    }
    Compiler compiler(source, names, options);
    RplObject object = compiler.compileAll();
    if (compiler.failed())
        return errorAt(compiler.failure().at, compiler.failure().message);
    result.object = std::move(object);
    result.ok = true;
    return result;
}

} // namespace scrivlet
