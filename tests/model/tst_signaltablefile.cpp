// The signal table file: the bytes written, the header checks and their messages, the data lines
// read back, and the stored rows laid on a built table.
#include "TestSupport.h"
#include "model/SignalTableFile.h"

#include <QtTest>

using namespace tarveon;
using Rows = QList<QStringList>;

namespace {

const QByteArray kHead = "PROTOCOLO=70-ZTR001-PACKAGED\r\nVERSION=ZDM.1.0\r\n";

SignalTable makeTable(const Rows &rows)
{
    SignalTable t;
    for (const QStringList &cells : rows) {
        t.rows << SignalRow{};
        std::copy(cells.begin(), cells.end(), t.rows.last().cells.begin());
    }
    return t;
}

const Rows kSmall = {
    {"", "Unit", "Código", "D", "EIS", "G", "O", "R", "W", "T", "U", "S"},
    {"1", "1", "100-Status", "  Controller: On/Off. (R)  ", "01 - Switching (1 bit)", " 1/0/1 ", "", "R", "", "T", "", "Yes"},
    {"2", "1", "101-Not Exist", "Temp ºC\tx", "05 - Float (16 bit)", "", "1/0/2, 1/0/3", "", " W ", "", "U2", "No"}};

} // namespace

class TestSignalTableFile : public QObject {
    Q_OBJECT
    test::TestContext t;
    AppContext &ctx() { return *t.ctx; }
    QString path(const QString &name) { return QDir::toNativeSeparators(ctx().ProjectDir + "/" + name); }

private slots:
    // One program directory for all; every test starts with an empty project directory.
    void init()
    {
        ctx().ProjectDir = t.dir.filePath("P1");
        QDir(ctx().ProjectDir).removeRecursively();
        QDir().mkpath(ctx().ProjectDir);
        t.prompter.clear();
    }

    // Worked out by hand from the layout: three header lines, then every row's twelve cells, each
    // trimmed of blanks and followed by a TAB (a TAB inside a cell becomes a blank), CR LF,
    // Windows-1252 (ó = F3, º = BA). An old file of the other case is replaced, not doubled.
    void write_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("units") << 70 << kSmall
                               << kHead + "CAMPOS=12\r\n\tUnit\tC\xF3" "digo\tD\tEIS\tG\tO\tR\tW\tT\tU\tS\t\r\n"
                                  "1\t1\t100-Status\tController: On/Off. (R)\t01 - Switching (1 bit)\t1/0/1\t\tR\t\tT\t\tYes\t\r\n"
                                  "2\t1\t101-Not Exist\tTemp \xBA" "C x\t05 - Float (16 bit)\t\t1/0/2, 1/0/3\t\tW\t\tU2\tNo\t\r\n";
        QTest::newRow("chillers, empty rows") << 71 << Rows{{}, {}}
                                              << QByteArray("PROTOCOLO=71-ZTR001-CHILLER\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n"
                                                            "\t\t\t\t\t\t\t\t\t\t\t\t\r\n\t\t\t\t\t\t\t\t\t\t\t\t\r\n");
    }
    void write()
    {
        QFETCH(int, protocol);
        QFETCH(Rows, rows);
        QFETCH(QByteArray, bytes);
        const QString name = ctx().ProtocolNames[protocol] + ".DAT";
        t.dir.writeFile("P1/" + name, "old");
        QVERIFY(!WriteSignalTable(ctx(), qint16(protocol), "1.0", makeTable(rows)));
        QCOMPARE(QDir(ctx().ProjectDir).entryList(QDir::Files), QStringList{name});
        QCOMPARE(t.dir.readFile("P1/" + name), bytes);
        StoredSignalTable stored; // and back, trimmed
        QVERIFY(!ReadSignalTable(ctx(), qint16(protocol), "1.0", stored));
        QCOMPARE(stored.rowCount(), rows.size() - 1);
        for (int r = 1; r < rows.size(); ++r) {
            for (int f = 0; f < rows[r].size(); ++f)
                QCOMPARE(stored.field(r, f), f == 0 ? QString() : rows[r][f].trimmed().replace(u'\t', u' '));
        }
    }

    // The file's name ("" none, "dir" a directory in its place) and bytes; the fault's key ("" read).
    void read_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("lineRead");
        const QByteArray v = "VERSION=ZDM.1.0\r\n", c = "CAMPOS=12\r\n", p = "PROTOCOLO=70-ZTR001-PACKAGED\r\n";
        const QString dat = "ZTR001-PACKAGED.dat";
        QTest::newRow("good") << dat << p + v + c << "" << "";
        QTest::newRow("protocol anywhere in line 1") << dat << "x 70-ZTR001-PACKAGED y\r\n" + v + c << "" << "";
        QTest::newRow("LF-only lines") << dat << QByteArray(p + v + c).replace("\r", "") << "" << "";
        QTest::newRow("chiller file") << dat << "PROTOCOLO=71-ZTR001-CHILLER\r\n" + v + c << "X28" << "PROTOCOLO=71-ZTR001-CHILLER";
        QTest::newRow("name in lower case") << dat << "PROTOCOLO=70-ztr001-packaged\r\n" + v + c << "X28"
                                            << "PROTOCOLO=70-ztr001-packaged";
        QTest::newRow("empty file") << dat << QByteArray() << "X28" << "";
        QTest::newRow("version 2.0") << dat << p + "VERSION=ZDM.2.0\r\n" + c << "X45" << "VERSION=ZDM.2.0";
        QTest::newRow("version line missing") << dat << p << "X45" << "";
        QTest::newRow("lines swapped") << dat << p + c + v << "X45" << "CAMPOS=12";
        QTest::newRow("no file") << "" << QByteArray() << "X67" << "";
        QTest::newRow("directory in its place") << "dir" << QByteArray() << "X30" << "";
    }
    void read()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, key);
        QFETCH(QString, lineRead);
        if (name == "dir")
            QDir(ctx().ProjectDir).mkdir(name = "ZTR001-PACKAGED.DAT");
        else if (!name.isEmpty())
            t.dir.writeFile("P1/" + name, bytes);
        const QString shown = path(name.isEmpty() ? "ZTR001-PACKAGED.DAT" : name);
        StoredSignalTable stored;
        const std::optional<Fault> fault = ReadSignalTable(ctx(), 70, "1.0", stored);
        QCOMPARE(fault ? fault->key : QString(), key);
        QCOMPARE(stored.rowCount(), 0);
        QCOMPARE(stored.fieldCount, key.isEmpty() ? 12 : 0);
        const auto text = [&](const char *k) { return ctx().GetText(k); };
        if (key == "X67")
            QCOMPARE(*fault, (Fault{key, text("X67") + "\r" + shown + "\r" + text("X24") + "ZTR001-PACKAGED" + text("X74"),
                                    FaultKind::Exclamation}));
        else if (key == "X30")
            QVERIFY(fault->text.startsWith(text("X30") + "\r" + shown + "\rError: \r") && fault->kind == FaultKind::Critical);
        else if (!key.isEmpty())
            QCOMPARE(*fault, (Fault{key, text(key == "X28" ? "X28" : "X45") + "ZTR001-PACKAGED" + text(key == "X28" ? "X61" : "X60")
                                             + "\r" + shown + "\r" + lineRead, FaultKind::Critical}));
        QVERIFY(t.prompter.records.isEmpty());
    }

    void dataLines_data()
    {
        QTest::addColumn<QByteArray>("campos");
        QTest::addColumn<QByteArray>("body"); // the lines after the titles
        QTest::addColumn<int>("fieldCount");
        QTest::addColumn<Rows>("rows");       // fields 1.. of each row; fields not listed read empty
        const QByteArray twelve = "CAMPOS=12";
        QTest::newRow("complete line") << twelve << QByteArray("1\ta\tb\tc\td\te\tf\tg\th\ti\tj\tk\tl\t\r\n") << 12
                                       << Rows{{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j", "k", ""}};
        QTest::newRow("last field without TAB") << twelve << QByteArray("1\ta\tb\r\n") << 12 << Rows{{"a", "b"}};
        QTest::newRow("more TABs than columns") << QByteArray("CAMPOS=3") << QByteArray("1\ta\tb\tc\t\r\n") << 3
                                                << Rows{{"a", "b", ""}};
        QTest::newRow("empty line is a row") << twelve << QByteArray("1\ta\t\r\n\r\n2\tb") << 12 << Rows{{"a"}, {""}, {"b"}};
        QTest::newRow("LF and CR alone") << twelve << QByteArray("1\ta\t\n2\tb\t\r3\tc") << 12 << Rows{{"a"}, {"b"}, {"c"}};
        QTest::newRow("blanks kept, Windows-1252") << twelve << QByteArray("1\t a \tC\xF3" "digo\t\x80\x81\xFF\r\n") << 12
                                                   << Rows{{" a ", "Código", QString("€") + QChar(0x81) + QChar(0xFF)}};
        QTest::newRow("campos blank after =") << QByteArray("CAMPOS= 4") << QByteArray("1\ta\tb\tc\td\r\n") << 4
                                              << Rows{{"a", "b", "c", ""}};
        QTest::newRow("campos zero") << QByteArray("CAMPOS=0") << QByteArray("1\ta\tb\r\n") << 0 << Rows{{""}};
        QTest::newRow("campos not at line start") << QByteArray(" CAMPOS=12") << QByteArray("1\ta\r\n") << 0 << Rows{{""}};
        QTest::newRow("campos huge") << QByteArray("CAMPOS=99999999999999999999") << QByteArray("1\ta\tb\r\n")
                                     << std::numeric_limits<int>::max() << Rows{{"a", "b", ""}};
    }
    void dataLines()
    {
        QFETCH(QByteArray, campos);
        QFETCH(QByteArray, body);
        QFETCH(int, fieldCount);
        QFETCH(Rows, rows);
        StoredSignalTable stored;
        QCOMPARE(ParseSignalTable(kHead + campos + "\r\nTitles\r\n" + body, 70, "ZTR001-PACKAGED", "1.0", stored).fault,
                 SignalTableFault::None);
        QCOMPARE(stored.fieldCount, fieldCount);
        QCOMPARE(stored.rowCount(), rows.size());
        for (int r = 1; r <= rows.size(); ++r) {
            for (int f = 0; f <= rows[r - 1].size() + 1; ++f)
                QCOMPARE(stored.field(r, f), f >= 1 && f <= rows[r - 1].size() ? rows[r - 1][f - 1] : QString());
        }
    }

    // Stored lines laid on a table whose rows 1 and 2 have the keys 1-100 and 1-5; the cells 5 to
    // 11 of row 2 afterwards ("X9" / "X10" stand for their texts).
    void applyStoredRows_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<int>("applied");
        QTest::addColumn<int>("x13");
        QTest::addColumn<QStringList>("cells");
        const QStringList fresh{"", "", "R", "W", "T", "", "X9"};
        QTest::newRow("applied") << QByteArray("9\t1\t05 - Central\tdesc\tEIS\t 1/0/1 \t1/0/2\t R \t\tT\t U \t1") << 1 << 0
                                 << QStringList{" 1/0/1 ", "1/0/2", "R", "", "T", "U", "X10"};
        QTest::newRow("yes/no text reads 0") << QByteArray("9\t1\t5\t\t\t1/0/1\t\t\t\t\t\tNo") << 1 << 0
                                             << QStringList{"1/0/1", "", "", "", "", "", "X9"};
        QTest::newRow("yes/no 2, then a good line") << QByteArray("9\t1\t5\t\t\t1/0/1\t\t\t\t\t\t2\r\n9\t1\t5\t\t\t1/0/7\t\t\t\t\t\t1")
                                                    << 1 << 1 << QStringList{"1/0/7", "", "", "", "", "", "X10"};
        QTest::newRow("yes/no 0.5") << QByteArray("9\t1\t5\t\t\t1/0/1\t\t\t\t\t\t0.5") << 0 << 1 << fresh;
        QTest::newRow("device not in the table") << QByteArray("9\t7\t5\t\t\t1/0/1\t\t\t\t\t\t1") << 0 << 0 << fresh;
        QTest::newRow("fractional code") << QByteArray("9\t1\t5.5\t\t\t1/0/1\t\t\t\t\t\t1") << 0 << 0 << fresh;
        QTest::newRow("fewer fields than columns") << QByteArray("CAMPOS=11") << 0 << 1 << fresh;
    }
    void applyStoredRows()
    {
        QFETCH(QByteArray, lines);
        QFETCH(int, applied);
        QFETCH(int, x13);
        QFETCH(QStringList, cells);
        const QString no = ctx().GetText("X9");
        SignalTable table = makeTable({{"", "Unit"}, {"1", "1", "100-Status", "d", "01", "", "", "R", "", "T", "", no},
                                       {"2", "1", "05 - Central", "d", "14", "", "", "R", "W", "T", "", no}});
        table.rowKeys = {{"1-100", 1}, {"1-5", 2}};
        const SignalRow first = table.rows[1];
        const bool eleven = lines.startsWith("CAMPOS");
        StoredSignalTable stored;
        ParseSignalTable(kHead + (eleven ? lines : "CAMPOS=12") + "\r\nT\r\n"
                             + (eleven ? QByteArray("9\t1\t5\t\t\t1/0/1\t\t\t\t\t\t1") : lines),
                         70, "ZTR001-PACKAGED", "1.0", stored);
        Faults faults;
        QCOMPARE(ApplyStoredRows(ctx(), stored, table, faults), applied);
        QCOMPARE(faults, Faults(x13, Fault{"X13", ctx().GetText("X13")}));
        QCOMPARE(ApplyStoredTable(ctx(), 70, table).value(0).key, QStringLiteral("X67")); // no file: as it was
        for (int c = 5; c <= 11; ++c)
            QCOMPARE(table.cell(2, c), cells[c - 5].startsWith("X") ? ctx().GetText(cells[c - 5]) : cells[c - 5]);
        QCOMPARE(table.cell(2, 2), QStringLiteral("05 - Central"));
        QCOMPARE(table.rows[1].cells, first.cells);
    }
};

QTEST_GUILESS_MAIN(TestSignalTableFile)
#include "tst_signaltablefile.moc"
