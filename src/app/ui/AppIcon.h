#pragma once
#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace tarveon {

// The program's icon (window frames, about box), drawn so that no image file has to ship.
QIcon appIcon();
// The same drawing as an image of size x size pixels; needs no application object (the build
// renders the installed icon files with it).
QImage appIconImage(int size);

// The maker's logo for the tool strip, height in pixels.
QPixmap makerLogo(int height);

} // namespace tarveon
