#include "app/ui/AppIcon.h"

#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace tarveon {

namespace {

const QColor kBrandDark(0x0b, 0x4f, 0x8a);
const QColor kBrandLight(0x2f, 0x8f, 0xd8);
const QColor kAccent(0x35, 0xb5, 0x5a);

} // namespace

QImage appIconImage(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0.5, 0.5, size - 1.0, size - 1.0);
    QLinearGradient g(r.topLeft(), r.bottomRight());
    g.setColorAt(0, kBrandLight);
    g.setColorAt(1, kBrandDark);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, size * 0.18, size * 0.18);
    // A "T" over a small bus line: the gateway between two worlds.
    p.setBrush(Qt::white);
    const qreal u = size / 16.0;
    p.drawRect(QRectF(3 * u, 3 * u, 10 * u, 2.4 * u));
    p.drawRect(QRectF(6.8 * u, 3 * u, 2.4 * u, 8 * u));
    p.setBrush(kAccent);
    p.drawRoundedRect(QRectF(3 * u, 12 * u, 10 * u, 1.6 * u), 0.8 * u, 0.8 * u);
    p.end();
    return img;
}

namespace {

QPixmap iconPixmap(int size)
{
    return QPixmap::fromImage(appIconImage(size));
}

} // namespace

QIcon appIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128})
        icon.addPixmap(iconPixmap(size));
    return icon;
}

QPixmap makerLogo(int height)
{
    QFont font(QStringLiteral("Sans Serif"));
    font.setBold(true);
    font.setPixelSize(qMax(8, int(height * 0.62)));
    const QString name = QStringLiteral("TARVEON");
    const QFontMetrics fm(font);
    const int textWidth = fm.horizontalAdvance(name);
    QPixmap pm(height + 6 + textWidth + 2, height);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.drawPixmap(0, 0, iconPixmap(height));
    p.setFont(font);
    p.setPen(kBrandDark);
    p.drawText(QRect(height + 6, 0, textWidth + 2, height), Qt::AlignVCenter | Qt::AlignLeft, name);
    return pm;
}

} // namespace tarveon
