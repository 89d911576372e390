// The monitors' log files where writing fails: a directory the process may not write into and a
// disk that fills up while logging. Lines keep reaching the list, no message interrupts the
// traffic, and what an earlier session logged stays whole at the start of the file.
#include "FaultSupport.h"
#include "TestSupport.h"
#include "tools/Monitor.h"

#include <QtTest>

using namespace tarveon;
using namespace tarveon::test;

Q_DECLARE_METATYPE(tarveon::MonitorKind)

namespace {

// A line as the link hands it to a monitor of this kind, and the gateway monitor's mark.
QString trafficLine(MonitorKind kind, int n)
{
    switch (kind) {
    case MonitorKind::Eib: return QStringLiteral("EIB>1.1.%1 0/0/001 W 80").arg(n);
    case MonitorKind::External: return QStringLiteral("EXT<01 03 00 %1 00 02").arg(n);
    case MonitorKind::Gateway: break;
    }
    return QStringLiteral("GP:01/2/003=%1").arg(n);
}

// A monitor of this kind, loaded, for an open project "Alpha" of its own program directory.
struct Project {
    explicit Project(MonitorKind kind) : core((prepare(), *t.ctx), kind, nullptr) { core.Load(); }
    void prepare()
    {
        t.ctx->ProjectDir = projects + QStringLiteral("/Alpha");
        t.ctx->ProjectProtocol = QStringLiteral("ZTR001-PACKAGED");
        QDir().mkpath(t.ctx->ProjectDir);
    }
    TestContext t;
    const QString projects = t.dir.filePath(QStringLiteral("ProjectsZDM"));
    MonitorCore core;
};

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestLogFaults : public QObject {
    Q_OBJECT
private:
    static void kinds()
    {
        QTest::addColumn<MonitorKind>("kind");
        QTest::newRow("eib") << MonitorKind::Eib;
        QTest::newRow("ext") << MonitorKind::External;
        QTest::newRow("gateway") << MonitorKind::Gateway;
    }

private slots:
    void readOnlyProjectDirectory_data() { kinds(); }
    void readOnlyProjectDirectory()
    {
        QFETCH(MonitorKind, kind);
        Project p(kind);
        TestContext &t = p.t;
        MonitorCore &core = p.core;
        const QString logName = core.LogFileName();
        {
            ReadOnlyDirectory readOnly(t.ctx->ProjectDir, {t.dir.path(), p.projects});
            if (!readOnly.active())
                QSKIP("the directory could not be made read-only for this process");
            // The bus monitors keep chkLog checked, the gateway monitor gives it up.
            QCOMPARE(core.StartLog(), kind != MonitorKind::Gateway);
            QVERIFY(!core.logging());
            for (int i = 0; i < 20; ++i)
                core.VerTramas(trafficLine(kind, i), kMarkReceived);
            core.StopLog();
        }
        QCOMPARE(core.lines().count(), 20); // no markers: nothing was logged
        QVERIFY(!QFile::exists(logName));
        QCOMPARE(t.prompter.records.size(), 0);
    }

    void diskFillsWhileLogging_data() { kinds(); }
    void diskFillsWhileLogging()
    {
        QFETCH(MonitorKind, kind);
        Project p(kind);
        TestContext &t = p.t;
        MonitorCore &core = p.core;
        // What an earlier session logged.
        const QByteArray earlier = "2024/03/05 14:07:09 earlier line\r\n";
        {
            QFile f(core.LogFileName());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(earlier);
        }
        const int lines = 400;
        {
            FileSizeLimit full(4096); // the disk fills part way through the session
            if (!full.active())
                QSKIP("no file size limit could be set");
            QVERIFY(core.StartLog());
            QVERIFY(core.logging());
            for (int i = 0; i < lines; ++i)
                core.VerTramas(trafficLine(kind, i), kMarkReceived);
            core.StopLog();
        }
        QVERIFY(!core.logging());
        // Start marker, every line, stop marker: the list has them all.
        QCOMPARE(core.lines().count(), lines + 2);
        const QByteArray log = fileBytes(core.LogFileName());
        QVERIFY(log.startsWith(earlier));
        QVERIFY(log.size() <= 4096);
        QVERIFY(log.size() > earlier.size()); // the lines that fitted went in
        QCOMPARE(t.prompter.records.size(), 0);

        // Room again: the next session logs in full after what is there.
        const qsizetype before = log.size();
        QVERIFY(core.StartLog());
        core.VerTramas(trafficLine(kind, 1), kMarkReceived);
        core.StopLog();
        const QByteArray after = fileBytes(core.LogFileName());
        QVERIFY(after.startsWith(log));
        QVERIFY(after.size() > before);
        QVERIFY(after.endsWith("\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestLogFaults)
#include "tst_logfaults.moc"
