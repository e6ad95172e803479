#pragma once

#include "common/user_prompts.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class QGroupBox;
class QLineEdit;

namespace scrivlet {

class EditorBuffer;
struct ReplaceResult;

// The search and replace frame `srepl`: search next from one byte after the caret, Replace All
// from one byte before it, both exact and without wrapping. Works on the frame's own children
// (`sr`, `rp`, `Command5` "Search F3", `Command6` "Replace All", `Command7` "Close"), found by
// object name. Keeps no state between operations: each reads `sr`, `rp` and the caret afresh.
// Replace All is one step of the editor's undo and leaves the caret directly after the
// replacement its last pass inserted.
class SearchPanel final : public QObject {
    Q_OBJECT

public:
    SearchPanel(QGroupBox& frame, EditorBuffer& buffer, UserPrompts& prompts, QObject* parent = nullptr);

    // Edit > Search and Edit > Replace: show the frame and put the focus in `sr`.
    void showFrame();
    // F3 released in the editor: search next while the frame is shown, else show it.
    void f3();
    // "Search F3", and Enter or F3 released in `sr`.
    void searchNext();
    // "Replace All".
    void replaceAll();
    // "Close": hide the frame and give the editor the focus.
    void close();

    bool frameShown() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<std::int64_t> findAfter(std::string_view term, std::int64_t from) const;
    void applyChange(std::string_view before, const ReplaceResult& result);
    void tell(const QString& title, const QString& text, UserPrompts::Icon icon);

    QGroupBox& m_frame;
    EditorBuffer& m_buffer;
    UserPrompts& m_prompts;
    QLineEdit* m_sr = nullptr;
    QLineEdit* m_rp = nullptr;
};

} // namespace scrivlet
