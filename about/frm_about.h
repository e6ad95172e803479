#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace scrivlet {

class UserPrompts;

// The About box: the program's name, a description, credits and a disclaimer, "OK" and
// "System Info...". A fixed-size, modeless window of its own, not owned by the main window:
// closing the main window leaves it open. It places itself once, when it is made, beside the
// main window, and deletes itself when it closes. At most one exists (see showAbout).
// Its controls carry their roles as object names ("cmdOK", "description", "Line1_0", ...).
class frmAbout final : public QDialog {
    Q_OBJECT

public:
    // `prompts` must live as long as `mainWindow`; the box closes when the main window is
    // destroyed.
    frmAbout(const QWidget& mainWindow, UserPrompts& prompts);

    void cmdOK_Click();
    void cmdSysInfo_Click();
    // Starts the system information tool the registry names, or says that there is none.
    void StartSysInfo();

    // The open About box, or null.
    static frmAbout* instance();

protected:
    // Esc presses "OK", as Enter does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void Form_Load(const QWidget& mainWindow);

    UserPrompts& m_prompts;
    QLabel* m_description = nullptr;
    QLabel* m_author = nullptr;
    QPushButton* m_cmdOK = nullptr;
    QPushButton* m_cmdSysInfo = nullptr;
};

// Shows the About box without waiting for it. When none is open one is made, placed 2000
// twips right of and 1000 twips below the main window's top-left corner (frame included) and
// shown; when one is open it is only brought to the front.
frmAbout& showAbout(QWidget& mainWindow, UserPrompts& prompts);

// The texts of the box's two labels, lines separated by a line feed alone.
QString aboutDescription();
QString aboutAuthor();

} // namespace scrivlet
