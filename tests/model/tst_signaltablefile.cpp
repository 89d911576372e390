#include "TestSupport.h"
#include "model/SignalTableFile.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using namespace tarveon;

namespace {

const QByteArray kHeader = "PROTOCOLO=70-ZTR001-PACKAGED\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n"
                           "\tUnit\tC\xF3" "digo\tD\tEIS\tG\tO\tR\tW\tT\tU\tS\t\r\n";

SignalRow makeRow(const QStringList &cells)
{
    SignalRow row;
    for (int c = 0; c < 12 && c < cells.size(); ++c)
        row[c] = cells[c];
    return row;
}

SignalTable smallTable()
{
    SignalTable t;
    t.rows << makeRow({"", "Unit", QString::fromUtf8("Código"), "D", "EIS", "G", "O", "R", "W", "T", "U", "S"});
    t.rows << makeRow({"1", "1", "100-Status", "  Controller: On/Off. (R)  ", "01 - Switching (1 bit)", " 1/0/1 ", "",
                       "R", "", "T", "", "Yes"});
    t.rows << makeRow({"2", "1", "101-Not Exist", QString::fromUtf8("Temp ºC\tx"), "05 - Float (16 bit)", "",
                       "1/0/2, 1/0/3", "", " W ", "", "U2", "No"});
    return t;
}

// Messages shown, leaving out the notices about keys the language file may still lack.
QList<RecordingPrompter::Record> shown(const RecordingPrompter &p)
{
    QList<RecordingPrompter::Record> out;
    for (const auto &r : p.records) {
        if (!r.text.startsWith(QStringLiteral("No text found for Key: ")))
            out << r;
    }
    return out;
}

} // namespace

class TestSignalTableFile : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestContext> tc;
    AppContext &ctx() { return *tc->ctx; }
    QString projectFile(const QString &name) const { return QDir(tc->ctx->ProjectDir).filePath(name); }
    void writeProjectFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(projectFile(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray readProjectFile(const QString &name) const
    {
        QFile f(projectFile(name));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }
    QString tablePath(const QString &name) const { return QDir::toNativeSeparators(projectFile(name)); }

private slots:
    void init()
    {
        tc = std::make_unique<test::TestContext>();
        ctx().ProjectDir = tc->dir.filePath(QStringLiteral("ProjectsZDM/P1"));
        QDir().mkpath(ctx().ProjectDir);
        ctx().ProjectProtocol = QStringLiteral("ZTR001-PACKAGED");
    }
    void cleanup() { tc.reset(); }

    void writesBytesByLayout()
    {
        QVERIFY(WriteSignalTable(ctx(), 70, QStringLiteral("1.0"), smallTable()));
        QVERIFY(shown(tc->prompter).isEmpty());
        const QByteArray expected = kHeader +
            "1\t1\t100-Status\tController: On/Off. (R)\t01 - Switching (1 bit)\t1/0/1\t\tR\t\tT\t\tYes\t\r\n"
            "2\t1\t101-Not Exist\tTemp \xBA" "C x\t05 - Float (16 bit)\t\t1/0/2, 1/0/3\t\tW\t\tU2\tNo\t\r\n";
        QCOMPARE(readProjectFile(QStringLiteral("ZTR001-PACKAGED.dat")), expected);
    }

    void writesChillerHeaderAndEmptyRows()
    {
        SignalTable t;
        t.rows << SignalRow{} << SignalRow{};
        QVERIFY(WriteSignalTable(ctx(), 71, QStringLiteral("1.0"), t));
        QCOMPARE(readProjectFile(QStringLiteral("ZTR001-CHILLER.dat")),
                 QByteArray("PROTOCOLO=71-ZTR001-CHILLER\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n"
                            "\t\t\t\t\t\t\t\t\t\t\t\t\r\n\t\t\t\t\t\t\t\t\t\t\t\t\r\n"));
    }

    void writeReplacesFileOfAnyCase()
    {
        writeProjectFile(QStringLiteral("ZTR001-PACKAGED.DAT"), "old");
        QVERIFY(WriteSignalTable(ctx(), 70, QStringLiteral("1.0"), smallTable()));
        const QStringList files = QDir(ctx().ProjectDir).entryList(QDir::Files);
        QCOMPARE(files, QStringList{QStringLiteral("ZTR001-PACKAGED.DAT")});
        QVERIFY(readProjectFile(QStringLiteral("ZTR001-PACKAGED.DAT")).startsWith(kHeader));
    }

    void writeWithoutDirectoryShowsX68()
    {
        ctx().ProjectDir = tc->dir.filePath(QStringLiteral("ProjectsZDM/missing"));
        const QString expectedStart = ctx().GetText("X68") + "\r" + tablePath("ZTR001-PACKAGED.dat") + "\rError: \r";
        tc->prompter.clear();
        QVERIFY(!WriteSignalTable(ctx(), 70, QStringLiteral("1.0"), smallTable()));
        const auto msgs = shown(tc->prompter);
        QCOMPARE(msgs.size(), 1);
        QCOMPARE(msgs[0].kind, RecordingPrompter::Record::MsgBox);
        QVERIFY2(msgs[0].text.startsWith(expectedStart), qPrintable(msgs[0].text));
        QVERIFY(msgs[0].text.size() > expectedStart.size()); // the system's description follows
        QCOMPARE(msgs[0].title, kAppTitle);
        QVERIFY(!QFileInfo::exists(ctx().ProjectDir));
    }

    void failedWriteKeepsOldFileAndShowsX40()
    {
        // A file size limit makes the write fail after the file was opened.
        const QByteArray old = "PROTOCOLO=70-ZTR001-PACKAGED\r\nold table\r\n";
        writeProjectFile(QStringLiteral("ZTR001-PACKAGED.dat"), old);
        SignalTable big = smallTable();
        for (int i = 0; i < 2000; ++i)
            big.rows << smallTable().rows[1];
        const QString expectedStart = ctx().GetText("X40") + "\r" + tablePath("ZTR001-PACKAGED.dat") + "\rError: \r";
        tc->prompter.clear();

        struct rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = saved;
        limited.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        const bool ok = WriteSignalTable(ctx(), 70, QStringLiteral("1.0"), big);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY(!ok);
        const auto msgs = shown(tc->prompter);
        QCOMPARE(msgs.size(), 1);
        QVERIFY2(msgs[0].text.startsWith(expectedStart), qPrintable(msgs[0].text));
        QCOMPARE(readProjectFile(QStringLiteral("ZTR001-PACKAGED.dat")), old);
        QCOMPARE(QDir(ctx().ProjectDir).entryList(QDir::Files), QStringList{QStringLiteral("ZTR001-PACKAGED.dat")});
    }

    void roundTripKeepsTrimmedCells()
    {
        const SignalTable t = smallTable();
        QVERIFY(WriteSignalTable(ctx(), 70, QStringLiteral("1.0"), t));
        StoredSignalTable stored;
        QVERIFY(ReadSignalTable(ctx(), 70, QStringLiteral("1.0"), stored));
        QVERIFY(shown(tc->prompter).isEmpty());
        QCOMPARE(stored.fieldCount, 12);
        QCOMPARE(stored.rowCount(), t.rowCount() - 1);
        for (int r = 1; r < t.rowCount(); ++r) {
            for (int f = 1; f < 12; ++f) {
                QString expected = t.cell(r, f).trimmed();
                expected.replace(u'\t', u' ');
                QCOMPARE(stored.field(r, f), expected);
            }
            QCOMPARE(stored.field(r, 0), QString()); // the running number is not kept
        }
        QCOMPARE(stored.field(2, 3), QString::fromUtf8("Temp ºC x"));
    }

    void readsFileOfAnyCase_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("lower") << "ZTR001-PACKAGED.dat";
        QTest::newRow("upper") << "ZTR001-PACKAGED.DAT";
        QTest::newRow("mixed") << "ZTR001-PACKAGED.Dat";
    }
    void readsFileOfAnyCase()
    {
        QFETCH(QString, name);
        writeProjectFile(name, kHeader + "1\t1\t100\r\n");
        StoredSignalTable stored;
        QVERIFY(ReadSignalTable(ctx(), 70, QStringLiteral("1.0"), stored));
        QCOMPARE(stored.field(1, 2), QStringLiteral("100"));
    }

    void missingFileShowsX67()
    {
        const QString expected = ctx().GetText("X67") + "\r" + tablePath("ZTR001-PACKAGED.DAT") + "\r" +
                                 ctx().GetText("X24") + "ZTR001-PACKAGED" + ctx().GetText("X74");
        tc->prompter.clear();
        StoredSignalTable stored;
        QVERIFY(!ReadSignalTable(ctx(), 70, QStringLiteral("1.0"), stored));
        const auto msgs = shown(tc->prompter);
        QCOMPARE(msgs.size(), 1);
        QCOMPARE(msgs[0].kind, RecordingPrompter::Record::PlatformBox);
        QCOMPARE(msgs[0].icon, int(BoxKind::Exclamation));
        QCOMPARE(msgs[0].title, kAppTitle);
        QCOMPARE(msgs[0].text, expected);
    }

    void unreadableFileShowsX30()
    {
        QDir(ctx().ProjectDir).mkdir(QStringLiteral("ZTR001-PACKAGED.DAT"));
        const QString expectedStart = ctx().GetText("X30") + "\r" + tablePath("ZTR001-PACKAGED.DAT") + "\rError: \r";
        tc->prompter.clear();
        StoredSignalTable stored;
        QVERIFY(!ReadSignalTable(ctx(), 70, QStringLiteral("1.0"), stored));
        const auto msgs = shown(tc->prompter);
        QCOMPARE(msgs.size(), 1);
        QCOMPARE(msgs[0].icon, int(BoxKind::Critical));
        QVERIFY2(msgs[0].text.startsWith(expectedStart), qPrintable(msgs[0].text));
        QVERIFY(msgs[0].text.size() > expectedStart.size());
    }

    void headerChecks_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("key");      // empty: read succeeds
        QTest::addColumn<QString>("lineRead");
        const QByteArray v = "VERSION=ZDM.1.0\r\n";
        const QByteArray c = "CAMPOS=12\r\n";
        QTest::newRow("good") << 70 << ("PROTOCOLO=70-ZTR001-PACKAGED\r\n" + v + c) << "" << "";
        QTest::newRow("protocol anywhere in line 1")
            << 70 << ("xx 70-ZTR001-PACKAGED yy\r\n" + v + c) << "" << "";
        QTest::newRow("chiller file as units")
            << 70 << ("PROTOCOLO=71-ZTR001-CHILLER\r\n" + v + c) << "X28" << "PROTOCOLO=71-ZTR001-CHILLER";
        QTest::newRow("units file as chillers")
            << 71 << ("PROTOCOLO=70-ZTR001-PACKAGED\r\n" + v + c) << "X28" << "PROTOCOLO=70-ZTR001-PACKAGED";
        QTest::newRow("name must be upper case")
            << 70 << ("PROTOCOLO=70-ztr001-packaged\r\n" + v + c) << "X28" << "PROTOCOLO=70-ztr001-packaged";
        QTest::newRow("empty file") << 70 << QByteArray() << "X28" << "";
        QTest::newRow("version 2.0")
            << 70 << ("PROTOCOLO=70-ZTR001-PACKAGED\r\nVERSION=ZDM.2.0\r\n" + c) << "X45" << "VERSION=ZDM.2.0";
        QTest::newRow("version line missing")
            << 70 << QByteArray("PROTOCOLO=70-ZTR001-PACKAGED\r\n") << "X45" << "";
        QTest::newRow("campos missing")
            << 70 << ("PROTOCOLO=70-ZTR001-PACKAGED\r\n" + v + "FIELDS=12\r\n") << "X45" << "FIELDS=12";
        QTest::newRow("campos line missing")
            << 70 << ("PROTOCOLO=70-ZTR001-PACKAGED\r\n" + v) << "X45" << "";
        QTest::newRow("lines swapped")
            << 70 << ("PROTOCOLO=70-ZTR001-PACKAGED\r\n" + c + v) << "X45" << "CAMPOS=12";
        QTest::newRow("LF-only lines") << 70 << QByteArray("PROTOCOLO=70-ZTR001-PACKAGED\nVERSION=ZDM.1.0\nCAMPOS=12\n")
                                       << "" << "";
    }
    void headerChecks()
    {
        QFETCH(int, protocol);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, key);
        QFETCH(QString, lineRead);
        const QString name = ctx().ProtocolNames[protocol];
        writeProjectFile(name + ".dat", bytes);
        QString expected;
        if (key == "X28")
            expected = ctx().GetText("X28") + name + ctx().GetText("X61");
        else if (key == "X45")
            expected = ctx().GetText("X45") + name + ctx().GetText("X60");
        if (!key.isEmpty())
            expected += "\r" + tablePath(name + ".dat") + "\r" + lineRead;
        tc->prompter.clear();

        StoredSignalTable stored;
        const bool ok = ReadSignalTable(ctx(), qint16(protocol), QStringLiteral("1.0"), stored);
        const auto msgs = shown(tc->prompter);
        QCOMPARE(ok, key.isEmpty());
        if (ok) {
            QVERIFY(msgs.isEmpty());
            QCOMPARE(stored.rowCount(), 0);
            QCOMPARE(stored.fieldCount, 12);
        } else {
            QCOMPARE(msgs.size(), 1);
            QCOMPARE(msgs[0].kind, RecordingPrompter::Record::PlatformBox);
            QCOMPARE(msgs[0].icon, int(BoxKind::Critical));
            QCOMPARE(msgs[0].title, kAppTitle);
            QCOMPARE(msgs[0].text, expected);
            QCOMPARE(stored.rowCount(), 0);
        }
    }

    void versionFromCaller()
    {
        // The version asked for is the one checked: a 2.0 reader takes 2.0 and refuses 1.0.
        StoredSignalTable stored;
        QCOMPARE(ParseSignalTable("70-ZTR001-PACKAGED\r\nVERSION=ZDM.2.0\r\nCAMPOS=3\r\n", 70, "ZTR001-PACKAGED",
                                  "2.0", stored).fault, SignalTableFault::None);
        QCOMPARE(ParseSignalTable("70-ZTR001-PACKAGED\r\nVERSION=ZDM.1.0\r\nCAMPOS=3\r\n", 70, "ZTR001-PACKAGED",
                                  "2.0", stored).fault, SignalTableFault::Version);
    }

    void dataLines_data()
    {
        QTest::addColumn<QByteArray>("campos");
        QTest::addColumn<QByteArray>("body");   // the lines after the titles
        QTest::addColumn<int>("fieldCount");
        QTest::addColumn<QList<QStringList>>("rows"); // fields 1.. of each row (missing = empty)
        QTest::newRow("complete line") << QByteArray("CAMPOS=12") << QByteArray("1\ta\tb\tc\td\te\tf\tg\th\ti\tj\tk\t\r\n")
                                       << 12 << QList<QStringList>{{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k"}};
        QTest::newRow("last field without TAB") << QByteArray("CAMPOS=12") << QByteArray("1\ta\tb\r\n") << 12
                                                << QList<QStringList>{{"a", "b"}};
        QTest::newRow("more TABs than columns")
            << QByteArray("CAMPOS=3") << QByteArray("1\ta\tb\tc\td\t\r\n") << 3 << QList<QStringList>{{"a", "b", "", ""}};
        QTest::newRow("missing fields empty") << QByteArray("CAMPOS=12") << QByteArray("7\r\n") << 12
                                              << QList<QStringList>{{"", "", ""}};
        QTest::newRow("empty line is a row") << QByteArray("CAMPOS=12") << QByteArray("1\ta\t\r\n\r\n2\tb\t\r\n") << 12
                                             << QList<QStringList>{{"a"}, {}, {"b"}};
        QTest::newRow("blank line at end") << QByteArray("CAMPOS=12") << QByteArray("1\ta\t\r\n\r\n") << 12
                                           << QList<QStringList>{{"a"}, {}};
        QTest::newRow("no line end at end") << QByteArray("CAMPOS=12") << QByteArray("1\ta\t\r\n2\tb") << 12
                                            << QList<QStringList>{{"a"}, {"b"}};
        QTest::newRow("LF-only lines") << QByteArray("CAMPOS=12") << QByteArray("1\ta\t\n2\tb\t\n") << 12
                                       << QList<QStringList>{{"a"}, {"b"}};
        QTest::newRow("CR-only lines") << QByteArray("CAMPOS=12") << QByteArray("1\ta\t\r2\tb\t\r") << 12
                                       << QList<QStringList>{{"a"}, {"b"}};
        QTest::newRow("cells keep their blanks")
            << QByteArray("CAMPOS=12") << QByteArray("1\t a \t\r\n") << 12 << QList<QStringList>{{" a "}};
        QTest::newRow("bytes above 127") << QByteArray("CAMPOS=12") << QByteArray("1\tC\xF3" "digo\t\x80\t\xBA" "C\t\x81\xFF\t\r\n")
                                         << 12 << QList<QStringList>{{QString::fromUtf8("Código"), QString::fromUtf8("€"),
                                                                      QString::fromUtf8("ºC"), QString(QChar(0x81)) + QChar(0xFF)}};
        QTest::newRow("campos blank after =") << QByteArray("CAMPOS= 4") << QByteArray("1\ta\tb\tc\td\r\n") << 4
                                              << QList<QStringList>{{"a", "b", "c", ""}};
        QTest::newRow("campos zero") << QByteArray("CAMPOS=0") << QByteArray("1\ta\tb\r\n") << 0
                                     << QList<QStringList>{{"", ""}};
        QTest::newRow("campos negative") << QByteArray("CAMPOS=-5") << QByteArray("1\ta\tb\r\n2\r\n") << -5
                                         << QList<QStringList>{{"", ""}, {}};
        QTest::newRow("campos not a number") << QByteArray("CAMPOS=x") << QByteArray("1\ta\r\n") << 0
                                             << QList<QStringList>{{""}};
        QTest::newRow("campos not at line start") << QByteArray(" CAMPOS=12") << QByteArray("1\ta\r\n") << 0
                                                  << QList<QStringList>{{""}};
        QTest::newRow("campos huge") << QByteArray("CAMPOS=99999999999999999999") << QByteArray("1\ta\tb\r\n")
                                     << std::numeric_limits<int>::max() << QList<QStringList>{{"a", "b", ""}};
    }
    void dataLines()
    {
        QFETCH(QByteArray, campos);
        QFETCH(QByteArray, body);
        QFETCH(int, fieldCount);
        QFETCH(QList<QStringList>, rows);
        writeProjectFile("ZTR001-PACKAGED.dat",
                         "PROTOCOLO=70-ZTR001-PACKAGED\r\nVERSION=ZDM.1.0\r\n" + campos + "\r\nTitles\r\n" + body);
        StoredSignalTable stored;
        QVERIFY(ReadSignalTable(ctx(), 70, QStringLiteral("1.0"), stored));
        QVERIFY(shown(tc->prompter).isEmpty());
        QCOMPARE(stored.fieldCount, fieldCount);
        QCOMPARE(stored.rowCount(), rows.size());
        for (int r = 1; r <= rows.size(); ++r) {
            const QStringList &fields = rows[r - 1];
            for (int f = 1; f <= fields.size(); ++f)
                QCOMPARE(stored.field(r, f), fields[f - 1]);
            QCOMPARE(stored.field(r, 0), QString());
            QCOMPARE(stored.field(r, 500), QString());
        }
        QCOMPARE(stored.field(0, 1), QString());
        QCOMPARE(stored.field(rows.size() + 1, 1), QString());
    }

    void tenThousandFieldsKeepOnlyTheTable()
    {
        QByteArray line = "1";
        for (int i = 1; i < 10000; ++i)
            line += "\tf" + QByteArray::number(i);
        writeProjectFile("ZTR001-PACKAGED.dat", kHeader + line + "\r\n" + line + "\r\n");
        StoredSignalTable stored;
        QVERIFY(ReadSignalTable(ctx(), 70, QStringLiteral("1.0"), stored));
        QCOMPARE(stored.rowCount(), 2);
        QCOMPARE(stored.field(2, 11), QStringLiteral("f11"));
        QCOMPARE(stored.field(2, 12), QString());
        QCOMPARE(stored.heldFields(1), 11);
    }

    void rereadStartsAfresh()
    {
        writeProjectFile("ZTR001-PACKAGED.dat", kHeader + "1\ta\r\n2\tb\r\n");
        StoredSignalTable stored;
        QVERIFY(ReadSignalTable(ctx(), 70, QStringLiteral("1.0"), stored));
        QVERIFY(ReadSignalTable(ctx(), 70, QStringLiteral("1.0"), stored));
        QCOMPARE(stored.rowCount(), 2);
    }

    // ---- laying the stored rows on a built table ----

    void applyStoredRows_data()
    {
        QTest::addColumn<QByteArray>("campos");
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("applied");
        QTest::addColumn<bool>("x13");
        QTest::addColumn<QStringList>("cells5to11"); // of row 2 (key 1-5) afterwards; "X9"/"X10" stand for their texts
        const QStringList fresh{"", "", "R", "W", "T", "", "X9"};
        QTest::newRow("applied")
            << QByteArray("CAMPOS=12") << QByteArray("9\t1\t05 - Central\tdesc\tEIS\t 1/0/1 \t1/0/2\t R \t\tT\t U \t1\t") << 1
            << false << QStringList{" 1/0/1 ", "1/0/2", "R", "", "T", "U", "X10"};
        QTest::newRow("yes/no 0") << QByteArray("CAMPOS=12") << QByteArray("9\t1\t5\t\t\t1/0/1\t\t\t\t\t\t0") << 1 << false
                                  << QStringList{"1/0/1", "", "", "", "", "", "X9"};
        QTest::newRow("yes/no text reads 0") << QByteArray("CAMPOS=12") << QByteArray("9\t1\t5\t\t\t\t\t\t\t\t\tNo") << 1
                                             << false << QStringList{"", "", "", "", "", "", "X9"};
        QTest::newRow("yes/no 2") << QByteArray("CAMPOS=12") << QByteArray("9\t1\t5\t\t\t1/0/1\t\t\t\t\t\t2") << 0 << true
                                  << fresh;
        QTest::newRow("yes/no 0.5") << QByteArray("CAMPOS=12") << QByteArray("9\t1\t5\t\t\t1/0/1\t\t\t\t\t\t0.5") << 0
                                    << true << fresh;
        QTest::newRow("fewer fields than columns")
            << QByteArray("CAMPOS=11") << QByteArray("9\t1\t5\t\t\t1/0/1\t\t\t\t\t\t1") << 0 << true << fresh;
        QTest::newRow("device beyond the table") << QByteArray("CAMPOS=12")
                                                 << QByteArray("9\t7\t5\t\t\t1/0/1\t\t\t\t\t\t1") << 0 << false << fresh;
        QTest::newRow("code not in the table") << QByteArray("CAMPOS=12")
                                               << QByteArray("9\t1\t99\t\t\t1/0/1\t\t\t\t\t\t7") << 0 << false << fresh;
        QTest::newRow("fractional code") << QByteArray("CAMPOS=12") << QByteArray("9\t1\t5.5\t\t\t1/0/1\t\t\t\t\t\t1") << 0
                                         << false << fresh;
        QTest::newRow("empty line") << QByteArray("CAMPOS=12") << QByteArray("") << 0 << false << fresh;
    }
    void applyStoredRows()
    {
        QFETCH(QByteArray, campos);
        QFETCH(QByteArray, line);
        QFETCH(int, applied);
        QFETCH(bool, x13);
        QFETCH(QStringList, cells5to11);

        SignalTable table;
        table.rows << makeRow({"", "Unit"});
        table.rows << makeRow({"1", "1", "100-Status", "d", "01", "", "", "R", "", "T", "", ctx().GetText("X9")});
        table.rows << makeRow({"2", "1", "05 - Central", "d", "14", "", "", "R", "W", "T", "", ctx().GetText("X9")});
        table.rowKeys.insert("1-100", 1);
        table.rowKeys.insert("1-5", 2);
        const SignalRow before1 = table.rows[1];
        const QString x13Text = ctx().GetText("X13");
        for (QString &c : cells5to11) {
            if (c == "X9" || c == "X10")
                c = ctx().GetText(c);
        }
        tc->prompter.clear();

        StoredSignalTable stored;
        QCOMPARE(ParseSignalTable("PROTOCOLO=70-ZTR001-PACKAGED\r\nVERSION=ZDM.1.0\r\n" + campos + "\r\nT\r\n" + line +
                                      "\r\n",
                                  70, "ZTR001-PACKAGED", "1.0", stored).fault,
                 SignalTableFault::None);
        QCOMPARE(ApplyStoredRows(ctx(), stored, table), applied);
        const auto msgs = shown(tc->prompter);
        QCOMPARE(msgs.size(), x13 ? 1 : 0);
        if (x13) {
            QCOMPARE(msgs[0].kind, RecordingPrompter::Record::MsgBox);
            QCOMPARE(msgs[0].text, x13Text);
            QCOMPARE(msgs[0].buttons, 1);
            QCOMPARE(msgs[0].title, kAppTitle);
        }
        for (int c = 5; c <= 11; ++c)
            QCOMPARE(table.cell(2, c), cells5to11[c - 5]);
        // Columns 0 to 4 never come from the file; other rows stay as built.
        QCOMPARE(table.cell(2, 2), QStringLiteral("05 - Central"));
        QCOMPARE(table.cell(2, 3), QStringLiteral("d"));
        QCOMPARE(table.rows[1].cells, before1.cells);
    }

    void applyGoesOnAfterX13()
    {
        SignalTable table;
        table.rows << makeRow({"", "Unit"});
        for (int d = 1; d <= 3; ++d) {
            table.rows << makeRow({QString::number(d), QString::number(d), "101-Not Exist"});
            table.rowKeys.insert(QString::number(d) + "-101", d);
        }
        writeProjectFile("ZTR001-PACKAGED.dat", kHeader + "1\t1\t101\t\t\t1/0/1\t\t\t\t\t\t3\r\n"
                                                          "2\t2\t101\t\t\t1/0/2\t\t\t\t\t\t9\r\n"
                                                          "3\t3\t101\t\t\t1/0/3\t\t\t\t\t\t1\r\n");
        const QString x13Text = ctx().GetText("X13");
        tc->prompter.clear();
        QVERIFY(ApplyStoredTable(ctx(), 70, table));
        QCOMPARE(shown(tc->prompter).size(), 2);
        QCOMPARE(shown(tc->prompter)[1].text, x13Text);
        QCOMPARE(table.cell(1, 5), QString());
        QCOMPARE(table.cell(2, 5), QString());
        QCOMPARE(table.cell(3, 5), QStringLiteral("1/0/3"));
    }

    void applyWithoutFileKeepsTable()
    {
        SignalTable table = smallTable();
        table.rowKeys.insert("1-100", 1);
        QVERIFY(!ApplyStoredTable(ctx(), 70, table));
        QCOMPARE(shown(tc->prompter).size(), 1);
        QCOMPARE(table.cell(1, 5), QStringLiteral(" 1/0/1 "));
    }
};

QTEST_GUILESS_MAIN(TestSignalTableFile)
#include "tst_signaltablefile.moc"
