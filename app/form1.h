#pragma once

#include "app/options_store.h"
#include "common/user_prompts.h"
#include "editor/text_encoding.h"
#include "reference/entry_source.h"

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <array>
#include <memory>

class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;

namespace scrivlet {

class BuildCommands;
class CalculatorTextCommands;
class EditorBuffer;
class EntryListModel;
class EntryListView;
class FileCommands;
class RplNavigation;
class PictureCommands;
class PanelHandle;
class ProblemPane;
class SearchPanel;
class SourceEditor;
class TypingLoop;

// What the window is started with.
struct StartOptions {
    std::unique_ptr<UserPrompts> prompts;  // DialogPrompts when not given
    QString commandLine;                   // the arguments after the program name, joined
    QString optionsFile; // where the remembered Options live; empty: the user's config folder
};

// The main window: the editor pane on the left, the reference panel on the right, the menus,
// the entry data source and the state the editor and the list share. Controls carry the names
// of their roles as object names ("text", "entry", "addr", ...). The window wires the parts
// together; the rules live in the rooms' own libraries.
class Form1 final : public QMainWindow {
    Q_OBJECT

public:
    explicit Form1(StartOptions options = {});
    ~Form1() override;

    // The Options check marks.
    bool beepOption() const;
    bool autoidentOption() const;
    // The Options remembered between runs (each flips its own check mark, which is written at
    // once); optionChanged follows every flip.
    bool rememberedOption(RememberedOption option) const;
    void setRememberedOption(RememberedOption option, bool on);

    // The caret read-out on the menu bar.
    QString positionReadout() const;
    EntrySource& entries() { return m_entries; }
    UserPrompts& prompts() { return *m_prompts; }
    EditorBuffer& buffer() { return *m_buffer; }
    TypingLoop& typingLoop() { return *m_loop; }

    // Menu handlers; each receives the item's index.
    void file_Click(int index);
    void edit_Click(int index);
    void about_Click(int index);

    // The sort buttons.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

signals:
    void optionChanged(RememberedOption option, bool on);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    void addEditingItems(QMenu& edit);
    void setTabOrder();
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    int panelRoom() const;
    void Form_Unload();
    void sortBy(SortOrder order);
    void refreshEntries(const RefreshResult& result);
    void showAddress();
    void showCalculatorCharset(bool on);
    void followEncoding(TextEncoding encoding);

    std::unique_ptr<UserPrompts> m_prompts;
    QString m_commandLine;

    // Form-level state.
    QString m_startdir;
    bool m_activated = false;

    // Controls.
    QWidget* m_client = nullptr;
    SourceEditor* m_text = nullptr;
    QPointer<RplNavigation> m_rpl; // the editor's RPL view, its child
    std::unique_ptr<EditorBuffer> m_buffer;
    QGroupBox* m_desc = nullptr;
    EntryListView* m_entry = nullptr;
    QLabel* m_description = nullptr;
    QLabel* m_addr = nullptr;
    QLabel* m_label1 = nullptr;
    std::array<QPushButton*, 4> m_sortButtons{}; // Command1 to Command4
    SearchPanel* m_search = nullptr;
    PanelHandle* m_panelHandle = nullptr;
    int m_panelWidening = 0; // pixels the handle added to the panel's designed width

    // Menu arrays, by index (element 0 unused).
    std::array<QAction*, 6> m_file{};
    std::array<QAction*, 3> m_edit{};
    std::array<QAction*, 3> m_options{};
    OptionsStore m_optionsStore;
    std::array<QAction*, std::size(kRememberedOptions)> m_remembered{};
    QAction* m_about = nullptr;
    QAction* m_pos = nullptr;
    QAction* m_usesWaiting = nullptr;
    QPointer<QWidget> m_focusBeforeMenu; // where the keyboard goes back to when a menu closes

    // The entry data source and the list bound to it.
    EntrySource m_entries;
    EntryListModel* m_entryModel = nullptr;

    TypingLoop* m_loop = nullptr;
    FileCommands* m_files = nullptr;
    CalculatorTextCommands* m_calculatorText = nullptr;
    PictureCommands* m_pictures = nullptr;
    ProblemPane* m_problems = nullptr; // under the editor
    BuildCommands* m_build = nullptr;
};

} // namespace scrivlet
