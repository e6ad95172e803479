#pragma once

namespace scrivlet {

// Windows virtual-key codes the editor's key-up dispatch speaks.
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
} // namespace vk

// The Windows virtual-key code of a key, given as its Qt::Key value. Letters give their
// upper-case ASCII code, digits their ASCII code; a digit or operator of the numeric keypad
// (keypad true) gives the keypad's own code. Punctuation gives the code of the US-layout key
// that carries it (';' and ':' both 186). A key without a virtual-key code gives 0.
int virtualKeyCode(int qtKey, bool keypad = false);

} // namespace scrivlet
