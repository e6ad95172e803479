#pragma once

class QWidget;

namespace scrivlet {

// Places the main window as it was when it last closed, or at two thirds of the screen, centred.
void loadposition(QWidget& window);
// Records where the main window is and how large it is.
void saveposition(const QWidget& window);

} // namespace scrivlet
