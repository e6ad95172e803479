#include "rpl/rpl_decompiler.h"

#include "common/ascii.h"

#include "calculator/transfer_escapes.h"
#include "rpl/algebraic.h"
#include "rpl/control_words.h"
#include "rpl/library_summary.h"
#include "rpl/literal_objects.h"
#include "rpl/number_forms.h"
#include "rpl/rpl_compiler.h"

#include <array>
#include <unordered_map>
#include <utility>
#include <vector>

namespace scrivlet {

namespace {

enum class Context : std::uint8_t { User, System };

constexpr std::size_t kLineWidth = 100;

// Words the compiler reads as its own syntax in a System RPL form.
constexpr std::array<std::string_view, 36> kSystemKeywords = {
    "::",    ";",        "PTR",       "NIBHEX",  "XLIB",      "GROB",       "ID",       "LAM",
    "#",     "\xAB",     "\xBB",      "%",       "ZINT",      "%%",         "C%",       "C%%",
    "TAG",   "HXS",      "ROMPTR",    "ROMPTR2", "FLASHPTR",  "FPTR2",      "FPTR",     "$",
    "CHR",   "UNIT",     "SYMBOL",    "LABEL",   "LOCALNAME", "LOCALLABEL", "NAMELESS", "CODE",
    "CODEM", "ASSEMBLE", "ASSEMBLEM", "NIBB"};

// A word the compiler reads back as it is after a System RPL form's keyword (TAG's tag, the
// name after FLASHPTR or ROMPTR): no separator, nothing that starts another kind of token.
bool isPlainWord(std::string_view word)
{
    if (word.empty() || word.size() > 255)
        return false;
    for (char c : word)
        if (static_cast<unsigned char>(c) <= 0x20)
            return false;
    return std::string_view("\"'(@:{}[]\xAB\xBB").find(word[0]) == std::string_view::npos;
}

// A book name without its ~ or ^ when the compiler reads it back as a name after ROMPTR or
// FLASHPTR; empty otherwise.
std::string_view bareName(std::string_view bookName)
{
    if (bookName.size() < 2)
        return {};
    bookName.remove_prefix(1);
    return isPlainWord(bookName) && !isHexOperand(bookName) ? bookName : std::string_view();
}

// Hex digits that start with a decimal one, as HP's compiler reads a number operand.
std::string numberOperand(std::uint32_t value)
{
    const std::string digits = hexNumber(value, 1);
    return digits[0] > '9' ? "0" + digits : digits;
}

bool isSystemWord(std::string_view word)
{
    if (word.empty())
        return false;
    for (char c : word)
        if (static_cast<unsigned char>(c) <= 0x20)
            return false;
    const char first = word[0];
    if (first == '"' || first == '\'' || first == '(' || first == '@' || first == '{' ||
        first == '}' || first == '[' || first == ']' || first == '\xAB' || first == '\xBB')
        return false;
    if (first == ':' && (word.size() < 2 || word[1] != ':'))
        return false;
    for (std::string_view keyword : kSystemKeywords)
        if (word == keyword)
            return false;
    return numberWord(word) == NumberWord::None;
}

std::string hex5(std::uint32_t value)
{
    Nibbles n;
    appendNibbleField(n, value, 5);
    return nibbleHex(Nibbles(n.rbegin(), n.rend()));
}

class Printer {
  public:
    Printer(const RomNames& names, DecompileOptions options)
        : m_names(names), m_options(options), m_control(names)
    {
        for (int n = -9; n <= 9; ++n) {
            if (const auto z = names.address("Z" + std::to_string(n) + "_"))
                m_zint.emplace(*z, n);
            if (const auto r = names.address("%" + std::to_string(n)))
                m_real.emplace(*r, n);
        }
        if (!options.namePointers)
            return;
        m_xProgram = names.address("x<<");
        m_xEnd = names.address("x>>");
        m_xAbandon = names.address("x>>ABND");
        m_xQuote = names.address("xSILENT'");
        m_xArrow = names.address("xRPN->");
    }

    void object(const RplObject& o, Context context)
    {
        const State saved = save();
        if (!tryObject(o, context)) {
            restore(saved);
            if (o.prolog == prolog::kLibrary)
                libraryComment(o);
            emit("NIBHEX");
            emit(nibbleHex(objectNibbles(o)));
        }
    }

    std::string take() { return std::move(m_out); }

  private:
    // A library is written as its nibbles; comment lines before them give its number, title and
    // command names (a comment runs to the end of its line, so nothing in it may hold @).
    void libraryComment(const RplObject& library)
    {
        const std::optional<LibrarySummary> summary = librarySummary(library);
        if (!summary)
            return;
        auto clean = [](const std::string& text) {
            std::string out;
            for (char c : text)
                out += c == '@' || static_cast<unsigned char>(c) < 0x20 ? '?' : c;
            return out;
        };
        std::string lines =
            "@ Library " + std::to_string(summary->number) + ": " + clean(summary->title) + "\n";
        std::string names;
        for (const std::string& name : summary->commands) {
            if (names.size() + name.size() > kLineWidth - 4) {
                lines += "@" + names + "\n";
                names.clear();
            }
            names += " " + clean(name);
        }
        if (!names.empty())
            lines += "@" + names + "\n";
        if (!m_out.empty() && m_out.back() != '\n')
            m_out += '\n';
        m_out += lines;
        m_column = 0;
        m_glue = true;
    }

  private:
    struct State {
        std::size_t out;
        std::size_t column;
        std::size_t locals;
    };
    State save() const { return {m_out.size(), m_column, m_locals.size()}; }
    void restore(const State& s)
    {
        m_glue = false;
        m_out.resize(s.out);
        m_column = s.column;
        m_locals.resize(s.locals);
    }

    // Writes a word, after a space or at the start of a new line when the line is full.
    void emit(std::string_view word)
    {
        if (!m_out.empty() && !std::exchange(m_glue, false)) {
            if (m_column > 0 && m_column + 1 + word.size() > kLineWidth) {
                m_out += '\n';
                m_column = 0;
            } else {
                m_out += ' ';
                ++m_column;
            }
        }
        m_out += word;
        const std::size_t line = word.rfind('\n');
        m_column = line == std::string_view::npos ? m_column + word.size() : word.size() - line - 1;
    }

    bool isLocal(std::string_view name) const
    {
        for (auto it = m_locals.rbegin(); it != m_locals.rend(); ++it)
            if (*it == name)
                return true;
        return false;
    }

    bool pointer(std::uint32_t address, Context context)
    {
        if (!m_options.namePointers) {
        } else if (context == Context::User) {
            if (const auto z = m_zint.find(address); z != m_zint.end() && m_options.exactMode) {
                emit(std::to_string(z->second));
                return true;
            }
            if (const auto r = m_real.find(address); r != m_real.end()) {
                emit(std::to_string(r->second) + ".");
                return true;
            }
            const std::string_view spelling = m_names.userSpellingAt(address);
            if (!spelling.empty() && !isLocal(spelling)) {
                emit(spelling);
                return true;
            }
        } else {
            const std::string_view name = m_names.nameAt(address);
            // ' alone, 'DROPFALSE and the like: the compiler reads a book name that starts
            // with ' as that entry.
            if (isSystemWord(name) || name == "'" ||
                (name.size() > 1 && name[0] == '\'' && isPlainWord(name.substr(1)))) {
                emit(name);
                return true;
            }
        }
        emit("PTR");
        emit(hex5(address));
        return true;
    }

    bool tryObject(const RplObject& o, Context context)
    {
        switch (o.shape) {
        case ObjectShape::Pointer:
            return pointer(o.prolog, context);
        case ObjectShape::Named:
            return name(o, context);
        case ObjectShape::Tagged: {
            if (o.text.empty() || o.text.find_first_of(":\n\r") != std::string::npos ||
                o.items.size() != 1)
                return false;
            if (context == Context::System && isPlainWord(o.text)) {
                emit("TAG " + o.text);
                object(o.items[0], context);
                return true;
            }
            emit(":" + o.text + ":");
            m_glue = true; // the calculator writes :tag:object
            object(o.items[0], context);
            return true;
        }
        case ObjectShape::Composite:
            if (o.prolog == prolog::kList) {
                emit("{");
                for (const RplObject& item : o.items)
                    object(item, context);
                emit("}");
                return true;
            }
            if (o.prolog == prolog::kProgram)
                return program(o, false);
            if (o.prolog == prolog::kAlgebraic && algebraic(o))
                return true;
            if (context == Context::System &&
                (o.prolog == prolog::kAlgebraic || o.prolog == prolog::kUnit)) {
                emit(o.prolog == prolog::kUnit ? "UNIT" : "SYMBOL");
                for (const RplObject& item : o.items)
                    object(item, context);
                emit(";");
                return true;
            }
            return false;
        case ObjectShape::Fixed:
            return fixed(o, context);
        case ObjectShape::Sized:
            return sized(o, context);
        case ObjectShape::Directory:
            return false;
        }
        return false;
    }

    // 'expression', when its text parses back to the same objects.
    bool algebraic(const RplObject& o)
    {
        const std::optional<std::string> text =
            algebraicText(o, m_names, [this](const RplObject& item) { return operand(item); });
        // 'X' alone is read as the name, not as an algebraic holding it.
        if (!text || (isLocal(*text) ? isLocalVariableName(*text) : isBareUserName(*text, m_names)))
            return false;
        const AlgebraicParse back =
            parseAlgebraic(*text, m_names, m_locals, [this](std::string_view number) {
                return compileNumber(number, m_names, CompileOptions{m_options.exactMode});
            });
        if (!back.ok || objectNibbles(back.object) != objectNibbles(o))
            return false;
        emit("'" + *text + "'");
        return true;
    }

    // A name or a number inside an algebraic, as this printer writes it in a program.
    std::string operand(const RplObject& item)
    {
        if (item.shape != ObjectShape::Pointer && item.shape != ObjectShape::Named &&
            item.prolog != prolog::kReal && item.prolog != prolog::kZint)
            return {};
        const State saved = save();
        const bool glue = m_glue;
        m_glue = true;
        const bool ok = tryObject(item, Context::User);
        std::string text = ok ? m_out.substr(saved.out) : std::string();
        restore(saved);
        m_glue = glue;
        if (text.find_first_of(" \n") != std::string::npos || text.starts_with("PTR"))
            return {};
        return text;
    }

    bool name(const RplObject& o, Context context)
    {
        const bool local = o.prolog == prolog::kLocalName;
        if (context == Context::System) {
            if (!isSystemWord(o.text) || o.text.starts_with("::"))
                return false;
            emit(local ? "LAM" : "ID");
            emit(o.text);
            return true;
        }
        if (local ? !isLocal(o.text) || !isLocalVariableName(o.text)
                  : isLocal(o.text) || !isBareUserName(o.text, m_names))
            return false;
        emit(o.text);
        return true;
    }

    bool fixed(const RplObject& o, Context context)
    {
        if (o.prolog == prolog::kReal) {
            const std::string text = realText(o.body);
            if (text.empty())
                return false;
            if (isRomConstant(text, true)) {
                if (context != Context::System)
                    return false;
                emit("%"); // the number itself, not the ROM constant the compiler would store
            }
            emit(text);
            return true;
        }
        if (o.prolog == prolog::kSystemBinary) {
            if (context != Context::System)
                return false;
            const std::string hex = nibbleHex(Nibbles(o.body.rbegin(), o.body.rend()));
            const std::size_t first = hex.find_first_not_of('0');
            emit("#");
            emit(first == std::string::npos ? "0" : hex.substr(first));
            return true;
        }
        if (o.prolog == prolog::kComplex) {
            const std::string re = realText(o.body, 0), im = realText(o.body, 16);
            if (re.empty() || im.empty())
                return false;
            if (context == Context::System) {
                emit("C% " + re + " " + im);
            } else {
                emit("(" + re + "," + im + ")");
            }
            return true;
        }
        if (o.prolog == prolog::kExtendedReal || o.prolog == prolog::kExtendedComplex) {
            const bool complex = o.prolog == prolog::kExtendedComplex;
            const std::string re = extendedRealText(o.body, 0),
                              im = complex ? extendedRealText(o.body, 21) : "0";
            if (context != Context::System || re.empty() || im.empty())
                return false;
            emit(complex ? "C%% " + re + " " + im : "%% " + re);
            return true;
        }
        if (o.prolog == prolog::kFlashPointer) {
            if (context != Context::System)
                return false;
            const std::uint32_t value = nibbleField(o.body, 0, 7);
            const std::string_view name =
                m_options.namePointers ? m_names.flashPointerName(value) : std::string_view();
            if (!bareName(name).empty())
                emit("FLASHPTR " + std::string(bareName(name)));
            else // the bank starts with a digit, so that it reads as a number
                emit("FLASHPTR " + numberOperand(value & 0xFFFu) + " " + hexNumber(value >> 12, 1));
            return true;
        }
        if (o.prolog == prolog::kXlibName) {
            const XlibId id{nibbleField(o.body, 0, 3), nibbleField(o.body, 3, 3)};
            const std::string_view spelling = m_names.userSpellingOf(id);
            if (context == Context::User && m_options.namePointers && !spelling.empty() &&
                !isLocal(spelling)) {
                emit(spelling);
                return true;
            }
            const std::string_view name =
                m_options.namePointers ? m_names.romPointerName(id) : std::string_view();
            if (context == Context::System && !bareName(name).empty()) {
                emit("ROMPTR " + std::string(bareName(name)));
                return true;
            }
            emit("XLIB");
            emit(std::to_string(id.library));
            emit(std::to_string(id.command));
            return true;
        }
        return false;
    }

    bool isRomConstant(const std::string& text, bool real) const
    {
        const std::optional<int> n = smallInteger(text, real);
        if (!n)
            return false;
        for (const auto& [address, value] : real ? m_real : m_zint)
            if (value == *n)
                return true;
        return false;
    }

    bool sized(const RplObject& o, Context context)
    {
        if (o.prolog == prolog::kZint) {
            const std::string text = zintText(o.body);
            if (text.empty())
                return false;
            // In a System RPL program always ZINT n: HP's compiler reads a bare integer there as
            // a system binary.
            if (context != Context::System && (!m_options.exactMode || isRomConstant(text, false)))
                return false;
            emit(context == Context::System ? "ZINT " + text : text);
            return true;
        }
        if (o.prolog == prolog::kBinaryInteger) {
            // User RPL's # digits h holds 16 digits; HP's compiler reads # as a system binary.
            const std::string text = hxsText(o.body);
            if (context == Context::User && !text.empty()) {
                emit(text);
                return true;
            }
            if (context != Context::System)
                return false;
            emit("HXS " + hexNumber(static_cast<std::uint32_t>(o.body.size() - 5), 1));
            if (o.body.size() > 5)
                emit(nibbleHex(o.body, 5));
            return true;
        }
        if (o.prolog == prolog::kString)
            return string(o);
        if (o.prolog == prolog::kGrob)
            return grob(o);
        if (o.prolog == prolog::kArray)
            return array(o);
        return false;
    }

    // A one- or two-dimensional array of reals or complex numbers, as the calculator shows it.
    bool array(const RplObject& o)
    {
        const Nibbles& b = o.body;
        if (b.size() < 20)
            return false;
        const std::uint32_t element = nibbleField(b, 5, 5);
        const std::uint32_t dims = nibbleField(b, 10, 5);
        const std::size_t size = element == prolog::kReal      ? 16
                                 : element == prolog::kComplex ? 32
                                                               : 0;
        if (size == 0 || (dims != 1 && dims != 2) || b.size() < 15 + 5 * dims)
            return false;
        const std::uint64_t rows = dims == 2 ? nibbleField(b, 15, 5) : 1;
        const std::uint64_t columns = nibbleField(b, 15 + 5 * (dims - 1), 5);
        const std::size_t first = 15 + 5 * dims;
        if (rows == 0 || columns == 0 || b.size() != first + rows * columns * size)
            return false;
        std::string text = dims == 2 ? "[" : "";
        for (std::uint64_t r = 0; r < rows; ++r) {
            text += r == 0 ? "[" : " [";
            for (std::uint64_t c = 0; c < columns; ++c) {
                const std::size_t at = first + (r * columns + c) * size;
                const std::string re = realText(b, at);
                const std::string im = size == 32 ? realText(b, at + 16) : "0";
                if (re.empty() || im.empty())
                    return false;
                text += " " + (size == 32 ? "(" + re + "," + im + ")" : re);
            }
            text += " ]";
        }
        emit(dims == 2 ? text + "]" : text);
        return true;
    }

    bool string(const RplObject& o)
    {
        const std::size_t count = o.body.size() - 5;
        if (count % 2 != 0)
            return false;
        std::string text;
        text.reserve(count / 2 + 2);
        text += '"';
        for (std::size_t i = 5; i < o.body.size(); i += 2) {
            const char c = static_cast<char>(nibbleField(o.body, i, 2));
            if (c == '"' || (c == '\n' && !text.empty() && text.back() == '\r'))
                return false;
            text += c;
        }
        text += '"';
        emit(text);
        return true;
    }

    bool grob(const RplObject& o)
    {
        if (o.body.size() < 15)
            return false;
        const std::uint32_t height = nibbleField(o.body, 5, 5);
        const std::uint32_t width = nibbleField(o.body, 10, 5);
        const std::uint64_t data = 2 * ((std::uint64_t{width} + 7) / 8) * height;
        if (o.body.size() != 15 + data)
            return false;
        emit("GROB");
        emit(std::to_string(width));
        emit(std::to_string(height));
        if (data > 0)
            emit(nibbleHex(o.body, 15));
        return true;
    }

    bool isAddress(const RplObject& o, const std::optional<std::uint32_t>& address) const
    {
        return address && o.shape == ObjectShape::Pointer && o.prolog == *address;
    }

    // A User RPL program (x<< ... x>>, or x>>ABND for the body of →) as « »; else, when
    // `abandon` is not asked, the System RPL form.
    bool program(const RplObject& o, bool abandon)
    {
        const std::size_t n = o.items.size();
        if (n >= 2 && isAddress(o.items.front(), m_xProgram) &&
            isAddress(o.items.back(), abandon ? m_xAbandon : m_xEnd)) {
            const State saved = save();
            ControlWords outer = m_control;
            m_control = ControlWords(m_names);
            emit("\xAB");
            const bool ok = userBody(o.items, 1, n - 1) && m_control.closed();
            m_control = outer;
            if (ok) {
                emit("\xBB");
                return true;
            }
            restore(saved);
        }
        if (abandon)
            return false;
        emit("::");
        for (const RplObject& item : o.items)
            object(item, Context::System);
        emit(";");
        return true;
    }

    bool userBody(const std::vector<RplObject>& items, std::size_t from, std::size_t to)
    {
        std::vector<std::size_t> loops;
        for (std::size_t k = from; k < to; ++k) {
            const RplObject& it = items[k];
            if (it.shape != ObjectShape::Pointer) {
                object(it, Context::User);
                continue;
            }
            if (isAddress(it, m_xQuote) && k + 1 < to && items[k + 1].shape == ObjectShape::Named) {
                const RplObject& quoted = items[k + 1];
                const bool local = quoted.prolog == prolog::kLocalName;
                if (local ? isLocal(quoted.text) && isLocalVariableName(quoted.text)
                          : !isLocal(quoted.text) && isBareUserName(quoted.text, m_names)) {
                    emit("'" + quoted.text + "'");
                    ++k;
                    continue;
                }
            }
            if (isAddress(it, m_xArrow)) {
                std::size_t j = k + 1;
                std::vector<std::string> bound;
                while (j < to && items[j].shape == ObjectShape::Named &&
                       items[j].prolog == prolog::kLocalName && isLocalVariableName(items[j].text))
                    bound.push_back(items[j++].text);
                if (bound.empty() || j >= to ||
                    (items[j].prolog != prolog::kProgram && items[j].prolog != prolog::kAlgebraic))
                    return false;
                emit("\x8D");
                for (const std::string& b : bound)
                    emit(b);
                const std::size_t depth = m_locals.size();
                m_locals.insert(m_locals.end(), bound.begin(), bound.end());
                const bool ok =
                    items[j].prolog == prolog::kProgram
                        ? program(items[j], true)
                        : items[j].shape == ObjectShape::Composite && algebraic(items[j]);
                m_locals.resize(depth);
                if (!ok)
                    return false;
                k = j;
                continue;
            }
            const std::string_view word =
                m_options.namePointers ? m_control.wordFor(it.prolog) : std::string_view();
            if (!word.empty()) {
                const ControlWords::Step step = m_control.step(word);
                if (!step.error.empty() || step.address != it.prolog)
                    return false;
                emit(word);
                if (word == "FOR") {
                    if (k + 1 >= to || items[k + 1].prolog != prolog::kLocalName ||
                        !isLocalVariableName(items[k + 1].text))
                        return false;
                    loops.push_back(m_locals.size());
                    m_locals.push_back(items[k + 1].text);
                    emit(items[++k].text);
                } else if (word == "START") {
                    loops.push_back(m_locals.size());
                } else if ((word == "NEXT" || word == "STEP") && !loops.empty()) {
                    m_locals.resize(loops.back());
                    loops.pop_back();
                }
                continue;
            }
            pointer(it.prolog, Context::User);
        }
        return true;
    }

    const RomNames& m_names;
    DecompileOptions m_options;
    ControlWords m_control;
    std::string m_out;
    std::size_t m_column = 0;
    bool m_glue = false; // the next word follows without a space
    std::vector<std::string> m_locals;
    std::unordered_map<std::uint32_t, int> m_zint, m_real;
    std::optional<std::uint32_t> m_xProgram, m_xEnd, m_xAbandon, m_xQuote, m_xArrow;
};

} // namespace

std::string decompileRpl(const RplObject& object, const RomNames& names, DecompileOptions options)
{
    Printer printer(names, options);
    printer.object(object, Context::User);
    return printer.take() + "\n";
}

std::string decompiledTransferText(const RplObject& object, const RomNames& names,
                                   DecompileOptions options)
{
    return std::string(kCalculatorHeader) + "\n" +
           bytesToEscapes(decompileRpl(object, names, options)).text;
}

} // namespace scrivlet
