#pragma once

#include <QIcon>
#include <QPixmap>

namespace scrivlet {

// The program's icon, shared by the main window and the About box: a calculator key carrying
// the RPL program delimiters, in sizes from 16 to 256 pixels.
QIcon applicationIcon();

// The About box's picture of a calculator, 65 x 103 pixels.
QPixmap calculatorPicture();

} // namespace scrivlet
