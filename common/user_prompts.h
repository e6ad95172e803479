#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace scrivlet {

// Everything the program asks of the person in front of it or tells them: messages, the
// unsaved-changes question, file dialogs and the beep. The window never calls QMessageBox or
// QFileDialog itself, so tests can answer for the user and a run without a user
// (--screenshot) can write its messages to standard error.
class UserPrompts {
  public:
    enum class Icon { None, Information, Warning, Critical };
    enum class SaveChoice { Save, Discard, Cancel };

    virtual ~UserPrompts() = default;

    // A modal message with one OK button.
    virtual void message(QWidget* parent, const QString& title, const QString& text, Icon icon) = 0;
    // Asks whether changed text is to be saved before it is replaced.
    virtual SaveChoice askSaveChanges(QWidget* parent, const QString& title,
                                      const QString& text) = 0;
    // The chosen file, or an empty string when the dialog was cancelled. The filter is in the
    // form "Description|*.a;*.b", or several such pairs joined by "|".
    virtual QString openFileName(QWidget* parent, const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& filter) = 0;
    // Several files to open; by default the one openFileName gives.
    virtual QStringList openFileNames(QWidget* parent, const QString& filter);

    // A save dialog offering several file types ("GROB|*.gro|PNG|*.png"): the chosen file and
    // the 0-based index of the type chosen; an empty path when the dialog was cancelled. Unless
    // a dialog tells it, the type is the first whose patterns the file's name matches (else
    // the first type).
    struct TypedFileName {
        QString path;
        int type = 0;
    };
    virtual TypedFileName saveFileNameOfType(QWidget* parent, const QString& filter);
    // A save dialog with a title of its own ("Save for Calculator"); by default saveFileName.
    virtual QString saveFileNameTitled(QWidget* parent, const QString& filter,
                                       const QString& title);
    // A folder to choose, starting at `start`; empty when the dialog was cancelled. By default
    // none is chosen.
    virtual QString folderName(QWidget* parent, const QString& title, const QString& start);
    virtual void beep() = 0;
};

// The real dialogs. File dialogs start in the folder of the file last chosen in any of them
// (at first the user's home folder). A message box is wide enough for its whole title.
class DialogPrompts final : public UserPrompts {
  public:
    void message(QWidget* parent, const QString& title, const QString& text, Icon icon) override;
    SaveChoice askSaveChanges(QWidget* parent, const QString& title, const QString& text) override;
    QString openFileName(QWidget* parent, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& filter) override;
    QStringList openFileNames(QWidget* parent, const QString& filter) override;
    // The chosen type's first extension is added to a name typed without one.
    TypedFileName saveFileNameOfType(QWidget* parent, const QString& filter) override;
    QString saveFileNameTitled(QWidget* parent, const QString& filter,
                               const QString& title) override;
    QString folderName(QWidget* parent, const QString& title, const QString& start) override;
    void beep() override;

  private:
    QString chosen(const QString& path);
    QString m_folder;
};

// For runs nobody watches: messages go to standard error, questions get the answer that
// keeps everything as it is, dialogs are cancelled.
class ConsolePrompts final : public UserPrompts {
  public:
    void message(QWidget* parent, const QString& title, const QString& text, Icon icon) override;
    SaveChoice askSaveChanges(QWidget*, const QString&, const QString&) override
    {
        return SaveChoice::Cancel;
    }
    QString openFileName(QWidget*, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&) override { return {}; }
    void beep() override {}
};

// "Source Files|*.txt;*.a;*." as name filters for a file dialog: "Source Files (*.txt *.a *)".
// The pattern "*." (files without an extension) can only be offered as "*" there. Several
// pairs ("A|*.a|B|*.b") give one name filter each, joined by ";;".
QString qtNameFilter(const QString& filter);

} // namespace scrivlet
