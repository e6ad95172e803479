#pragma once

#include <QtGlobal>

namespace scrivlet {

// One item of a menu array: the index its handler receives, and its caption ("-" separates),
// translated in the window's context.
struct MenuEntry {
    int index;
    const char* caption;
};

inline constexpr MenuEntry kMainMenu[] = {{1, QT_TRANSLATE_NOOP("Form1", "File")}, {2, QT_TRANSLATE_NOOP("Form1", "Edit")}, {3, QT_TRANSLATE_NOOP("Form1", "Options")}};
inline constexpr MenuEntry kFileMenu[] = {{1, QT_TRANSLATE_NOOP("Form1", "New")}, {2, QT_TRANSLATE_NOOP("Form1", "Open")}, {3, QT_TRANSLATE_NOOP("Form1", "Save As")}, {4, "-"}, {5, QT_TRANSLATE_NOOP("Form1", "Exit")}};
inline constexpr MenuEntry kEditMenu[] = {{1, QT_TRANSLATE_NOOP("Form1", "Search")}, {2, QT_TRANSLATE_NOOP("Form1", "Replace")}};
inline constexpr MenuEntry kOptionsMenu[] = {{1, QT_TRANSLATE_NOOP("Form1", "Beep")}, {2, QT_TRANSLATE_NOOP("Form1", "Autoident")}};
inline constexpr MenuEntry kAboutItem = {4, QT_TRANSLATE_NOOP("Form1", "About")};
inline constexpr MenuEntry kPosItem = {5, QT_TRANSLATE_NOOP("Form1", "POS: 2,0")};

inline constexpr int kBeepOption = 1;
inline constexpr int kAutoidentOption = 2;

} // namespace scrivlet
