#include "editor/rpl_navigation.h"

#include "editor/key_codes.h"
#include "editor/source_editor.h"
#include "editor/typing_rules.h"
#include "rpl/pairs.h"

#include <QElapsedTimer>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStringList>
#include <QTextDocument>
#include <QTimerEvent>
#include <QToolTip>
#include <algorithm>
#include <limits>
#include <tuple>

namespace scrivlet {
namespace {

constexpr qint64 kScanSliceMs = 4;      // name scanning done at once, per timer tick
constexpr std::int64_t kScanStep = 256; // lines scanned between two looks at the clock
constexpr std::int64_t kScanNow = 512;  // at most this many changed lines are scanned at once
constexpr int kPairRetryMs = 25;        // waiting for the caret's line to be scanned
constexpr qsizetype kTipLines = 4;      // description lines in a tip
constexpr qsizetype kTipLineLength = 120;

QColor blend(const QColor& from, const QColor& to, qreal share)
{
    return QColor::fromRgbF(from.redF() + (to.redF() - from.redF()) * share,
                            from.greenF() + (to.greenF() - from.greenF()) * share,
                            from.blueF() + (to.blueF() - from.blueF()) * share);
}

bool namesSomething(TokenKind kind)
{
    switch (kind) {
    case TokenKind::Plain:
    case TokenKind::Name:
    case TokenKind::Identifier:
    case TokenKind::DefinedName:
    case TokenKind::LocalName:
    case TokenKind::Algebraic:
    case TokenKind::AsmLabel:
        return true;
    default:
        return false;
    }
}

} // namespace

// The editor's lines with their lexer states: the tracker's for the lines it has scanned right,
// the view's for the others.
class RplNavigation::Lines final : public RplLines {
  public:
    Lines(SourceEditor& editor, const DefinitionTracker& tracker)
        : m_editor(editor), m_tracker(tracker)
    {
    }

    std::size_t lineCount() const override
    {
        return static_cast<std::size_t>(m_editor.model().lineCount());
    }
    std::string_view lineText(std::size_t index, std::string& scratch) const override
    {
        const TextModel& model = m_editor.model();
        const auto line = static_cast<std::int64_t>(index);
        return model.view(model.lineStart(line), model.lineEnd(line), scratch);
    }
    LexState stateBefore(std::size_t index) const override
    {
        const auto line = static_cast<std::int64_t>(index);
        if (line == 0)
            return LexState{};
        if (line < m_tracker.frontier())
            return m_tracker.stateBefore(line);
        return LexState::fromPacked(static_cast<std::uint32_t>(m_editor.lineState(line)));
    }

  private:
    SourceEditor& m_editor;
    const DefinitionTracker& m_tracker;
};

// A token of the text with its line.
struct RplNavigation::WordAt {
    std::string line;
    Token token;
    RplDialect dialect = RplDialect::Unknown;
    std::int64_t lineStart = 0;

    std::string_view text() const { return token.text(line); }
};

RplNavigation::RplNavigation(SourceEditor& editor, RplReference reference)
    : QObject(&editor), m_editor(&editor),
      m_highlighter(std::make_shared<RplHighlighter>(ReferenceBook{}, m_tracker.names())),
      m_lines(std::make_unique<Lines>(editor, m_tracker))
{
    setReference(std::move(reference));
    connect(&editor, &QObject::destroyed, this, [this] { m_editor = nullptr; });
    connect(&editor, &SourceEditor::aboutToChange, this, &RplNavigation::textAboutToChange);
    connect(&editor, &SourceEditor::changed, this, &RplNavigation::textChanged);
    connect(&editor, &SourceEditor::selectionChanged, this, &RplNavigation::markPair);
    editor.installEventFilter(this);
    editor.viewport()->installEventFilter(this);
    applyStyles();
    m_tracker.reset(editor.model().lineCount());
    m_scanTimer.start(0, this);
}

RplNavigation::~RplNavigation()
{
    if (m_editor == nullptr)
        return;
    m_editor->setHighlighter(nullptr, {});
    if (!m_pairMarks.empty())
        m_editor->setMarks({});
}

void RplNavigation::setReference(RplReference reference)
{
    m_reference = std::move(reference);
    if (!m_reference.inReferenceBook)
        m_reference.inReferenceBook = [](std::string_view) { return false; };
    m_highlighter->setReferenceBook(m_reference.inReferenceBook);
    if (m_editor != nullptr)
        m_editor->viewport()->update();
}

void RplNavigation::setMarkUnknownNames(bool on)
{
    m_highlighter->setMarkUnknown(on);
    if (m_editor != nullptr)
        m_editor->viewport()->update();
}

void RplNavigation::applyStyles()
{
    m_editor->setHighlighter(m_highlighter, RplHighlighter::styles(m_editor->palette()));
}

// --- Names defined in the text ---

void RplNavigation::textAboutToChange(qint64 from, qint64 to)
{
    std::tie(m_touchedFirst, m_touchedLast) = m_editor->model().linesTouched(from, to);
    m_lineCountBefore = m_editor->model().lineCount();
}

void RplNavigation::textChanged(qint64, qint64, qint64)
{
    const std::int64_t removedBreaks = m_touchedLast - m_touchedFirst;
    const std::int64_t insertedBreaks =
        m_editor->model().lineCount() - m_lineCountBefore + removedBreaks;
    if (removedBreaks + 1 >= m_lineCountBefore) {
        // A new text: its first lines are scanned within one slice, so that they are painted
        // with their names at once; the rest in the background.
        m_tracker.reset(m_editor->model().lineCount());
        scanNames(kScanSliceMs);
    } else {
        m_tracker.linesChanged(m_touchedFirst, removedBreaks, insertedBreaks);
        // The changed lines are scanned now when the lines before them are; the rest in the
        // background.
        if (m_tracker.frontier() == m_touchedFirst)
            m_tracker.scan(*m_lines, std::min(insertedBreaks + 2, kScanNow));
    }
    if (!m_tracker.done() && !m_scanTimer.isActive())
        m_scanTimer.start(0, this);
    markPair(); // an edit away from the caret may have made or broken its pair
}

void RplNavigation::scanNames(qint64 budgetMs)
{
    QElapsedTimer clock;
    clock.start();
    bool changed = false;
    do {
        changed = m_tracker.scan(*m_lines, kScanStep) || changed;
    } while (!m_tracker.done() && clock.elapsed() < budgetMs);
    if (m_tracker.done())
        m_scanTimer.stop();
    // Colours are chosen when lines are painted, so the shown lines take the new names then.
    if (changed)
        m_editor->viewport()->update();
    if (m_pairTimer.isActive())
        markPair(); // the caret's line may have been reached
}

// --- Pairs ---

void RplNavigation::markPair()
{
    const TextModel& model = m_editor->model();
    const std::int64_t caret = m_editor->caret();
    const std::int64_t line = model.lineOf(caret);
    std::vector<TextMark> marks;
    if (line > 0 && line >= m_tracker.frontier()) {
        // The states before the caret are not known yet; look again once they are.
        if (!m_pairTimer.isActive())
            m_pairTimer.start(kPairRetryMs, this);
    } else {
        m_pairTimer.stop();
        const PairMatch match =
            matchPair(*m_lines, {static_cast<std::size_t>(line),
                                 static_cast<std::size_t>(caret - model.lineStart(line))});
        const QPalette& palette = m_editor->palette();
        const QColor base = palette.color(QPalette::Base);
        TextStyle pair{{}, blend(base, palette.color(QPalette::Highlight), 0.35), true, false, {}};
        TextStyle error{{}, blend(base, QColor::fromHslF(0, 0.85, 0.5), 0.45), true, false, {}};
        const auto mark = [&](TextPoint at, std::uint32_t length, const TextStyle& style) {
            const std::int64_t from = model.lineStart(static_cast<std::int64_t>(at.line)) +
                                      static_cast<std::int64_t>(at.column);
            marks.push_back({from, from + length, style});
        };
        switch (match.status) {
        case PairStatus::Matched:
        case PairStatus::Mismatched: {
            const TextStyle& style = match.status == PairStatus::Matched ? pair : error;
            mark(match.bracket, match.bracketLength, style);
            mark(match.partner, match.partnerLength, style);
            break;
        }
        case PairStatus::Unclosed:
        case PairStatus::Unopened:
            mark(match.bracket, match.bracketLength, error);
            break;
        case PairStatus::NoBracket:
        case PairStatus::LimitReached:
            break;
        }
    }
    if (marks.empty() && m_pairMarks.empty())
        return;
    m_pairMarks = marks;
    m_editor->setMarks(std::move(marks));
}

bool RplNavigation::jumpToPartner()
{
    const TextModel& model = m_editor->model();
    const std::int64_t caret = m_editor->caret();
    const std::int64_t line = model.lineOf(caret);
    const PairMatch match =
        matchPair(*m_lines, {static_cast<std::size_t>(line),
                             static_cast<std::size_t>(caret - model.lineStart(line))});
    if (match.status != PairStatus::Matched && match.status != PairStatus::Mismatched)
        return false;
    m_editor->moveCaret(model.lineStart(static_cast<std::int64_t>(match.partner.line)) +
                            static_cast<std::int64_t>(match.partner.column),
                        false);
    return true;
}

// --- Words, definitions and tips ---

std::optional<RplNavigation::WordAt> RplNavigation::wordAt(std::int64_t offset, bool endingAtOffset)
{
    const TextModel& model = m_editor->model();
    const std::int64_t line = model.lineOf(offset);
    WordAt word;
    word.lineStart = model.lineStart(line);
    word.line = model.slice(word.lineStart, model.lineEnd(line));
    const LexState start = m_lines->stateBefore(static_cast<std::size_t>(line));
    std::vector<Token> tokens;
    const LexState end = lexLine(word.line, start, tokens);
    word.dialect = start.dialect != RplDialect::Unknown ? start.dialect : end.dialect;
    const auto column = static_cast<std::uint32_t>(offset - word.lineStart);
    const auto holding = std::find_if(tokens.begin(), tokens.end(), [&](const Token& t) {
        return t.start <= column && column < t.end();
    });
    if (holding != tokens.end()) {
        word.token = *holding;
        return word;
    }
    const auto ending = std::find_if(tokens.begin(), tokens.end(),
                                     [&](const Token& t) { return t.end() == column; });
    if (!endingAtOffset || ending == tokens.end())
        return std::nullopt;
    word.token = *ending;
    return word;
}

bool RplNavigation::jumpToDefinition(std::int64_t offset)
{
    const std::optional<WordAt> word = wordAt(offset, true);
    if (!word || !namesSomething(word->token.kind))
        return false;
    std::string_view name = word->text();
    if (word->token.kind == TokenKind::Algebraic && name.size() > 2)
        name = name.substr(1, name.size() - 2);
    if (!m_tracker.names().contains(name) && m_tracker.done())
        return false;
    // An explicit jump may finish the background scan at once.
    while (!m_tracker.done())
        m_tracker.scan(*m_lines, std::numeric_limits<std::int64_t>::max());
    const std::optional<DefinitionTracker::Found> found = m_tracker.find(name);
    if (!found)
        return false;
    const auto line = static_cast<std::int64_t>(found->place.line);
    m_editor->moveCaret(
        m_editor->model().lineStart(line) + static_cast<std::int64_t>(found->place.column), false);
    // The definition with a few lines of context above it, never on the view's edge.
    constexpr std::int64_t kContextLines = 3;
    QScrollBar& vertical = *m_editor->verticalScrollBar();
    const std::int64_t top = vertical.value();
    if (line < top + kContextLines || line >= top + m_editor->visibleLines() - kContextLines)
        vertical.setValue(static_cast<int>(std::clamp<std::int64_t>(
            line - kContextLines, vertical.minimum(), vertical.maximum())));
    return true;
}

QString RplNavigation::tipAt(std::int64_t offset)
{
    const std::optional<WordAt> word = wordAt(offset, false);
    return word ? tipFor(*word) : QString();
}

QString RplNavigation::tipFor(const WordAt& word) const
{
    if (!m_reference.entryTip ||
        (word.token.kind != TokenKind::Name && word.token.kind != TokenKind::ControlWord))
        return {};
    std::optional<EntryTip> tip;
    if (word.dialect == RplDialect::User) {
        if (const auto entry = userCommandEntry(word.text(), m_reference.inReferenceBook))
            tip = m_reference.entryTip(*entry);
    } else {
        tip = m_reference.entryTip(word.text());
        if (!tip && word.text().size() > 1 && word.text()[0] == '\'')
            tip = m_reference.entryTip(word.text().substr(1));
    }
    if (!tip)
        return {};
    QStringList lines = QString::fromStdString(tip->description)
                            .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                            .split(QLatin1Char('\n'));
    const bool more = lines.size() > kTipLines;
    lines = lines.mid(0, kTipLines);
    // A long line is wrapped at its last space before the width (or at the width), not cut.
    QStringList wrapped;
    for (QString line : lines) {
        while (line.size() > kTipLineLength) {
            const qsizetype space = line.lastIndexOf(QLatin1Char(' '), kTipLineLength);
            const qsizetype cut = space > 0 ? space : kTipLineLength;
            wrapped << line.left(cut);
            line = line.mid(space > 0 ? cut + 1 : cut);
        }
        wrapped << line;
    }
    lines = wrapped;
    if (more)
        lines << QString(QChar(0x2026));
    lines.prepend(QString::fromStdString(tip->name) + QStringLiteral("  ") +
                  QString::fromStdString(tip->address));
    return lines.join(QLatin1Char('\n'));
}

// --- Events ---

RplNavigation::Jump RplNavigation::jumpOf(const QKeyEvent& event)
{
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    const int key = virtualKeyCode(event.key());
    if (key == kDefinitionJumpKey && modifiers == Qt::NoModifier)
        return Jump::Definition;
    if (key == kPairJumpKey && modifiers == Qt::ControlModifier)
        return Jump::Partner;
    return Jump::None;
}

bool RplNavigation::eventFilter(QObject* watched, QEvent* event)
{
    if (m_editor == nullptr)
        return false;
    if (watched == m_editor) {
        switch (event->type()) {
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress: {
            // The jump keys are the editor's before they are any shortcut's.
            const Jump jump = jumpOf(*static_cast<QKeyEvent*>(event));
            if (jump == Jump::None)
                return false;
            event->accept();
            if (event->type() == QEvent::ShortcutOverride)
                return true;
            m_editor->expectKeyRelease(static_cast<QKeyEvent*>(event)->key());
            if (jump == Jump::Definition)
                jumpToDefinition(m_editor->caret());
            else
                jumpToPartner();
            return true;
        }
        case QEvent::PaletteChange:
            applyStyles();
            break;
        default:
            break;
        }
        return false;
    }
    if (watched != m_editor->viewport())
        return false;
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const std::optional<std::int64_t> offset = m_editor->offsetAt(help->pos());
        if (!offset)
            return false;
        const TextModel& model = m_editor->model();
        const std::int64_t start = model.lineStart(model.lineOf(*offset));
        if (model.slice(start, start + 5) == "GROB ")
            return false; // a GROB line shows its picture
        const std::optional<WordAt> word = wordAt(*offset, false);
        const QString tip = word ? tipFor(*word) : QString();
        if (tip.isEmpty())
            return false;
        const std::int64_t from = word->lineStart + word->token.start;
        const QRect area = m_editor->rectForOffset(from).united(
            m_editor->rectForOffset(from + word->token.length - 1));
        QToolTip::showText(help->globalPos(), Qt::convertFromPlainText(tip, Qt::WhiteSpacePre),
                           m_editor->viewport(), area);
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || mouse->modifiers() != Qt::ControlModifier)
            return false;
        const std::optional<std::int64_t> offset = m_editor->offsetAt(mouse->position().toPoint());
        return offset && jumpToDefinition(*offset);
    }
    return false;
}

void RplNavigation::timerEvent(QTimerEvent* event)
{
    if (m_editor == nullptr)
        return;
    if (event->timerId() == m_scanTimer.timerId())
        scanNames(kScanSliceMs);
    else if (event->timerId() == m_pairTimer.timerId())
        markPair();
    else
        QObject::timerEvent(event);
}

} // namespace scrivlet
