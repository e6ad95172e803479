#include "editor/search_panel.h"

#include "app/user_prompts.h"
#include "editor/code_page.h"
#include "editor/editor_buffer.h"
#include "editor/search_rules.h"

#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
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

// The editor's bytes for what was typed in a search box.
std::string toBytes(const QString& typed)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(typed.size()));
    for (const QChar c : typed)
        bytes.push_back(static_cast<char>(codePageByte(c.unicode())));
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

std::string SearchPanel::term() const
{
    return toBytes(m_sr->text());
}

std::string SearchPanel::replacement() const
{
    return toBytes(m_rp->text());
}

std::optional<std::int64_t> SearchPanel::findAfter(const std::string& searched, std::int64_t from) const
{
    // The text is read in growing pieces, so a near occurrence is found without reading the
    // whole text, and a far one costs at most twice one reading. Pieces overlap by the term's
    // length less one, so no occurrence falls between two of them.
    const std::int64_t length = m_buffer.length();
    const auto termLength = static_cast<std::int64_t>(searched.size());
    if (termLength == 0)
        return std::nullopt;
    std::int64_t piece = std::int64_t{1} << 16;
    for (std::int64_t start = std::max<std::int64_t>(from, 0); start + termLength <= length; start += piece, piece *= 2) {
        const std::int64_t end = std::min(length, start + piece + termLength - 1);
        if (const auto hit = findTerm(m_buffer.slice(start, end), searched, 0))
            return start + *hit;
    }
    return std::nullopt;
}

void SearchPanel::searchNext()
{
    const std::string searched = term();
    const std::int64_t caret = std::clamp<std::int64_t>(m_buffer.selStart(), 0, m_buffer.length());
    if (const auto at = findAfter(searched, caret + 1)) {
        m_buffer.setSelStart(*at);
        m_buffer.setSelLength(static_cast<std::int64_t>(searched.size()));
        m_buffer.setFocus();
        return;
    }
    tell(kSearchTitle, QStringLiteral("Search term :\n") + m_sr->text() + QStringLiteral("\nwas not found !"), UserPrompts::Icon::Warning);
}

void SearchPanel::replaceAll()
{
    m_buffer.setFocus();
    const std::string searched = term();
    if (searched.empty()) {
        tell(kReplaceTitle, QStringLiteral("There is no search term:\nnothing was replaced."), UserPrompts::Icon::Warning);
        return;
    }
    const std::string text = m_buffer.text();
    const auto length = static_cast<std::int64_t>(text.size());
    const ReplaceResult result = scrivlet::replaceAll(text, searched, replacement(), m_buffer.selStart(),
                                                      replaceBoundFor(length), replaceLengthLimitFor(length));
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
    if (result.count > 0) {
        // Only the changed region is replaced, through the selection: one undo step, and the
        // document keeps everything around it.
        m_buffer.setSelStart(result.changeStart);
        m_buffer.setSelLength(result.oldChangeEnd - result.changeStart);
        m_buffer.setSelText(std::string_view(result.text).substr(
            static_cast<std::size_t>(result.changeStart),
            static_cast<std::size_t>(result.newChangeEnd - result.changeStart)));
        m_buffer.setSelStart(result.caret);
        m_buffer.setSelLength(0);
    }
    tell(kReplaceTitle, QStringLiteral("Found and replaced : %1\noccurances.").arg(result.count), UserPrompts::Icon::Information);
}

void SearchPanel::tell(const QString& title, const QString& text, UserPrompts::Icon icon)
{
    m_prompts.message(m_frame.window(), title, text, icon);
}

} // namespace scrivlet
