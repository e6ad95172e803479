#include "files/calculator_text_commands.h"

#include "common/file_io.h"
#include "calculator/transfer_escapes.h"
#include "editor/editor_buffer.h"
#include "editor/line_breaks.h"
#include "files/line_ends.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QWidget>
#include <algorithm>

namespace scrivlet {
namespace {

// Where two byte strings differ, neither end between the CR and the LF of a line break, where
// the editor cannot place it.
ChangedBytes differingPart(std::string_view before, std::string_view after)
{
    const std::size_t shorter = std::min(before.size(), after.size());
    std::size_t start = 0;
    while (start < shorter && before[start] == after[start])
        ++start;
    std::size_t tail = 0;
    while (tail < shorter - start &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return widenedOutOfLineBreaks(
        before, {static_cast<std::int64_t>(start), static_cast<std::int64_t>(before.size() - tail),
                 static_cast<std::int64_t>(after.size() - tail)});
}

} // namespace

CalculatorTextCommands::CalculatorTextCommands(QWidget& window, EditorBuffer& buffer,
                                               UserPrompts& prompts)
    : QObject(&window), m_window(window), m_buffer(buffer), m_prompts(prompts)
{
}

void CalculatorTextCommands::addMenuActions(QMenu& file, QAction* beforeInFile, QMenu& edit)
{
    const auto add = [this](QMenu& menu, QAction* before, const char* name, const QString& caption,
                            void (CalculatorTextCommands::*run)()) {
        auto* action = new QAction(caption, this);
        action->setObjectName(QLatin1String(name));
        menu.insertAction(before, action);
        connect(action, &QAction::triggered, this, run);
    };
    add(file, beforeInFile, "saveForCalculator", tr("Save for Calculator..."),
        &CalculatorTextCommands::saveForCalculator);
    edit.addSeparator();
    add(edit, nullptr, "charactersFromEscapes", tr("Calculator Characters from Escapes"),
        &CalculatorTextCommands::charactersFromEscapes);
    add(edit, nullptr, "escapesFromCharacters", tr("Escapes from Calculator Characters"),
        &CalculatorTextCommands::escapesFromCharacters);
}

CalculatorTextCommands::Range CalculatorTextCommands::rangeToConvert() const
{
    Range range;
    if (m_buffer.selLength() > 0) {
        range.from = m_buffer.selStart();
        range.bytes = m_buffer.selText();
        range.selected = true;
    } else {
        range.bytes = m_buffer.text();
        range.caret = m_buffer.selStart();
    }
    return range;
}

void CalculatorTextCommands::replaceRange(const Range& range, std::string_view converted,
                                          std::int64_t caretInConverted)
{
    const ChangedBytes d = differingPart(range.bytes, converted);
    m_buffer.setSelStart(range.from + d.start);
    m_buffer.setSelLength(d.oldEnd - d.start);
    m_buffer.setSelText(converted.substr(static_cast<std::size_t>(d.start),
                                         static_cast<std::size_t>(d.newEnd - d.start)));
    if (range.selected) {
        m_buffer.setSelStart(range.from);
        m_buffer.setSelLength(static_cast<std::int64_t>(converted.size()));
    } else {
        m_buffer.setSelStart(caretInConverted);
    }
}

void CalculatorTextCommands::charactersFromEscapes()
{
    const Range range = rangeToConvert();
    const EscapesToBytesResult result = escapesToBytes(range.bytes);
    if (result.converted > 0) {
        // The caret stays before the text it stood before: the escapes ahead of it shrink.
        const std::string_view ahead = std::string_view(range.bytes).substr(0, range.caret);
        replaceRange(range, result.bytes,
                     static_cast<std::int64_t>(escapesToBytes(ahead).bytes.size()));
    }
    QString text;
    if (result.converted == 0 && result.unknown == 0)
        text = tr("There are no escapes to convert.");
    else if (result.converted == 1)
        text = tr("Converted 1 escape.");
    else
        text = tr("Converted %1 escapes.").arg(result.converted);
    if (result.unknown == 1)
        text += QLatin1Char('\n') + tr("1 unknown escape was left as it is.");
    else if (result.unknown > 1)
        text +=
            QLatin1Char('\n') + tr("%1 unknown escapes were left as they are.").arg(result.unknown);
    tell(tr("Vantor Scrivlet Convert"), text, UserPrompts::Icon::Information);
}

void CalculatorTextCommands::escapesFromCharacters()
{
    const Range range = rangeToConvert();
    const BytesToEscapesResult result = bytesToEscapes(range.bytes);
    if (result.converted > 0) {
        const std::string_view ahead = std::string_view(range.bytes).substr(0, range.caret);
        replaceRange(range, result.text,
                     static_cast<std::int64_t>(bytesToEscapes(ahead).text.size()));
    }
    QString text;
    if (result.converted == 0)
        text = tr("There are no characters to convert.");
    else if (result.converted == 1)
        text = tr("Converted 1 character to an escape.");
    else
        text = tr("Converted %1 characters to escapes.").arg(result.converted);
    tell(tr("Vantor Scrivlet Convert"), text, UserPrompts::Icon::Information);
}

void CalculatorTextCommands::saveForCalculator()
{
    const QString title = tr("Vantor Scrivlet Save for Calculator");
    const QString path =
        m_prompts.saveFileNameTitled(&m_window, tr("Calculator Text|*.txt;*."), title);
    if (path.isEmpty())
        return;
    const CalculatorFileText file = calculatorFileText(m_buffer.text());
    const FileWriteResult written =
        writeFileAtomically(QFile::encodeName(path).toStdString(), toDiskLineEnds(file.text));
    if (!written.ok) {
        tell(title,
             tr("The file could not be saved:\n%1\n%2")
                 .arg(path, QString::fromStdString(written.reason)),
             UserPrompts::Icon::Warning);
        return;
    }
    QString text = tr("Saved for the calculator:\n%1\n").arg(path);
    text += file.converted == 1 ? tr("1 character was written as an escape.")
                                : tr("%1 characters were written as escapes.").arg(file.converted);
    // Escapes are read back as characters only in translation mode 3; without escapes the
    // file reads the same in every mode.
    const bool unreadable = file.translationMode != 3 && file.converted > 0;
    if (unreadable) {
        text += QLatin1String("\n\n");
        text += file.translationMode < 0
                    ? tr("The text's own %%HP: header names no translation mode, so the "
                         "calculator will not read the escapes back as characters.")
                    : tr("The text's own %%HP: header names translation mode T(%1), so the "
                         "calculator will not read the escapes back as characters. Change it "
                         "to T(3) and save again.")
                          .arg(file.translationMode);
    }
    tell(title, text, unreadable ? UserPrompts::Icon::Warning : UserPrompts::Icon::Information);
}

void CalculatorTextCommands::tell(const QString& title, const QString& text, UserPrompts::Icon icon)
{
    m_prompts.message(&m_window, title, text, icon);
    m_buffer.setFocus();
}

} // namespace scrivlet
