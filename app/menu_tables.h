#pragma once

namespace scrivlet {

// One item of a menu array: the index its handler receives, and its caption ("-" separates).
struct MenuEntry {
    int index;
    const char* caption;
};

inline constexpr MenuEntry kMainMenu[] = {{1, "File"}, {2, "Edit"}, {3, "Options"}};
inline constexpr MenuEntry kFileMenu[] = {{1, "New"}, {2, "Open"}, {3, "Save As"}, {4, "-"}, {5, "Exit"}};
inline constexpr MenuEntry kEditMenu[] = {{1, "Search"}, {2, "Replace"}};
inline constexpr MenuEntry kOptionsMenu[] = {{1, "Beep"}, {2, "Autoident"}};
inline constexpr MenuEntry kAboutItem = {4, "About"};
inline constexpr MenuEntry kPosItem = {5, "POS: 2,0"};

inline constexpr int kBeepOption = 1;
inline constexpr int kAutoidentOption = 2;

} // namespace scrivlet
