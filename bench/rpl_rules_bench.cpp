// The RPL lexer's speed on System RPL and User RPL sources (MB/s; the budget is well over
// 100 MB/s), the pair matcher's worst case within its limit, and, when given real sources and an
// entry listing, how many words the unknown-name rule marks:
//   SCRIVLET_RPL_CORPUS=<folder of sources>  SCRIVLET_ENTRY_LISTING=<suprom49.lr>
// Sources are read recursively; each is judged alone and with the definitions of the other
// files in its folder (the headers it INCLUDEs).

#include "rpl/defined_names.h"
#include "rpl/definitions.h"
#include "rpl/lexer.h"
#include "rpl/pairs.h"
#include "rpl/unknown_names.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace scrivlet;

// Calls take(line) for each CR LF separated line of text.
template <typename Take> void forEachLine(std::string_view text, Take take)
{
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) {
            take(text.substr(start));
            return;
        }
        take(text.substr(start, end - start));
        start = end + 2;
    }
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::string text = bytes.str();
    // Sources kept with LF only are read as the editor would after a CR LF conversion.
    if (text.find("\r\n") == std::string::npos) {
        std::string converted;
        for (const char c : text) {
            if (c == '\n')
                converted += '\r';
            converted += c;
        }
        text = std::move(converted);
    }
    return text;
}

// A System RPL text of about `size` bytes in the shape of real sources: comment lines and
// ( ) comments, secondaries, numbers, strings, definitions, SASM and MASD blocks.
std::string systemRplText(std::size_t size)
{
    static const char* const kLines[] = {
        "* Computes the thing from the stack, leaves the result",
        "NULLNAME DoThing%d",
        "xNAME THING%d        ( %%x -> %%y )",
        "::",
        "  CK1NOLASTWD CK&DISPATCH1 # 11 ( real real )",
        "  DUP %%2 %%* SWAP ONE #+ ' LAM x STO",
        "  { LAM a LAM b } BIND",
        "  \"Bad Argument Value\" $>ID DUPTYPEREAL? ITE",
        "  ( a comment that runs",
        "    over two lines )",
        "  DoThing%d 3PICK %%1+ ROT %%1583 %%<= case2DROP",
        "  CODE",
        "\tGOSBVL\t=SAVPTR\t\tsave the registers",
        "\tA=DAT1\tA\t\tfirst object",
        "+\tLC(5)\t#2F3A",
        "\tGOVLNG\t=GETPTRLOOP",
        "  ENDCODE",
        "  CODEM",
        "    *loop A=A+1.A  GOSBVL SAVPTR % MASD comment",
        "  ENDCODE",
        "  ZINT 1234567 ABND",
        ";",
    };
    std::string text;
    text.reserve(size + 256);
    std::mt19937 random(7);
    char line[128];
    for (std::size_t i = 0; text.size() < size; ++i) {
        std::snprintf(line, sizeof line, kLines[i % std::size(kLines)],
                      static_cast<int>(random() % 1000));
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string userRplText(std::size_t size)
{
    static const char* const kLines[] = {
        "%%HP: T(3)A(D)F(.);",
        "@ Solves for the roots @",
        "\\<< \\-> a b c",
        "  \\<< IF b SQ 4 a * c * - DUP 0 <",
        "    THEN DROP \"Complex Roots\" ELSE \\v/ 'X' STO",
        "      b NEG X + 2 a * / # 3Fh #101b (1.,2.) END",
        "  \\>> 'ROOTS' STO",
        "\\>>",
    };
    std::string text;
    text.reserve(size + 256);
    for (std::size_t i = 0; text.size() < size; ++i) {
        text += kLines[i % std::size(kLines)];
        text += "\r\n";
    }
    return text;
}

void lexText(benchmark::State& state, const std::string& text)
{
    std::vector<Token> tokens;
    tokens.reserve(64);
    std::size_t count = 0;
    for (auto _ : state) {
        LexState lexState;
        forEachLine(text, [&](std::string_view line) {
            lexState = lexLine(line, lexState, tokens);
            count += tokens.size();
        });
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["MB/s"] = benchmark::Counter(static_cast<double>(text.size()) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}

void BM_LexSystemRpl(benchmark::State& state)
{
    static const std::string text = systemRplText(16u << 20);
    lexText(state, text);
}
BENCHMARK(BM_LexSystemRpl)->Unit(benchmark::kMillisecond);

void BM_LexUserRpl(benchmark::State& state)
{
    static const std::string text = userRplText(16u << 20);
    lexText(state, text);
}
BENCHMARK(BM_LexUserRpl)->Unit(benchmark::kMillisecond);

std::vector<fs::path> corpusFiles()
{
    std::vector<fs::path> files;
    const char* folder = std::getenv("SCRIVLET_RPL_CORPUS");
    if (folder == nullptr || !fs::is_directory(folder))
        return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// The real sources, repeated to at least 16 MB.
void BM_LexRealSources(benchmark::State& state)
{
    static const std::string text = [] {
        std::string one;
        for (const fs::path& file : corpusFiles())
            one += readFile(file) + "\r\n";
        std::string all;
        while (!one.empty() && all.size() < (16u << 20))
            all += one;
        return all;
    }();
    if (text.empty()) {
        state.SkipWithError("no sources: set SCRIVLET_RPL_CORPUS");
        return;
    }
    lexText(state, text);
}
BENCHMARK(BM_LexRealSources)->Unit(benchmark::kMillisecond);

// A caret on a :: whose ; is beyond the limit: the most a key press can cost the matcher.
void BM_MatchPairToTheLimit(benchmark::State& state)
{
    static const std::string text = "::\r\n" + systemRplText(8u << 20);
    const TextLines lines(text);
    for (auto _ : state) {
        const PairMatch match = matchPair(lines, {0, 0});
        if (match.status != PairStatus::LimitReached)
            state.SkipWithError("the scan was expected to reach its limit");
        benchmark::DoNotOptimize(match);
    }
}
BENCHMARK(BM_MatchPairToTheLimit)->Unit(benchmark::kMillisecond);

std::unordered_set<std::string> readListing(const char* path)
{
    std::unordered_set<std::string> names;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    bool started = false;
    while (std::getline(in, line)) {
        if (!started) {
            started = line.find("Saturn Cross Reference Listing") != std::string::npos;
            continue;
        }
        std::istringstream words(line);
        std::string name;
        std::string equals;
        if (words >> name >> equals && equals == "=")
            names.insert(name);
    }
    return names;
}

struct Judged {
    std::size_t names = 0;
    std::size_t unknown = 0;
    std::map<std::string, int> unknownWords;
};

void addDefinitions(const std::string& text, DefinedNames& defined)
{
    std::vector<Token> tokens;
    std::vector<LineDefinition> definitions;
    LexState state;
    forEachLine(text, [&](std::string_view line) {
        state = lexLine(line, state, tokens);
        definitions.clear();
        collectDefinitions(line, tokens, definitions);
        defined.addLine(line, definitions);
    });
}

Judged judge(const std::string& text, const DefinedNames& defined, const ReferenceBook& book,
             RplDialect& dialect)
{
    Judged result;
    std::vector<Token> tokens;
    LexState state;
    forEachLine(text, [&](std::string_view line) {
        state = lexLine(line, state, tokens);
        for (const Token& t : tokens) {
            NameCheck check = checkName(line, t, state.dialect, defined, book);
            // User RPL is not judged; count what the rule would mark there.
            if (state.dialect == RplDialect::User && t.kind == TokenKind::Name)
                check = book(t.text(line)) || defined.contains(t.text(line)) ||
                                userCommandEntry(t.text(line), book)
                            ? NameCheck::Known
                            : NameCheck::Unknown;
            if (check == NameCheck::NotChecked)
                continue;
            ++result.names;
            if (check == NameCheck::Unknown) {
                ++result.unknown;
                ++result.unknownWords[std::string(t.text(line))];
            }
        }
    });
    dialect = state.dialect;
    return result;
}

void reportUnknownNames()
{
    const char* listing = std::getenv("SCRIVLET_ENTRY_LISTING");
    const std::vector<fs::path> files = corpusFiles();
    if (listing == nullptr || files.empty())
        return;
    const std::unordered_set<std::string> entries = readListing(listing);
    const ReferenceBook book = [&](std::string_view name) {
        return entries.contains(std::string(name));
    };
    std::printf("Unknown-name rule: %zu entries in the book\n", entries.size());
    std::printf("%-44s %-7s %6s %8s %8s  %s\n", "source", "dialect", "names", "unknown", "+folder",
                "unknown words (with the folder's definitions)");
    std::size_t names[3] = {};
    std::size_t alone[3] = {};
    std::size_t withFolder[3] = {};
    for (const fs::path& file : files) {
        const std::string text = readFile(file);
        DefinedNames own;
        addDefinitions(text, own);
        DefinedNames folder;
        for (const fs::path& other : files)
            if (other.parent_path() == file.parent_path())
                addDefinitions(readFile(other), folder);
        RplDialect dialect = RplDialect::Unknown;
        const Judged a = judge(text, own, book, dialect);
        const Judged b = judge(text, folder, book, dialect);
        const auto d = static_cast<std::size_t>(dialect);
        names[d] += a.names;
        alone[d] += a.unknown;
        withFolder[d] += b.unknown;
        std::string words;
        for (const auto& [word, count] : b.unknownWords) {
            words += word;
            if (count > 1)
                words.append("x").append(std::to_string(count));
            words += ' ';
        }
        static const char* const kDialects[] = {"?", "System", "User"};
        std::printf("%-44s %-7s %6zu %8zu %8zu  %s\n",
                    fs::relative(file, std::getenv("SCRIVLET_RPL_CORPUS")).c_str(), kDialects[d],
                    a.names, a.unknown, b.unknown, words.c_str());
    }
    for (std::size_t d = 1; d <= 2; ++d)
        std::printf(
            "%s RPL: %zu names, %zu unknown alone (%.1f%%), %zu with the folder (%.1f%%)%s\n",
            d == 1 ? "System" : "User", names[d], alone[d],
            names[d] ? 100.0 * alone[d] / names[d] : 0.0, withFolder[d],
            names[d] ? 100.0 * withFolder[d] / names[d] : 0.0,
            d == 2 ? " - not marked by the rule" : "");
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    reportUnknownNames();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
