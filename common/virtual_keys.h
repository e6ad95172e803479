#pragma once

namespace scrivlet {

// Windows virtual-key codes, the numbers the editor's key-up dispatch speaks. The reference
// list's character codes agree with them where they meet: Enter 13, Backspace 8, Esc 27.
namespace vk {
inline constexpr int Backspace = 8;
inline constexpr int Tab = 9;
inline constexpr int Enter = 13;
inline constexpr int Shift = 16;
inline constexpr int Control = 17;
inline constexpr int Alt = 18;
inline constexpr int Escape = 27;
inline constexpr int Space = 32;
inline constexpr int PageUp = 33;
inline constexpr int PageDown = 34;
inline constexpr int End = 35;
inline constexpr int Home = 36;
inline constexpr int Left = 37;
inline constexpr int Up = 38;
inline constexpr int Right = 39;
inline constexpr int Down = 40;
inline constexpr int Insert = 45;
inline constexpr int Delete = 46;
inline constexpr int F1 = 112;
inline constexpr int F3 = 114;
inline constexpr int F12 = 123;
inline constexpr int CloseBracket = 221; // the ] } key of the US layout (VK_OEM_6)
} // namespace vk

} // namespace scrivlet
