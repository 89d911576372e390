// Saving and loading the project settings file of a full indoor-unit project (160 devices):
// the batch save against writing the same keys one profile write at a time.
#include "app/AppContext.h"
#include "app/IniFile.h"
#include "RecordingPrompter.h"
#include "model/ProjectSettings.h"

#include <QCoreApplication>
#include "BenchSupport.h"
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

using namespace tarveon;
using tarveon::bench::medianMs;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    RecordingPrompter prompter;
    AppContext ctx(dir.path(), QStringLiteral("tarveon-config"), &prompter);
    ctx.InitProtocols();
    ctx.ProjectDir = dir.path();

    ProjectSettings s;
    for (int n = 1; n <= 160; ++n)
        s.devices.append({QString::number(n / 64), QString::number(n % 64), QStringLiteral("Room %1").arg(n), n % 2 == 0});

    const QString path = dir.filePath(QStringLiteral("ZTR001-PACKAGED.ini"));
    QTextStream out(stdout);
    const double fresh = medianMs(20, [&] {
        QFile::remove(path);
        s.save(ctx, 70);
    });
    const double over = medianMs(20, [&] { s.save(ctx, 70); });
    const double load = medianMs(20, [&] { ProjectSettings::load(ctx, 70); });
    const double memory = medianMs(20, [&] {
        IniDocument doc;
        s.toIni(doc, QStringLiteral("ZTR001-PACKAGED"), QStringLiteral("EIB"), 70);
        doc.toBytes();
    });

    // The same keys, one IniFile::write each (what the profile functions do).
    IniDocument keys;
    s.toIni(keys, QStringLiteral("ZTR001-PACKAGED"), QStringLiteral("EIB"), 70);
    const QByteArray bytes = keys.toBytes();
    QList<QPair<QString, QPair<QString, QString>>> writes;
    QString section;
    for (const QByteArray &line : bytes.split('\n')) {
        const QString l = QString::fromLatin1(line).trimmed();
        if (l.startsWith(QLatin1Char('[')))
            section = l.mid(1, l.size() - 2);
        else if (l.contains(QLatin1Char('=')))
            writes.append({section, {l.section(QLatin1Char('='), 0, 0), l.section(QLatin1Char('='), 1)}});
    }
    const double perKey = medianMs(1, [&] {
        QFile::remove(path);
        IniFile file(path);
        for (const auto &w : writes)
            file.write(w.first, w.second.first, w.second.second);
    });

    out << "project settings, 160 indoor units (" << writes.size() << " keys, " << bytes.size() << " bytes)\n";
    out << "  save, new file:        " << QString::number(fresh, 'f', 2) << " ms (median of 20)\n";
    out << "  save, over the file:   " << QString::number(over, 'f', 2) << " ms (median of 20)\n";
    out << "  load:                  " << QString::number(load, 'f', 2) << " ms (median of 20)\n";
    out << "  in memory, no file:    " << QString::number(memory, 'f', 2) << " ms (median of 20)\n";
    out << "  one write per key:     " << QString::number(perKey, 'f', 1) << " ms (once)\n";
    return 0;
}
