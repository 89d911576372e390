// Writes the program's icon as PNG files for the desktop's icon theme, from the same drawing the
// windows use: render_icon OUTDIR SIZE... writes OUTDIR/SIZExSIZE/apps/tarveon-config.png.
#include "app/ui/AppIcon.h"

#include <QDir>
#include <QImage>
#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: render_icon OUTDIR SIZE...\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    for (int i = 2; i < argc; ++i) {
        const int size = std::atoi(argv[i]);
        if (size < 8 || size > 1024) {
            std::fprintf(stderr, "render_icon: bad size %s\n", argv[i]);
            return 2;
        }
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
        if (!QDir().mkpath(dir) ||
            !tarveon::appIconImage(size).save(dir + QStringLiteral("/tarveon-config.png"), "PNG")) {
            std::fprintf(stderr, "render_icon: cannot write %s\n", qPrintable(dir));
            return 1;
        }
    }
    return 0;
}
