#include "editor/search_panel.h"

#include "common/design_fonts.h"
#include "common/design_geometry.h"
#include "editor/editor_buffer.h"
#include "editor/key_codes.h"
#include "editor/search_rules.h"
#include "editor/source_editor.h"

#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <string>

namespace scrivlet {

namespace {

std::u16string_view typedText(const QLineEdit& box)
{
    const QStringView text(box.text());
    return {text.utf16(), static_cast<std::size_t>(text.size())};
}

} // namespace

SearchPanel::SearchPanel(EditorBuffer& buffer, UserPrompts& prompts, QWidget* parent)
    : QGroupBox(tr("SEARCH for :"), parent), m_buffer(buffer), m_prompts(prompts)
{
    setObjectName(QStringLiteral("srepl"));
    setAutoFillBackground(true);
    // The controls take this font; only "Close" is bold.
    setFont(msSansSerif(8.25));

    m_check1 = named(new QCheckBox(tr("Case sensitive"), this), "Check1");
    m_check1->setGeometry(twipsRect(1485, 1080, 1320, 270));
    m_check1->setChecked(true);
    m_check1->setEnabled(false);

    m_command5 = named(new QPushButton(tr("Search F3"), this), "Command5");
    m_command5->setGeometry(twipsRect(90, 1350, 930, 330));
    m_command6 = named(new QPushButton(tr("Replace All"), this), "Command6");
    m_command6->setGeometry(twipsRect(1050, 1350, 1065, 330));

    m_sr = named(new QLineEdit(this), "sr");
    m_sr->setGeometry(twipsRect(90, 225, 2700, 300));
    m_rp = named(new QLineEdit(this), "rp");
    m_rp->setGeometry(twipsRect(90, 750, 2700, 300));

    m_command7 = named(new QPushButton(tr("Close"), this), "Command7");
    m_command7->setGeometry(twipsRect(2145, 1350, 645, 330));
    m_command7->setFont(msSansSerif(8.25, true));

    m_option1 = named(new QRadioButton(tr("From cur. down"), this), "Option1");
    m_option1->setGeometry(twipsRect(60, 1110, 1395, 225));
    m_option1->setChecked(true);
    m_option1->setEnabled(false);

    m_label2 = named(new QLabel(tr("REPLACE with :"), this), "Label2");
    m_label2->setGeometry(twipsRect(75, 540, 1155, 195));

    connect(m_command5, &QPushButton::clicked, this, &SearchPanel::searchNext);
    connect(m_command6, &QPushButton::clicked, this, &SearchPanel::replaceAll);
    connect(m_command7, &QPushButton::clicked, this, &SearchPanel::hideFrame);
    m_sr->installEventFilter(this);
    hide();
}

std::vector<QWidget*> SearchPanel::tabOrder() const
{
    return {m_option1, m_command7, m_rp, m_sr, m_command6, m_command5, m_check1};
}

void SearchPanel::showFrame()
{
    show();
    m_sr->setFocus();
}

void SearchPanel::f3()
{
    if (isHidden())
        showFrame();
    else
        searchNext();
}

void SearchPanel::hideFrame()
{
    hide();
    m_buffer.setFocus();
}

bool SearchPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_sr && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        const int code = virtualKeyCode(key->key());
        if (!key->isAutoRepeat() && (code == vk::Enter || code == vk::F3))
            searchNext();
    }
    return QGroupBox::eventFilter(watched, event);
}

void SearchPanel::searchNext()
{
    const std::optional<std::string> term =
        searchTermBytes(typedText(*m_sr), m_buffer.widget().codePage());
    const auto read = [this](std::int64_t from, std::int64_t to) {
        return m_buffer.slice(from, to);
    };
    if (const auto at =
            term ? searchNextInPieces(read, m_buffer.length(), *term, m_buffer.selStart())
                 : std::nullopt) {
        m_buffer.setSelStart(*at);
        m_buffer.setSelLength(static_cast<std::int64_t>(term->size()));
        m_buffer.setFocus();
        return;
    }
    tell(tr("Vantor Scrivlet Search"), tr("Search term :\n%1\nwas not found !").arg(m_sr->text()),
         UserPrompts::Icon::Warning);
}

void SearchPanel::replaceAll()
{
    const QString title = tr("Vantor Scrivlet Replace");
    m_buffer.setFocus();
    if (m_sr->text().isEmpty()) {
        tell(title, tr("There is no search term:\nnothing was replaced."),
             UserPrompts::Icon::Warning);
        return;
    }
    const CodePageTable& page = m_buffer.widget().codePage();
    const std::optional<std::string> term = searchTermBytes(typedText(*m_sr), page);
    const std::int64_t caret = m_buffer.selStart();
    const std::string text = term ? m_buffer.text() : std::string();
    const auto length = static_cast<std::int64_t>(text.size());
    const ReplaceResult result =
        term ? scrivlet::replaceAll(text, *term, replacementBytes(typedText(*m_rp), page), caret,
                                    replaceBoundFor(length), replaceLengthLimitFor(length))
             : ReplaceResult{};
    switch (result.outcome) {
    case ReplaceResult::Outcome::StoppedAtBound:
        tell(title,
             tr("Replace All stopped after %1 replacements:\n"
                "every replacement formed a new occurrence.\n"
                "The text was not changed.")
                 .arg(result.count),
             UserPrompts::Icon::Warning);
        return;
    case ReplaceResult::Outcome::TooLong:
        tell(title,
             tr("Replace All stopped after %1 replacements:\n"
                "the text would grow beyond %2 MB.\n"
                "The text was not changed.")
                 .arg(result.count)
                 .arg(replaceLengthLimitFor(length) >> 20),
             UserPrompts::Icon::Warning);
        return;
    case ReplaceResult::Outcome::EmptyTerm:
    case ReplaceResult::Outcome::Finished:
        break;
    }
    if (result.count > 0) {
        // Only the changed region is replaced, through the selection: one undo step, and the
        // document keeps its blocks around it.
        const TextChange change = selectableChange(text, result);
        m_buffer.setSelStart(change.start);
        m_buffer.setSelLength(change.oldLength);
        m_buffer.setSelText(change.bytes);
        m_buffer.setSelStart(result.caret);
    }
    tell(title, tr("Found and replaced : %1\noccurances.").arg(result.count),
         UserPrompts::Icon::Information);
}

void SearchPanel::tell(const QString& title, const QString& text, UserPrompts::Icon icon)
{
    m_prompts.message(window(), title, text, icon);
}

} // namespace scrivlet
