#include "editor/key_codes.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace scrivlet {
namespace {

// Qt::Key values of the keys outside the printable ASCII range (Qt's own numbering).
enum QtKey : int {
    Escape = 0x01000000,
    Tab = 0x01000001,
    Backtab = 0x01000002,
    Backspace = 0x01000003,
    Return = 0x01000004,
    Enter = 0x01000005,
    Insert = 0x01000006,
    Delete = 0x01000007,
    Pause = 0x01000008,
    Print = 0x01000009,
    SysReq = 0x0100000a,
    Clear = 0x0100000b,
    Home = 0x01000010,
    End = 0x01000011,
    Left = 0x01000012,
    Up = 0x01000013,
    Right = 0x01000014,
    Down = 0x01000015,
    PageUp = 0x01000016,
    PageDown = 0x01000017,
    Shift = 0x01000020,
    Control = 0x01000021,
    Meta = 0x01000022,
    Alt = 0x01000023,
    CapsLock = 0x01000024,
    NumLock = 0x01000025,
    ScrollLock = 0x01000026,
    F1 = 0x01000030,
    F24 = 0x01000047,
    SuperL = 0x01000053,
    SuperR = 0x01000054,
    Menu = 0x01000055,
    Help = 0x01000058,
    Back = 0x01000061,
    Forward = 0x01000062,
    Stop = 0x01000063,
    Refresh = 0x01000064,
    VolumeDown = 0x01000070,
    VolumeMute = 0x01000071,
    VolumeUp = 0x01000072,
    MediaPlay = 0x01000080,
    MediaStop = 0x01000081,
    MediaPrevious = 0x01000082,
    MediaNext = 0x01000083,
    MediaTogglePlayPause = 0x01000086,
    HomePage = 0x01000090,
    Favorites = 0x01000091,
    Search = 0x01000092,
    LaunchMail = 0x010000a0,
    LaunchMedia = 0x010000a1,
    Launch0 = 0x010000a2,
    Launch1 = 0x010000a3,
    AltGr = 0x01001103,
    Select = 0x01010000,
    Cancel = 0x01020001,
    Printer = 0x01020002,
    Execute = 0x01020003,
    Sleep = 0x01020004,
    Play = 0x01020005,
    Zoom = 0x01020006,
};

// clang-format off
constexpr std::pair<int, int> kSpecialKeys[] = {
    {Backspace, vk::Backspace}, {Tab, vk::Tab}, {Backtab, vk::Tab},
    {Clear, 12}, {Return, vk::Enter}, {Enter, vk::Enter},
    {Shift, vk::Shift}, {Control, vk::Control}, {Alt, vk::Alt},
    {AltGr, vk::Alt}, {Pause, 19}, {CapsLock, 20},
    {Escape, vk::Escape}, {PageUp, vk::PageUp}, {PageDown, vk::PageDown},
    {End, vk::End}, {Home, vk::Home}, {Left, vk::Left},
    {Up, vk::Up}, {Right, vk::Right}, {Down, vk::Down},
    {Select, 41}, {Printer, 42}, {Execute, 43},
    {Print, 44}, {SysReq, 44}, {Insert, vk::Insert},
    {Delete, vk::Delete}, {Help, 47}, {Meta, 91},
    {SuperL, 91}, {SuperR, 92}, {Menu, 93},
    {Sleep, 95}, {NumLock, 144}, {ScrollLock, 145},
    {Back, 166}, {Forward, 167}, {Refresh, 168},
    {Stop, 169}, {Search, 170}, {Favorites, 171},
    {HomePage, 172}, {VolumeMute, 173}, {VolumeDown, 174},
    {VolumeUp, 175}, {MediaNext, 176}, {MediaPrevious, 177},
    {MediaStop, 178}, {MediaPlay, 179}, {MediaTogglePlayPause, 179},
    {LaunchMail, 180}, {LaunchMedia, 181}, {Launch0, 182},
    {Launch1, 183}, {Cancel, 3}, {Play, 250},
    {Zoom, 251},
};
// clang-format on

// Printable ASCII keys that are not letters or digits, with the code of the US-layout key
// that types them. Shifted digit-row symbols give the digit's code.
int punctuationCode(int key)
{
    switch (key) {
    case ' ':
        return vk::Space;
    case ')':
        return '0';
    case '!':
        return '1';
    case '@':
        return '2';
    case '#':
        return '3';
    case '$':
        return '4';
    case '%':
        return '5';
    case '^':
        return '6';
    case '&':
        return '7';
    case '*':
        return '8';
    case '(':
        return '9';
    case ';':
    case ':':
        return 186;
    case '=':
    case '+':
        return 187;
    case ',':
    case '<':
        return 188;
    case '-':
    case '_':
        return 189;
    case '.':
    case '>':
        return 190;
    case '/':
    case '?':
        return 191;
    case '`':
    case '~':
        return 192;
    case '[':
    case '{':
        return 219;
    case '\\':
    case '|':
        return 220;
    case ']':
    case '}':
        return 221;
    case '\'':
    case '"':
        return 222;
    default:
        return 0;
    }
}

int keypadCode(int key)
{
    if (key >= '0' && key <= '9')
        return 96 + (key - '0');
    switch (key) {
    case '*':
        return 106;
    case '+':
        return 107;
    case '-':
        return 109;
    case '.':
    case ',':
        return 110;
    case '/':
        return 111;
    default:
        return 0;
    }
}

} // namespace

int virtualKeyCode(int qtKey, bool keypad)
{
    if (keypad) {
        if (const int code = keypadCode(qtKey); code != 0)
            return code;
    }
    if (qtKey >= 'A' && qtKey <= 'Z')
        return qtKey;
    if (qtKey >= 'a' && qtKey <= 'z')
        return qtKey - 'a' + 'A';
    if (qtKey >= '0' && qtKey <= '9')
        return qtKey;
    if (qtKey >= 0x20 && qtKey < 0x7f)
        return punctuationCode(qtKey);
    if (qtKey >= F1 && qtKey <= F24)
        return vk::F1 + (qtKey - F1);
    const auto* found = std::find_if(std::begin(kSpecialKeys), std::end(kSpecialKeys),
                                     [qtKey](const auto& entry) { return entry.first == qtKey; });
    return found != std::end(kSpecialKeys) ? found->second : 0;
}

} // namespace scrivlet
