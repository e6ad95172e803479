#include "rpl/control_words.h"

namespace scrivlet {

namespace {

constexpr std::array<std::string_view, 19> kBookNames = {
    "xIF",       "xTHEN",   "xELSE",     "xIFEND",  "xIFERR",    "xERRTHEN", "xCASE",
    "xTHENCASE", "xENDTIC", "xWHILE",    "xREPEAT", "xWHILEEND", "xDO",      "xUNTIL",
    "xENDDO",    "xSTART",  "xSTARTVAR", "xNEXT",   "xSTEP"};
constexpr std::array<std::string_view, 19> kWords = {
    "IF",     "THEN", "ELSE", "END",   "IFERR", "THEN",  "CASE", "THEN", "END", "WHILE",
    "REPEAT", "END",  "DO",   "UNTIL", "END",   "START", "FOR",  "NEXT", "STEP"};

} // namespace

ControlWords::ControlWords(const RomNames& names)
{
    for (std::size_t i = 0; i < kBookNames.size(); ++i)
        m_address[i] = names.address(kBookNames[i]);
}

bool ControlWords::isControlWord(std::string_view word)
{
    for (std::string_view w : kWords)
        if (w == word)
            return true;
    return false;
}

ControlWords::Step ControlWords::emit(Word word) const
{
    if (!m_address[word])
        return {0, "the reference book has no entry " + std::string(kBookNames[word])};
    return {*m_address[word], {}};
}

ControlWords::Step ControlWords::step(std::string_view word)
{
    const Frame* top = m_open.empty() ? nullptr : &m_open.back();
    auto misplaced = [&] { return Step{0, std::string(word) + " is out of place here"}; };
    auto open = [&](Frame frame, Word w) {
        Step s = emit(w);
        if (s.error.empty())
            m_open.push_back(frame);
        return s;
    };
    auto close = [&](Word w) {
        Step s = emit(w);
        if (s.error.empty())
            m_open.pop_back();
        return s;
    };
    if (word == "IF")
        return open(Frame::If, kIf);
    if (word == "IFERR")
        return open(Frame::IfErr, kIfErr);
    if (word == "CASE")
        return open(Frame::Case, kCase);
    if (word == "WHILE")
        return open(Frame::While, kWhile);
    if (word == "DO")
        return open(Frame::Do, kDo);
    if (word == "START")
        return open(Frame::Start, kStart);
    if (word == "FOR")
        return open(Frame::For, kStartVar);
    if (!top)
        return misplaced();
    if (word == "THEN") {
        if (*top == Frame::If)
            return emit(kThen);
        if (*top == Frame::IfErr)
            return emit(kErrThen);
        if (*top == Frame::Case)
            return open(Frame::CaseClause, kThenCase);
        return misplaced();
    }
    if (word == "ELSE")
        return *top == Frame::If || *top == Frame::IfErr ? emit(kElse) : misplaced();
    if (word == "REPEAT")
        return *top == Frame::While ? emit(kRepeat) : misplaced();
    if (word == "UNTIL")
        return *top == Frame::Do ? emit(kUntil) : misplaced();
    if (word == "NEXT" || word == "STEP")
        return *top == Frame::Start || *top == Frame::For ? close(word == "NEXT" ? kNext : kStep)
                                                          : misplaced();
    if (word == "END") {
        switch (*top) {
        case Frame::If:
        case Frame::IfErr:
        case Frame::Case:
            return close(kIfEnd);
        case Frame::CaseClause:
            return close(kEndTic);
        case Frame::While:
            return close(kWhileEnd);
        case Frame::Do:
            return close(kEndDo);
        case Frame::Start:
        case Frame::For:
            return misplaced();
        }
    }
    return misplaced();
}

std::string_view ControlWords::wordFor(std::uint32_t address) const
{
    for (std::size_t i = 0; i < m_address.size(); ++i)
        if (m_address[i] == address)
            return kWords[i];
    return {};
}

std::string_view ControlWords::openWord() const
{
    if (m_open.empty())
        return {};
    switch (m_open.back()) {
    case Frame::If:
        return "IF";
    case Frame::IfErr:
        return "IFERR";
    case Frame::Case:
        return "CASE";
    case Frame::CaseClause:
        return "THEN";
    case Frame::While:
        return "WHILE";
    case Frame::Do:
        return "DO";
    case Frame::Start:
        return "START";
    case Frame::For:
        return "FOR";
    }
    return {};
}

} // namespace scrivlet
