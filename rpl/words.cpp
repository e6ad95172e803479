#include "rpl/words.h"

#include "common/ascii.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace scrivlet::rplwords {
namespace {

struct KeywordEntry {
    std::string_view word;
    Keyword keyword;
};

constexpr KeywordEntry kKeywords[] = {
    {"::", Keyword::Secondary},
    {";", Keyword::Semi},
    {"{", Keyword::ListOpen},
    {"}", Keyword::ListClose},
    {"{{", Keyword::LocalsOpen},
    {"}}", Keyword::LocalsClose},
    {"[", Keyword::ArrayOpen},
    {"]", Keyword::ArrayClose},
    {"\\<<", Keyword::ProgramOpen},
    {"\\>>", Keyword::ProgramClose},
    {"UNIT", Keyword::CompositeOpen},
    {"SYMBOL", Keyword::CompositeOpen},
    {"SYMBOLIC", Keyword::CompositeOpen},
    {"MATRIX", Keyword::CompositeOpen},
    {"IF", Keyword::Control},
    {"THEN", Keyword::Control},
    {"ELSE", Keyword::Control},
    {"END", Keyword::Control},
    {"CASE", Keyword::Control},
    {"FOR", Keyword::Control},
    {"NEXT", Keyword::Control},
    {"STEP", Keyword::Control},
    {"START", Keyword::Control},
    {"WHILE", Keyword::Control},
    {"REPEAT", Keyword::Control},
    {"UNTIL", Keyword::Control},
    {"DO", Keyword::Control},
    {"IFERR", Keyword::Control},
    {"\x8D", Keyword::Arrow},
    {"\\->", Keyword::Arrow},
    {"NULLNAME", Keyword::Defining},
    {"xNAME", Keyword::Defining},
    {"sNAME", Keyword::Defining},
    {"hNAME", Keyword::Defining},
    {"tNAME", Keyword::Defining},
    {"LABEL", Keyword::Defining},
    {"LOCALNAME", Keyword::Defining},
    {"LOCALLABEL", Keyword::Defining},
    {"DEFINE", Keyword::Defining},
    {"EXTERNAL", Keyword::Defining},
    {"FEXTERNAL", Keyword::Defining},
    {"EQU", Keyword::Equate},
    {"DC", Keyword::Equate},
    {"EQUCP", Keyword::EquateCp},
    {"DCCP", Keyword::EquateCp},
    {"INCLUDE", Keyword::Include},
    {"RPL", Keyword::Rpl},
    {"ASSEMBLE", Keyword::Assemble},
    {"ASSEMBLEM", Keyword::AssembleM},
    {"CODE", Keyword::Code},
    {"CODEM", Keyword::CodeM},
    {"ENDCODE", Keyword::EndCode},
    {"!RPL", Keyword::MasdRpl},
    {"!ASM", Keyword::MasdAsm},
    {"!NO", Keyword::MasdNo},
    {"!ARM", Keyword::MasdOther},
    {"ID", Keyword::IdPrefix},
    {"LAM", Keyword::IdPrefix},
    {"TAG", Keyword::IdPrefix},
    {"#", Keyword::Number1},
    {"%", Keyword::Number1},
    {"%%", Keyword::Number1},
    {"ZINT", Keyword::Number1},
    {"PTR", Keyword::Number1},
    {"xROMID", Keyword::Number1},
    {"C%", Keyword::Number2},
    {"C%%", Keyword::Number2},
    {"HXS", Keyword::Number2},
    {"GROB", Keyword::Grob},
    {"ROMPTR", Keyword::Number2},
    {"FPTR", Keyword::Number2},
    {"ACPTR", Keyword::Number2},
    {"ROMPTR2", Keyword::Reference},
    {"FPTR2", Keyword::Reference},
    {"xCONFIG", Keyword::Reference},
    {"xMESSAGE", Keyword::Reference},
    {"CHR", Keyword::Chr},
    {"xTITLE", Keyword::Title},
};

constexpr std::uint32_t hashWord(std::string_view word)
{
    std::uint32_t h = 2166136261u;
    for (const char c : word) {
        h ^= static_cast<unsigned char>(c);
        h *= 16777619u;
    }
    return h;
}

// A set of words looked up by hash (open addressing, built at compile time).
template <std::size_t N> class WordSet {
  public:
    static constexpr std::size_t kSlots = 512; // a power of two, well above N

    constexpr explicit WordSet(const std::array<std::string_view, N>& words)
        : m_words(words), m_slots{}
    {
        static_assert(N < kSlots / 2);
        for (std::size_t i = 0; i < N; ++i) {
            m_longest = std::max(m_longest, words[i].size());
            std::size_t slot = hashWord(words[i]) & (kSlots - 1);
            while (m_slots[slot] != 0)
                slot = (slot + 1) & (kSlots - 1);
            m_slots[slot] = static_cast<std::uint16_t>(i + 1);
        }
    }

    // The word's index in the list, or -1.
    constexpr int indexOf(std::string_view word) const
    {
        if (word.empty() || word.size() > m_longest)
            return -1;
        for (std::size_t slot = hashWord(word) & (kSlots - 1); m_slots[slot] != 0;
             slot = (slot + 1) & (kSlots - 1))
            if (m_words[m_slots[slot] - 1] == word)
                return m_slots[slot] - 1;
        return -1;
    }
    constexpr bool contains(std::string_view word) const { return indexOf(word) >= 0; }

  private:
    std::array<std::string_view, N> m_words;
    std::array<std::uint16_t, kSlots> m_slots;
    std::size_t m_longest = 0;
};

template <std::size_t N> constexpr auto keywordWords(const KeywordEntry (&entries)[N])
{
    std::array<std::string_view, N> words{};
    for (std::size_t i = 0; i < N; ++i)
        words[i] = entries[i].word;
    return words;
}

constexpr WordSet kKeywordSet(keywordWords(kKeywords));

constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}


bool allHexDigits(std::string_view s)
{
    for (const char c : s)
        if (!isHexDigit(c))
            return false;
    return !s.empty();
}

constexpr WordSet kSasmWithoutOperand(std::to_array<std::string_view>({
    "RTN",    "RTNSXM", "RTNCC", "RTNSC",  "RTI",   "RTNC",   "RTNNC", "RTNYES", "C=RSTK",
    "RSTK=C", "A=PC",   "C=PC",  "PC=A",   "PC=C",  "APCEX",  "CPCEX", "PC=(A)", "PC=(C)",
    "CONFIG", "UNCNFG", "RESET", "SHUTDN", "INTON", "INTOFF", "RSI",   "BUSCB",  "BUSCC",
    "BUSCD",  "SREQ?",  "C=ID",  "OUT=CS", "OUT=C", "A=IN",   "C=IN",  "CLRHST", "SETHEX",
    "SETDEC", "XM=0",   "SB=0",  "SR=0",   "MP=0",  "?XM=0",  "?SB=0", "?SR=0",  "?MP=0",
    "CLRST",  "C=ST",   "ST=C",  "CSTEX",  "P=P+1", "P=P-1",  "D0=A",  "D0=C",   "D1=A",
    "D1=C",   "AD0EX",  "AD1EX", "CD0EX",  "CD1EX", "D0=AS",  "D0=CS", "D1=AS",  "D1=CS",
    "AD0XS",  "AD1XS",  "CD0XS", "CD1XS",  "R0=A",  "R1=A",   "R2=A",  "R3=A",   "R4=A",
    "R0=C",   "R1=C",   "R2=C",  "R3=C",   "R4=C",  "A=R0",   "A=R1",  "A=R2",   "A=R3",
    "A=R4",   "C=R0",   "C=R1",  "C=R2",   "C=R3",  "C=R4",   "AR0EX", "AR1EX",  "AR2EX",
    "AR3EX",  "AR4EX",  "CR0EX", "CR1EX",  "CR2EX", "CR3EX",  "CR4EX", "NOP3",   "NOP4",
    "NOP5",   "ENDIF",  "ELSE",  "EJECT",
}));

constexpr WordSet kMasdMnemonics(std::to_array<std::string_view>({
    "GOTO",   "GOSUB",   "GOSUBL",   "GOLONG",  "GOVLNG", "GOSBVL",  "GOYES",  "GOC",    "GONC",
    "RTN",    "RTNSXM",  "RTNCC",    "RTNSC",   "RTI",    "RTNC",    "RTNNC",  "RTNYES", "SKIPC",
    "SKIPNC", "SKIPYES", "SKIPELSE", "SKIPEND", "SKUB",   "SKUBL",   "EXIT",   "EXITC",  "EXITNC",
    "UP",     "UPC",     "UPNC",     "LC",      "LA",     "LCHEX",   "LAHEX",  "LCSTR",  "LASTR",
    "LCASC",  "NIBHEX",  "NIBASC",   "SETHEX",  "SETDEC", "INTON",   "INTOFF", "RSI",    "CONFIG",
    "UNCNFG", "SHUTDN",  "RESET",    "BUSCB",   "BUSCC",  "BUSCD",   "NOP3",   "NOP4",   "NOP5",
    "CLRST",  "CSTEX",   "CLRHST",   "APCEX",   "CPCEX",  "SAVE",    "LOAD",   "ASLC",   "ASRC",
    "BSLC",   "BSRC",    "CSLC",     "CSRC",    "DSLC",   "DSRC",    "ASRB",   "BSRB",   "CSRB",
    "DSRB",   "ASL",     "ASR",      "BSL",     "BSR",    "CSL",     "CSR",    "DSL",    "DSR",
    "ABEX",   "ACEX",    "ADEX",     "BCEX",    "BAEX",   "CAEX",    "CBEX",   "CDEX",   "DCEX",
    "AD0EX",  "AD1EX",   "CD0EX",    "CD1EX",   "AR0EX",  "AR1EX",   "AR2EX",  "AR3EX",  "AR4EX",
    "CR0EX",  "CR1EX",   "CR2EX",    "CR3EX",   "CR4EX",  "INCLUDE",
}));

} // namespace

Keyword keywordOf(std::string_view word)
{
    const int index = kKeywordSet.indexOf(word);
    return index < 0 ? Keyword::None : kKeywords[index].keyword;
}

DefinitionKind definitionOf(std::string_view definingWord)
{
    if (definingWord == "NULLNAME")
        return DefinitionKind::NullName;
    if (definingWord == "xNAME")
        return DefinitionKind::XName;
    if (definingWord == "LABEL")
        return DefinitionKind::Label;
    if (definingWord == "LOCALNAME")
        return DefinitionKind::LocalName;
    if (definingWord == "LOCALLABEL")
        return DefinitionKind::LocalLabel;
    if (definingWord == "DEFINE")
        return DefinitionKind::Define;
    if (definingWord == "EXTERNAL" || definingWord == "FEXTERNAL")
        return DefinitionKind::External;
    if (keywordOf(definingWord) == Keyword::Equate || keywordOf(definingWord) == Keyword::EquateCp)
        return DefinitionKind::Equate;
    return DefinitionKind::OtherName;
}

bool isDecimalReal(std::string_view w)
{
    std::size_t i = 0;
    const std::size_t n = w.size();
    if (i < n && (w[i] == '-' || w[i] == '+'))
        ++i;
    std::size_t digits = 0;
    while (i < n && isDigit(w[i])) {
        ++i;
        ++digits;
    }
    if (i < n && w[i] == '.') {
        ++i;
        while (i < n && isDigit(w[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    if (i < n && (w[i] == 'E' || w[i] == 'e')) {
        ++i;
        if (i < n && (w[i] == '-' || w[i] == '+'))
            ++i;
        const std::size_t exponentStart = i;
        while (i < n && isDigit(w[i]))
            ++i;
        if (i == exponentStart)
            return false;
    }
    return i == n;
}

bool isOperandWord(std::string_view word, RplDialect dialect)
{
    if (isNumberWord(word, dialect))
        return true;
    std::string_view digits = word;
    if (digits.size() > 1 && (digits.back() == 'h' || digits.back() == 'd' || digits.back() == 'o' ||
                              digits.back() == 'b'))
        digits.remove_suffix(1);
    return !digits.empty() && std::all_of(digits.begin(), digits.end(), isHexDigit);
}

bool isNumberWord(std::string_view w, RplDialect dialect)
{
    if (w.empty())
        return false;
    const char c = w[0];
    if (isDigit(c) || c == '-' || c == '+' || c == '.')
        return isDecimalReal(w);
    if (c == '#') {
        std::string_view digits = w.substr(1);
        if (digits.size() > 1) {
            const char suffix = digits.back();
            if (suffix == 'h' || suffix == 'o' || suffix == 'H' || suffix == 'O')
                digits.remove_suffix(1);
        }
        return allHexDigits(digits);
    }
    if (c == '%' && dialect != RplDialect::User)
        return isDecimalReal(w.substr(w.size() > 1 && w[1] == '%' ? 2 : 1));
    return false;
}

bool isSasmWithoutOperand(std::string_view m)
{
    return kSasmWithoutOperand.contains(m);
}

bool isSasmStringMnemonic(std::string_view m)
{
    return m == "NIBASC" || m == "LCASC" || m == "LAASC";
}

bool isMasdMnemonic(std::string_view w)
{
    if (w.empty())
        return false;
    if (w[0] == '?' || w.find('=') != std::string_view::npos)
        return true;
    // A+B, C-1, A&B, A!B, with or without a .field suffix.
    if (w.size() >= 3 && (w[0] >= 'A' && w[0] <= 'D') &&
        std::string_view("+-&!").find(w[1]) != std::string_view::npos)
        return true;
    // LC(5), CON(5), REL(3) and mnemonics with a .field suffix.
    const std::size_t cut = w.find_first_of("(.");
    return kMasdMnemonics.contains(w.substr(0, cut)) || w.starts_with("CON(") ||
           w.starts_with("REL(");
}

bool isAsmNumber(std::string_view w)
{
    if (w.size() >= 2 && (w[0] == '#' || w[0] == '$'))
        return allHexDigits(w.substr(1));
    bool decimal = !w.empty();
    for (const char c : w)
        decimal = decimal && isDigit(c);
    return decimal || (w.size() >= 2 && allHexDigits(w));
}

} // namespace scrivlet::rplwords
