#pragma once
#include <QIcon>
#include <QPixmap>

namespace tarveon {

// The program's icon (window frames, about box), drawn so that no image file has to ship.
QIcon appIcon();

// The maker's logo for the tool strip, height in pixels.
QPixmap makerLogo(int height);

} // namespace tarveon
