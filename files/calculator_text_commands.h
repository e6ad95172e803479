#pragma once

#include "common/user_prompts.h"

#include <QObject>
#include <cstdint>
#include <string>
#include <string_view>

class QAction;
class QMenu;
class QWidget;

namespace scrivlet {

class EditorBuffer;

// The calculator's characters in the editor's text: the Edit menu's conversions between
// transfer escapes ("\->", "\<<", "\141") and the calculator's own bytes, and File > Save for
// Calculator.
//
// The conversions work on the editor's bytes of the selection, or of the whole text when
// nothing is selected, whatever code page shows them; a CR LF line break passes through as it
// is. A conversion that changes something is one undo step and replaces only the bytes that
// differ; afterwards a selection covers the converted bytes, and without one the caret stands
// before the same text as before. Each says in a message how much it converted.
//
// Save for Calculator writes the file a calculator reads in translation mode 3 (a %%HP: header
// line, every byte above 127 as its escape, LF line ends) through a temporary file, and changes
// nothing in the editor: text, caret, undo history, modified flag and window caption stay. A
// failure says which file and why.
class CalculatorTextCommands final : public QObject {
    Q_OBJECT

  public:
    CalculatorTextCommands(QWidget& window, EditorBuffer& buffer, UserPrompts& prompts);

    // Puts Save for Calculator... into the File menu before `beforeInFile`, and the two
    // conversions at the end of the Edit menu below a separator. The actions are named
    // saveForCalculator, charactersFromEscapes and escapesFromCharacters.
    void addMenuActions(QMenu& file, QAction* beforeInFile, QMenu& edit);

    // Edit > Calculator Characters from Escapes.
    void charactersFromEscapes();
    // Edit > Escapes from Calculator Characters.
    void escapesFromCharacters();
    // File > Save for Calculator...
    void saveForCalculator();

  private:
    // The bytes a conversion works on: the selection, or the whole text.
    struct Range {
        std::int64_t from = 0;
        std::string bytes;
        bool selected = false;
        std::int64_t caret = 0; // offset in `bytes` of the caret when nothing is selected
    };
    Range rangeToConvert() const;
    // Writes `converted` over the range as one undo step; `caretInConverted` is where the caret
    // goes in it when nothing was selected.
    void replaceRange(const Range& range, std::string_view converted,
                      std::int64_t caretInConverted);
    void tell(const QString& title, const QString& text, UserPrompts::Icon icon);

    QWidget& m_window;
    EditorBuffer& m_buffer;
    UserPrompts& m_prompts;
};

} // namespace scrivlet
