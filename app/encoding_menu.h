#pragma once

#include "editor/text_encoding.h"

#include <QObject>
#include <QString>
#include <array>

class QAction;
class QActionGroup;
class QMenu;
class QMenuBar;

namespace scrivlet {

class SourceEditor;

// The open file's text encoding: three exclusive items (UTF-8, Windows-1252, Calculator) in a
// "Text Encoding" menu for the View menu, and an indicator on the menu bar that names the
// encoding in use and, opened, offers the same items. Choosing one changes only how the editor
// shows its bytes. Both follow the editor whoever changes its encoding.
class EncodingMenu final : public QObject {
    Q_OBJECT

  public:
    EncodingMenu(SourceEditor& editor, QMenuBar& bar, QObject& parent);

    // The submenu for the View menu.
    QMenu* menu() const { return m_menu; }
    // The indicator, to be placed on the menu bar.
    QMenu* indicator() const { return m_indicator; }

    static QString name(TextEncoding encoding);

  private:
    void follow(TextEncoding encoding);

    SourceEditor& m_editor;
    QMenu* m_menu = nullptr;
    QMenu* m_indicator = nullptr;
    QActionGroup* m_group = nullptr;
    std::array<QAction*, 3> m_items{};
};

} // namespace scrivlet
