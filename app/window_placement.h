#pragma once

class QWidget;

namespace scrivlet {

// Places the main window as it was when it last closed: its outer rectangle (frame included)
// from the placement file, or two thirds of the screen, centred, when the file is missing or
// unreadable. Where the desktop does not let a program place its own windows (Wayland) only
// the size is restored.
void loadposition(QWidget& window);

// Records the main window's outer rectangle in the placement file. When the file cannot be
// written the window still closes; the reason goes to standard error.
void saveposition(const QWidget& window);

// False where the desktop places every window itself (Wayland).
bool windowsCanBePlaced();

} // namespace scrivlet
