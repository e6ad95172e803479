#pragma once

#include "common/user_prompts.h"

#include <QGroupBox>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace scrivlet {

class EditorBuffer;

// The search and replace frame `srepl`, with its controls as designed: the search box `sr`,
// the replacement box `rp`, the fixed mode and direction (`Check1`, `Option1`, shown checked
// and disabled) and the buttons "Search F3", "Replace All" and "Close". Hidden until shown.
//
// Search next looks from one byte after the caret, Replace All from one byte before it, both
// exact and without wrapping. Nothing is kept between operations: each reads `sr`, `rp` and
// the caret afresh. Replace All is one step of the editor's undo and leaves the caret directly
// after the replacement its last pass inserted.
class SearchPanel final : public QGroupBox {
    Q_OBJECT

  public:
    SearchPanel(EditorBuffer& buffer, UserPrompts& prompts, QWidget* parent = nullptr);

    // Edit > Search and Edit > Replace: show the frame and put the focus in `sr`.
    void showFrame();
    // F3 released in the editor: search next while the frame is shown, else show it.
    void f3();
    // "Search F3", and Enter or F3 released in `sr`.
    void searchNext();
    // "Replace All".
    void replaceAll();
    // "Close": hide the frame and give the editor the focus.
    void hideFrame();

    // The controls that take the focus, in the designed tab order.
    std::vector<QWidget*> tabOrder() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void tell(const QString& title, const QString& text, UserPrompts::Icon icon);

    EditorBuffer& m_buffer;
    UserPrompts& m_prompts;
    QCheckBox* m_check1 = nullptr;
    QPushButton* m_command5 = nullptr;
    QPushButton* m_command6 = nullptr;
    QLineEdit* m_sr = nullptr;
    QLineEdit* m_rp = nullptr;
    QPushButton* m_command7 = nullptr;
    QRadioButton* m_option1 = nullptr;
    QLabel* m_label2 = nullptr;
};

} // namespace scrivlet
