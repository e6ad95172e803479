#include "editor/search_panel.h"

#include "common/user_prompts.h"
#include "editor/code_page.h"
#include "editor/editor_buffer.h"
#include "editor/search_rules.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace scrivlet {

namespace {

const QString kSearchTitle = QStringLiteral("Vantor Scrivlet Search");
const QString kReplaceTitle = QStringLiteral("Vantor Scrivlet Replace");

template <typename W>
W* child(QGroupBox& frame, const char* name)
{
    W* widget = frame.findChild<W*>(QLatin1String(name));
    Q_ASSERT_X(widget, "SearchPanel", name);
    return widget;
}

// The editor's bytes for what was typed in a search box: Windows-1252, the visible stand-ins
// of a lone CR or LF as those bytes. std::nullopt when a character has no byte: no text holds
// it.
std::optional<std::string> termBytes(const QString& typed)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(typed.size()));
    for (const QChar c : typed) {
        const int byte = byteFromDocumentChar(c.unicode());
        if (byte < 0)
            return std::nullopt;
        bytes.push_back(static_cast<char>(byte));
    }
    return bytes;
}

// A replacement character without a byte is written as the editor saves such a character.
std::string replacementBytes(const QString& typed)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(typed.size()));
    for (const QChar c : typed) {
        const int byte = byteFromDocumentChar(c.unicode());
        bytes.push_back(byte < 0 ? kUnmappableByte : static_cast<char>(byte));
    }
    return bytes;
}

} // namespace

SearchPanel::SearchPanel(QGroupBox& frame, EditorBuffer& buffer, UserPrompts& prompts, QObject* parent)
    : QObject(parent)
    , m_frame(frame)
    , m_buffer(buffer)
    , m_prompts(prompts)
    , m_sr(child<QLineEdit>(frame, "sr"))
    , m_rp(child<QLineEdit>(frame, "rp"))
{
    connect(child<QPushButton>(frame, "Command5"), &QPushButton::clicked, this, &SearchPanel::searchNext);
    connect(child<QPushButton>(frame, "Command6"), &QPushButton::clicked, this, &SearchPanel::replaceAll);
    connect(child<QPushButton>(frame, "Command7"), &QPushButton::clicked, this, &SearchPanel::close);
    m_sr->installEventFilter(this);
}

bool SearchPanel::frameShown() const
{
    return !m_frame.isHidden();
}

void SearchPanel::showFrame()
{
    m_frame.show();
    m_sr->setFocus();
}

void SearchPanel::f3()
{
    if (frameShown())
        searchNext();
    else
        showFrame();
}

void SearchPanel::close()
{
    m_frame.hide();
    m_buffer.setFocus();
}

bool SearchPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_sr && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (!key->isAutoRepeat() &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_F3))
            searchNext();
    }
    return QObject::eventFilter(watched, event);
}

std::optional<std::int64_t> SearchPanel::findAfter(std::string_view term, std::int64_t from) const
{
    // The text is read in growing pieces, so a near occurrence is found without reading the
    // whole text, and a far one costs at most about two readings of it. Each piece is read with
    // the term's length less one more bytes, so no occurrence falls between two pieces, and one
    // byte more on each side, to see whether an occurrence splits a line break.
    const std::int64_t length = m_buffer.length();
    const auto termLength = static_cast<std::int64_t>(term.size());
    if (termLength == 0)
        return std::nullopt;
    std::int64_t piece = std::int64_t{1} << 16;
    for (std::int64_t start = std::max<std::int64_t>(from, 0); start + termLength <= length;
         start += piece, piece *= 2) {
        const std::int64_t readFrom = std::max<std::int64_t>(start - 1, 0);
        const std::string bytes = m_buffer.slice(readFrom, start + piece + termLength);
        if (const auto hit = findSelectable(bytes, term, start - readFrom, start + piece - readFrom))
            return readFrom + *hit;
    }
    return std::nullopt;
}

void SearchPanel::searchNext()
{
    const std::int64_t caret = m_buffer.selStart();
    const std::optional<std::string> term = termBytes(m_sr->text());
    if (const auto at = term ? findAfter(*term, caret + 1) : std::nullopt) {
        m_buffer.setSelStart(*at);
        m_buffer.setSelLength(static_cast<std::int64_t>(term->size()));
        m_buffer.setFocus();
        return;
    }
    tell(kSearchTitle, QStringLiteral("Search term :\n") + m_sr->text() + QStringLiteral("\nwas not found !"),
         UserPrompts::Icon::Warning);
}

void SearchPanel::replaceAll()
{
    m_buffer.setFocus();
    if (m_sr->text().isEmpty()) {
        tell(kReplaceTitle, QStringLiteral("There is no search term:\nnothing was replaced."), UserPrompts::Icon::Warning);
        return;
    }
    const std::optional<std::string> term = termBytes(m_sr->text());
    const std::int64_t caret = m_buffer.selStart();
    const std::string text = term ? m_buffer.text() : std::string();
    const auto length = static_cast<std::int64_t>(text.size());
    const ReplaceResult result =
        term ? scrivlet::replaceAll(text, *term, replacementBytes(m_rp->text()), caret, replaceBoundFor(length),
                                    replaceLengthLimitFor(length))
             : ReplaceResult{};
    switch (result.outcome) {
    case ReplaceResult::Outcome::StoppedAtBound:
        tell(kReplaceTitle,
             QStringLiteral("Replace All stopped after %1 replacements:\n"
                            "every replacement formed a new occurrence.\n"
                            "The text was not changed.").arg(result.count),
             UserPrompts::Icon::Warning);
        return;
    case ReplaceResult::Outcome::TooLong:
        tell(kReplaceTitle,
             QStringLiteral("Replace All stopped after %1 replacements:\n"
                            "the text would grow beyond %2 MB.\n"
                            "The text was not changed.").arg(result.count).arg(replaceLengthLimitFor(length) >> 20),
             UserPrompts::Icon::Warning);
        return;
    case ReplaceResult::Outcome::EmptyTerm:
    case ReplaceResult::Outcome::Finished:
        break;
    }
    if (result.count > 0)
        applyChange(text, result);
    tell(kReplaceTitle, QStringLiteral("Found and replaced : %1\noccurances.").arg(result.count),
         UserPrompts::Icon::Information);
}

void SearchPanel::applyChange(std::string_view before, const ReplaceResult& result)
{
    // Only the changed region is replaced, through the selection: one undo step, and the
    // document keeps its blocks around it. The caret cannot stand between the CR and the LF of
    // a line break, so a region edge there takes in the unchanged CR or LF beside it.
    std::int64_t start = result.changeStart;
    std::int64_t oldEnd = result.oldChangeEnd;
    std::int64_t newEnd = result.newChangeEnd;
    if (insideLineBreak(before, start))
        --start;
    if (insideLineBreak(before, oldEnd)) {
        ++oldEnd;
        ++newEnd;
    }
    m_buffer.setSelStart(start);
    m_buffer.setSelLength(oldEnd - start);
    m_buffer.setSelText(std::string_view(result.text).substr(static_cast<std::size_t>(start),
                                                             static_cast<std::size_t>(newEnd - start)));
    m_buffer.setSelStart(result.caret);
}

void SearchPanel::tell(const QString& title, const QString& text, UserPrompts::Icon icon)
{
    m_prompts.message(m_frame.window(), title, text, icon);
}

} // namespace scrivlet
