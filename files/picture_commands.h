#pragma once

#include "calculator/grob_text.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <optional>
#include <utility>

class QLabel;
class QWidget;

namespace scrivlet {

class EditorBuffer;
class FileCommands;
class SourceEditor;
class UserPrompts;

// Pictures in and out of the editor's GROB lines: File > Import Picture (a picture file becomes
// one GROB line at the caret, as a dropped picture does, by the drops' dark rule), Edit >
// Export GROB (the GROB at the caret written as a 49-series .gro file or as a PNG picture) and
// the tips that show the picture of a GROB under the mouse or at the caret.
//
// Invariants: a GROB is read from the piece of its line around the position asked about, never
// from the whole text, and cut out of the line by grobSpanAt. The caret tip appears when the
// caret comes onto a GROB it was not on, stays while the caret moves on that GROB (following
// its edits) and goes when the caret leaves it or the GROB stops being well formed; scrolling,
// moving the window and the editor losing the focus hide it until the caret comes onto a GROB
// again. The mouse tip answers only over a GROB, so other tips of the editor keep working.
// A written file is whole or untouched; a failure says which file and why.
class PictureCommands final : public QObject {
    Q_OBJECT

  public:
    // The drops' dark rule is read from `files` at each import.
    PictureCommands(QWidget& window, EditorBuffer& buffer, UserPrompts& prompts,
                    const FileCommands& files);
    ~PictureCommands() override;

    PictureCommands(const PictureCommands&) = delete;
    PictureCommands& operator=(const PictureCommands&) = delete;

    // File > Import Picture: the chosen picture as a GROB line at the caret (one undo step).
    void importPicture();
    // Edit > Export GROB: the GROB at the caret to a .gro or .png file, by the type chosen.
    void exportGrob();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct GrobAt {
        std::int64_t begin = 0; // the GROB's words in the text, [begin, end)
        std::int64_t end = 0;
        GrobTextParse parse;
    };
    std::optional<GrobAt> grobAt(std::int64_t offset) const;
    bool showMouseTip(const QPoint& viewportPos, const QPoint& globalPos);
    void followCaret();
    void showCaretTip();
    void hideCaretTip();
    void tell(const QString& title, const QString& text);

    QWidget& m_window;
    EditorBuffer& m_buffer;
    SourceEditor& m_edit;
    UserPrompts& m_prompts;
    const FileCommands& m_files;

    QPointer<QLabel> m_caretTip; // the editor owns it and may go first when the window closes
    std::optional<std::pair<std::int64_t, std::int64_t>> m_caretGrob; // the well-formed GROB
                                                                      // the caret is on
    bool m_textChanged = false;
    QTimer m_followCaret; // looks at the caret once the edit or move has settled
};

} // namespace scrivlet
