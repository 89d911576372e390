#pragma once
#include <QList>
#include <QRect>

namespace tarveon {

// Window measures are kept in twips (1/1440 inch); at 96 dots per inch 15 twips make a pixel.
constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    // Rounded to the nearest pixel, halves away from zero.
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr int pixelsToTwips(int pixels)
{
    return pixels * kTwipsPerPixel;
}

// Side-by-side tiling: count windows in columns of equal width (the last one takes what the
// division leaves), each the full height of area.
inline QList<QRect> TileSideBySide(const QRect &area, int count)
{
    QList<QRect> out;
    if (count <= 0)
        return out;
    const int width = area.width() / count;
    for (int i = 0; i < count; ++i) {
        const int left = area.left() + i * width;
        const int w = i == count - 1 ? area.right() + 1 - left : width;
        out << QRect(left, area.top(), w, area.height());
    }
    return out;
}

} // namespace tarveon
