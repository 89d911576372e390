#include "TestSupport.h"
#include "editor/ProjectSettings.h"
#include "editor/SignalCatalogue.h"
#include "editor/SignalColumns.h"
#include "editor/SignalTableModel.h"
#include "app/Text.h"
#include "model/GroupAddress.h"

#include <QtTest>

using namespace tarveon;

namespace {

// Every key a table may ask for gets the text "<key>", so that each cell shows which keys it was
// composed of.
QHash<QString, QString> markerTexts()
{
    QHash<QString, QString> texts;
    auto add = [&](const char *prefix, int from, int to) {
        for (int i = from; i <= to; ++i) {
            const QString key = QLatin1String(prefix) + QString::number(i);
            texts.insert(key, QLatin1Char('<') + key + QLatin1Char('>'));
        }
    };
    add("X", 1, 109);
    add("A", 1, 134);
    add("H", 1, 66);
    add("EIB", 1, 46);
    add("G", 503, 503);
    return texts;
}

// One signal of a device block as it must appear in the table.
struct Expected {
    int code;
    const char *caption;
    const char *description;
    int eis;
    const char *flags; // R W T U, "-" for empty
    char kind;         // s status, o ordinary, h group head, b bit, p step
};

const Expected kUnitBlock[] = {
    {100, "100-<X33>", "<H1> TR-BAS-HUB: <H28>. (R)", 1, "R-T-", 's'},
    {101, "101-Not Exist", "<H1> Unit: <H28>. (R)", 1, "R-T-", 's'},
    {0, "00 - <H32>", "<H2>: <H3>. (R/W)", 1, "RWT-", 'o'},
    {1, "01 - <H33>", "<H4>: <H5>. (R/W)", 14, "RWT-", 'h'},
    {18, "18 - <H50> (0)", "<H4>:<H50>. (R/W)", 1, "RWT-", 'b'},
    {19, "19 - <H51> (1)", "<H4>:<H51>. (R/W)", 1, "RWT-", 'b'},
    {20, "20 - <H52> (2)", "<H4>:<H52>. (R/W)", 1, "RWT-", 'b'},
    {21, "21 - <H53> (3)", "<H4>:<H53>. (R/W)", 1, "RWT-", 'b'},
    {22, "22 - <H54> (4)", "<H4>:<H54>. (R/W)", 1, "RWT-", 'b'},
    {23, "23 - <H55> (+/-)", "<H4>:<H55> 1+/0-. (W)", 1, "-W--", 'p'},
    {2, "02 - <H34>", "<H6>: <H7>. (R/W)", 14, "RWT-", 'h'},
    {24, "24 - <H56> (0)", "<H6>:<H56>. (R/W)", 1, "RWT-", 'b'},
    {25, "25 - <H57> (1)", "<H6>:<H57>. (R/W)", 1, "RWT-", 'b'},
    {26, "26 - <H58> (2)", "<H6>:<H58>. (R/W)", 1, "RWT-", 'b'},
    {27, "27 - <H55> (+/-)", "<H6>:<H55> 1+/0-. (W)", 1, "-W--", 'p'},
    {3, "03 - <H35>", "<H8>: 17..30 \u00BAC. (R/W)", 5, "RWT-", 'h'},
    {37, "37 - <H55> 1+/0-", "<H8>:<H55> 1+/0-. (W)", 1, "-W--", 'p'},
    {4, "04 - <H36>", "<H9>: 0..7, 8-Auto. (R/W)", 14, "RWT-", 'h'},
    {28, "28 - <H55> (+/-)", "<H9>:<H55> 1+/0-. (W)", 1, "-W--", 'p'},
    {5, "05 - <H37>", "<H10>: <H11>. (R/W)", 14, "RWT-", 'h'},
    {29, "29 - <H59> (0)", "<H10>:<H59>. (R/W)", 1, "RWT-", 'b'},
    {30, "30 - <H60> (1)", "<H10>:<H60>. (R/W)", 1, "RWT-", 'b'},
    {31, "31 - <H61> (2)", "<H10>:<H61>. (R/W)", 1, "RWT-", 'b'},
    {32, "32 - <H62> (3)", "<H10>:<H62>. (R/W)", 1, "RWT-", 'b'},
    {6, "06 - <H38>", "<H12>: 0..255. (R)", 14, "R-T-", 'o'},
    {7, "07 - <H39>", "<H13>: <H26>. (R)", 5, "R-T-", 'o'},
    {8, "08 - <H40>", "<H14>: <H26>. (R)", 5, "R-T-", 'o'},
    {9, "09 - <H41>", "<H15>: <H26>. (R)", 5, "R-T-", 'o'},
    {10, "10 - <H42>", "<H16>: <H26>. (R)", 5, "R-T-", 'o'},
    {11, "11 - <H43>", "<H17>: 0..100. (R)", 14, "R-T-", 'o'},
    {12, "12 - <H44>", "<H18>: 0..200. (R)", 14, "R-T-", 'o'},
    {13, "13 - <H45>", "<H19>: 0..100%. (R)", 6, "R-T-", 'o'},
    {14, "14 - <H46>", "<H20>: <H27>. (R)", 14, "R-T-", 'h'},
    {33, "33 - <H63> (0)", "<H20>:<H63>. (R)", 1, "R-T-", 'b'},
    {34, "34 - <H64> (1)", "<H20>:<H64>. (R)", 1, "R-T-", 'b'},
    {35, "35 - <H65> (2)", "<H20>:<H65>. (R)", 1, "R-T-", 'b'},
    {36, "36 - <H66> (3)", "<H20>:<H66>. (R)", 1, "R-T-", 'b'},
    {15, "15 - <H47>", "<H21>: <H24>. (R)", 1, "R-T-", 'o'},
    {16, "16 - <H48>", "<H22>: <H26>. (R)", 5, "R-T-", 'o'},
    {17, "17 - <H49>", "<H23>: <H25>. (R/W)", 1, "RWT-", 'o'},
};

const Expected kChillerBlock[] = {
    {100, "100-<X33>", "<H1> TR-BAS-HUB: <H28>. (R)", 1, "R-T-", 's'},
    {101, "101-Not Exist", "<H1> Unit: <H28>. (R)", 1, "R-T-", 's'},
    {0, "00 - <H32>", "<H2>: <H3>. (R/W)", 1, "RWT-", 'o'},
    {1, "01 - <H33>", "<H4>: <H29>. (R/W)", 14, "RWT-", 'o'},
    {2, "02 - <H35>", "<H8>: <H26>. (R/W)", 5, "RWT-", 'h'},
    {15, "15 - <H55> 1+/0-", "<H8>:<H55> 1+/0-. (W)", 1, "-W--", 'p'},
    {3, "03 - <H37>", "<H30>: <H31>. (R)", 14, "R-T-", 'o'},
    {4, "04 - <H39>", "<H13>: <H26>. (R)", 5, "R-T-", 'o'},
    {5, "05 - <H40>", "<H14>: <H26>. (R)", 5, "R-T-", 'o'},
    {6, "06 - <H43>", "<H17>: 0..100. (R)", 14, "R-T-", 'o'},
    {7, "07 - <H46>", "<H20>: <H27>. (R)", 14, "R-T-", 'h'},
    {11, "11 - <H63> (0)", "<H20>:<H63>. (R)", 1, "R-T-", 'b'},
    {12, "12 - <H64> (1)", "<H20>:<H64>. (R)", 1, "R-T-", 'b'},
    {13, "13 - <H65> (2)", "<H20>:<H65>. (R)", 1, "R-T-", 'b'},
    {14, "14 - <H66> (3)", "<H20>:<H66>. (R)", 1, "R-T-", 'b'},
    {8, "08 - <H47>", "<H21>: <H24>. (R)", 1, "R-T-", 'o'},
    {9, "09 - <H48>", "<H22>: <H26>. (R)", 5, "R-T-", 'o'},
    {10, "10 - <H49>", "<H23>: <H25>. (R/W)", 1, "RWT-", 'o'},
};

const char *const kEisCaptions[] = {
    "",
    "01 - Switching (1 bit)",
    "02 - Dimming (4 bit)",
    "03 - Time (24 bit)",
    "04 - Date (24 bit )",
    "05 - Float (16 bit)",
    "06 - Scaling (8 bit)",
    "07 - Drive Control (1 bit)",
    "08 - Priority (2 bit)",
    "09 - Float IEEE (32 bit)",
    "10 - Counter (16 bit)",
    "11 - Counter (32 bit)",
    "12 - Access (32 bit)",
    "13 - ASCII char (8 bit)",
    "14 - Counter (8 bit)",
    "15 - String (14 bytes )",
};

// A pattern of the tables above with every "<key>" replaced by the key's text.
QString expand(const AppContext &ctx, const char *pattern)
{
    QString out = QString::fromUtf8(pattern);
    static const QRegularExpression key(QStringLiteral("<([A-Z]+[0-9]+)>"));
    QRegularExpressionMatch m;
    while ((m = key.match(out)).hasMatch())
        out.replace(m.capturedStart(), m.capturedLength(), ctx.GetText(m.captured(1)));
    return out;
}

std::span<const Expected> blockOf(MachineType type)
{
    if (type == MachineType::IndoorUnits)
        return kUnitBlock;
    return kChillerBlock;
}

SignalTable build(const AppContext &ctx, MachineType type, int devices)
{
    ColumnInfos columns;
    return BuildSignalTable(ctx, BuildCodeLegend(ctx, type), devices, columns);
}

ProjectSettings settingsWith(int devices)
{
    ProjectSettings s;
    s.devices.resize(devices);
    return s;
}

} // namespace

Q_DECLARE_METATYPE(tarveon::MachineType)

class TestCatalogue : public QObject {
    Q_OBJECT

    test::TestContext t{false};
    AppContext &ctx() { return *t.ctx; }

private slots:
    void init()
    {
        ctx().language.setTexts(markerTexts());
        t.prompter.clear();
    }

    void cleanup()
    {
        // No key the tables use may be missing from the language texts.
        QCOMPARE(t.prompter.texts(), QStringList());
    }

    void machineType_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<MachineType>("type");
        QTest::newRow("70 indoor units") << 70 << MachineType::IndoorUnits;
        QTest::newRow("71 chillers") << 71 << MachineType::Chillers;
        QTest::newRow("0 chillers") << 0 << MachineType::Chillers;
        QTest::newRow("47 chillers") << 47 << MachineType::Chillers;
    }
    void machineType()
    {
        QFETCH(int, protocol);
        QFETCH(MachineType, type);
        QCOMPARE(MachineTypeOf(protocol), type);
    }

    void machineInfo()
    {
        const MachineTypeInfo &u = InfoOf(MachineType::IndoorUnits);
        QCOMPARE(u.protocolCode, 70);
        QCOMPARE(QLatin1String(u.protocolName), QLatin1String("ZTR001-PACKAGED"));
        QCOMPARE(QLatin1String(u.deviceLabel), QLatin1String("Unit "));
        QCOMPARE(QLatin1String(u.deviceListCaption), QLatin1String("Units"));
        QCOMPARE(u.maxDevices, 160);
        QCOMPARE(u.rowsPerDevice, 39);
        const MachineTypeInfo &c = InfoOf(MachineType::Chillers);
        QCOMPARE(c.protocolCode, 71);
        QCOMPARE(QLatin1String(c.protocolName), QLatin1String("ZTR001-CHILLER"));
        QCOMPARE(QLatin1String(c.deviceLabel), QLatin1String("Chiller "));
        QCOMPARE(QLatin1String(c.deviceListCaption), QLatin1String("Chillers"));
        QCOMPARE(c.maxDevices, 8);
        QCOMPARE(c.rowsPerDevice, 17);
    }

    void rowCount_data()
    {
        QTest::addColumn<MachineType>("type");
        QTest::addColumn<int>("devices");
        QTest::addColumn<int>("rows");
        QTest::newRow("no unit") << MachineType::IndoorUnits << 0 << 2;
        QTest::newRow("one unit") << MachineType::IndoorUnits << 1 << 41;
        QTest::newRow("two units") << MachineType::IndoorUnits << 2 << 80;
        QTest::newRow("160 units") << MachineType::IndoorUnits << 160 << 6242;
        QTest::newRow("no chiller") << MachineType::Chillers << 0 << 2;
        QTest::newRow("one chiller") << MachineType::Chillers << 1 << 19;
        QTest::newRow("three chillers") << MachineType::Chillers << 3 << 53;
        QTest::newRow("eight chillers") << MachineType::Chillers << 8 << 138;
    }
    void rowCount()
    {
        QFETCH(MachineType, type);
        QFETCH(int, devices);
        QFETCH(int, rows);
        QCOMPARE(TableRowCount(type, devices), rows);
        const SignalTable table = build(ctx(), type, devices);
        QCOMPARE(table.rowCount(), rows);
        // Every signal row has its key, and only those.
        QCOMPARE(table.rowKeys.size(), qsizetype(devices == 0 ? 0 : rows - 1));
    }

    void everyRowOfTheBlocks_data()
    {
        QTest::addColumn<MachineType>("type");
        QTest::addColumn<int>("devices");
        QTest::newRow("indoor units, 3 devices") << MachineType::IndoorUnits << 3;
        QTest::newRow("chillers, 3 devices") << MachineType::Chillers << 3;
        QTest::newRow("chillers, 8 devices") << MachineType::Chillers << 8;
    }
    void everyRowOfTheBlocks()
    {
        QFETCH(MachineType, type);
        QFETCH(int, devices);
        const SignalTable table = build(ctx(), type, devices);
        int r = 0;
        for (int d = 1; d <= devices; ++d) {
            for (const Expected &e : blockOf(type)) {
                if (e.code == 100 && d > 1)
                    continue;
                ++r;
                const QByteArray where = QByteArray("device ") + QByteArray::number(d) + " code " +
                                         QByteArray::number(e.code) + " row " + QByteArray::number(r);
                const SignalRow &row = table.rows[r];
                QVERIFY2(row[0] == QString::number(r), where);
                QVERIFY2(row[1] == QString::number(d), where);
                QVERIFY2(row[2] == QString::fromUtf8(e.caption), where + " caption " + row[2].toUtf8());
                QVERIFY2(row[3] == QString::fromUtf8(e.description), where + " description " + row[3].toUtf8());
                QVERIFY2(row[4] == QLatin1String(kEisCaptions[e.eis]), where + " EIS " + row[4].toUtf8());
                QVERIFY2(row[5].isEmpty() && row[6].isEmpty(), where);
                for (int f = 0; f < 4; ++f) {
                    const QString flag = e.flags[f] == '-' ? QString() : QString(QLatin1Char(e.flags[f]));
                    QVERIFY2(row[7 + f] == flag, where + " flag column " + QByteArray::number(7 + f));
                }
                QVERIFY2(row[11] == QLatin1String("<X9>"), where);
                QVERIFY2(table.rowKeys.value(QString::number(d) + "-" + QString::number(e.code), -1) == r, where);
                QVERIFY2(FindRow(table, d, e.code) == r, where);
                QVERIFY2(!row.hidden, where);

                qint16 mark = 0;
                quint32 colour = 0;
                quint16 columns = 0;
                switch (e.kind) {
                case 's':
                    colour = 0xFFC0FFFF; // RGB(192, 255, 255)
                    columns = 0b111111111110;
                    break;
                case 'h':
                    colour = 0xFFFFE0C0; // RGB(255, 224, 192)
                    columns = 0b100;
                    mark = 1;
                    break;
                case 'b':
                case 'p':
                    colour = 0xFFFFFFC0; // RGB(255, 255, 192)
                    columns = 0b100;
                    break;
                }
                QVERIFY2(row.mark == mark, where);
                QVERIFY2(row.background == colour || columns == 0, where);
                QVERIFY2(row.colouredColumns == columns, where);
            }
        }
        QCOMPARE(r, table.rowCount() - 1);
    }

    void headerAndColumns_data()
    {
        QTest::addColumn<MachineType>("type");
        QTest::newRow("indoor units") << MachineType::IndoorUnits;
        QTest::newRow("chillers") << MachineType::Chillers;
    }
    void headerAndColumns()
    {
        QFETCH(MachineType, type);
        ColumnInfos info;
        info[5].Help = QStringLiteral("left over from an earlier table");
        const SignalTable table = BuildSignalTable(ctx(), BuildCodeLegend(ctx(), type), 1, info);
        const QStringList headers{"", "Unit", QString::fromUtf8("C\xC3\xB3" "digo"), "<X75>", "EIS", "<EIB42>",
                                  "<EIB41>", "R", "W", "T", "U", "<X12>"};
        const int widths[] = {600, 500, 1700, 5600, 1600, 800, 2000, 300, 300, 300, 300, 600};
        const qint16 editKinds[] = {0, 2, 2, 2, 2, 0, 0, 1, 1, 1, 1, 1};
        const QStringList helps{"", "Unit", "<G503> <A9>", "<X64> <A10>", "<EIB9>", "<EIB10>", "<EIB11>",
                                "<EIB12>", "<EIB13>", "<EIB14>", "<EIB15>", "<X42>"};
        const CellAlignment L = CellAlignment::LeftCentre, C = CellAlignment::Centre, D = CellAlignment::Default;
        const CellAlignment alignments[] = {D, D, L, L, L, L, L, C, C, C, C, D};
        for (int c = 0; c < 12; ++c) {
            QCOMPARE(table.rows[0][c], headers[c]);
            QCOMPARE(table.columns[c].widthTwips, widths[c]);
            QCOMPARE(table.columns[c].alignment, alignments[c]);
            QCOMPARE(info[c].EditKind, editKinds[c]);
            QCOMPARE(info[c].Help, helps[c]);
        }
        QCOMPARE(table.columns[1].kind, ContentKind::Integer);
        QCOMPARE(table.columns[2].kind, ContentKind::Text);
        QCOMPARE(table.columns[3].kind, ContentKind::Text);
        QCOMPARE(table.columns[4].kind, ContentKind::Integer);
        QCOMPARE(table.columns[5].kind, ContentKind::Text);
        QCOMPARE(table.columns[6].kind, ContentKind::Text);

        auto valuesOf = [&](int c) {
            QStringList out;
            for (const ColumnValue &v : info[c].Values)
                out << v.key + "=" + v.text;
            return out;
        };
        for (int c : {0, 1, 2, 3, 4, 5, 6})
            QCOMPARE(valuesOf(c), QStringList());
        QCOMPARE(valuesOf(7), (QStringList{"K=", "KR=R"}));
        QCOMPARE(valuesOf(8), (QStringList{"K=", "KW=W"}));
        QCOMPARE(valuesOf(9), (QStringList{"K=", "KT=T"}));
        QCOMPARE(valuesOf(10), (QStringList{"K=", "KU=U", "KU2=U2"}));
        QCOMPARE(valuesOf(11), (QStringList{"K0=<X9>", "K1=<X10>"}));
        QCOMPARE(info[11].value("K1"), QStringLiteral("<X10>"));
        QVERIFY(info[10].hasValue("KU2"));
        QVERIFY(!info[10].hasValue("KR"));
        QCOMPARE(info[7].value("KX"), QString());
    }

    // The viewer's grid: the shared set-up on a grid of its own, header row added when missing.
    void setupSignalColumnsOnEmptyGrid()
    {
        SignalTable grid;
        ColumnInfos info;
        SetupSignalColumns(ctx(), grid, info, 4, 5, 6, 7, 8, 9, 10, 11);
        QCOMPARE(grid.rowCount(), 1);
        QCOMPARE(grid.rows[0][4], QStringLiteral("EIS"));
        QCOMPARE(info[4].EditKind, qint16(1));
        QCOMPARE(info[5].EditKind, qint16(0));
        QCOMPARE(grid.columns[6].widthTwips, 2000);
        QCOMPARE(info[11].Help, QStringLiteral("<X42>"));
        QCOMPARE(info[1].EditKind, qint16(0)); // untouched
        QCOMPARE(grid.rows[0][1], QString());
    }

    void threeChillers()
    {
        const SignalTable table = build(ctx(), MachineType::Chillers, 3);
        QCOMPARE(table.rowCount(), 53);
        int hundreds = 0;
        for (int r = 1; r < table.rowCount(); ++r)
            hundreds += table.rows[r][2].startsWith("100-");
        QCOMPARE(hundreds, 1);
        QVERIFY(table.rows[1][2].startsWith("100-"));
        QCOMPARE(table.rows[19][1], QStringLiteral("2"));
        QCOMPARE(table.rows[19][2], QStringLiteral("101-Not Exist"));
        QCOMPARE(table.rows[18][1], QStringLiteral("1"));
        QCOMPARE(FindRow(table, 1, 100), 1);
        QCOMPARE(FindRow(table, 2, 101), 19);
        QCOMPARE(FindRow(table, 2, 100), -1);
        QCOMPARE(FindRow(table, 4, 101), -1);
        QCOMPARE(FindRow(table, 1, 18), -1); // an indoor-unit code
    }

    void oneUnit()
    {
        const SignalTable table = build(ctx(), MachineType::IndoorUnits, 1);
        QCOMPARE(table.rowCount(), 41);
        QCOMPARE(int(LeadingInteger(table.rows[1][2])), 100);
        QCOMPARE(int(LeadingInteger(table.rows[2][2])), 101);
        QCOMPARE(table.rows[40][1], QStringLiteral("1"));
        QCOMPARE(table.rowKeys.value("1-100"), 1);
        QCOMPARE(table.rowKeys.value("1-101"), 2);
    }

    void noDevices_data()
    {
        QTest::addColumn<MachineType>("type");
        QTest::newRow("indoor units") << MachineType::IndoorUnits;
        QTest::newRow("chillers") << MachineType::Chillers;
    }
    void noDevices()
    {
        QFETCH(MachineType, type);
        const SignalTable table = build(ctx(), type, 0);
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(table.rows[0][1], QStringLiteral("Unit"));
        for (const QString &c : table.rows[1].cells)
            QVERIFY(c.isEmpty());
        QCOMPARE(table.rows[1].colouredColumns, quint16(0));
        QVERIFY(table.rowKeys.isEmpty());
    }

    // Keys are the device and the leading number of the caption, also with real language texts.
    void keysFollowTheCaptions_data()
    {
        QTest::addColumn<MachineType>("type");
        QTest::newRow("indoor units") << MachineType::IndoorUnits;
        QTest::newRow("chillers") << MachineType::Chillers;
    }
    void keysFollowTheCaptions()
    {
        QFETCH(MachineType, type);
        test::TestContext shipped;
        const SignalTable table = build(*shipped.ctx, type, 2);
        for (int r = 1; r < table.rowCount(); ++r) {
            const QString key = table.rows[r][1] + "-" + QString::number(LeadingInteger(table.rows[r][2]));
            QCOMPARE(table.rowKeys.value(key, -1), r);
        }
    }

    // The shipped language file's texts go where the keys say.
    void shippedTexts()
    {
        test::TestContext shipped;
        AppContext &c = *shipped.ctx;
        const SignalTable table = build(c, MachineType::IndoorUnits, 1);
        const QString h4 = c.GetText("H4");
        QCOMPARE(table.rows[5][2], "18 - " + c.GetText("H50") + " (0)");
        QCOMPARE(table.rows[5][3], h4 + ":" + c.GetText("H50") + ". (R/W)");
        QVERIFY(table.rows[10][3].endsWith(" 1+/0-. (W)"));
        QVERIFY(table.rows[11][3].endsWith(". (R/W)"));
        QCOMPARE(table.rows[1][2], "100-" + c.GetText("X33"));
        QCOMPARE(table.rows[3][11], c.GetText("X9"));
        QCOMPARE(table.rows[0][3], c.GetText("X75"));
        QCOMPARE(shipped.prompter.texts(), QStringList()); // every key of the tables has its text
    }

    void chillerCode14Description()
    {
        const SignalTable table = build(ctx(), MachineType::Chillers, 1);
        const int r = FindRow(table, 1, 14);
        QCOMPARE(r, 15);
        QCOMPARE(table.rows[r][3], QStringLiteral("<H20>:<H66>. (R)"));
        QCOMPARE(table.rows[r - 1][3], QStringLiteral("<H20>:<H65>. (R)"));
    }

    void readOnlyAndStepCodes_data()
    {
        QTest::addColumn<MachineType>("type");
        QTest::addColumn<QList<int>>("readOnly");
        QTest::addColumn<QList<int>>("steps");
        QList<int> unitReadOnly{6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 33, 34, 35, 36};
        QList<int> chillerReadOnly{3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14};
        QTest::newRow("indoor units") << MachineType::IndoorUnits << unitReadOnly << QList<int>{23, 27, 28, 37};
        QTest::newRow("chillers") << MachineType::Chillers << chillerReadOnly << QList<int>{15};
    }
    void readOnlyAndStepCodes()
    {
        QFETCH(MachineType, type);
        QFETCH(QList<int>, readOnly);
        QFETCH(QList<int>, steps);
        for (int code = -1; code <= 300; ++code) {
            QCOMPARE(IsReadOnlyCode(type, code), readOnly.contains(code) || code >= 100);
            QCOMPARE(IsStepCode(type, code), steps.contains(code));
        }
    }

    void bitRowCounts_data()
    {
        QTest::addColumn<MachineType>("type");
        QTest::addColumn<QList<int>>("heads");  // code, rows, code, rows, ...
        QTest::newRow("indoor units") << MachineType::IndoorUnits << QList<int>{1, 6, 2, 4, 3, 1, 4, 1, 5, 4, 14, 4};
        QTest::newRow("chillers") << MachineType::Chillers << QList<int>{2, 1, 7, 4};
    }
    void bitRowCounts()
    {
        QFETCH(MachineType, type);
        QFETCH(QList<int>, heads);
        QHash<int, int> expected;
        for (int i = 0; i < heads.size(); i += 2)
            expected.insert(heads[i], heads[i + 1]);
        for (int code = 0; code <= 120; ++code)
            QCOMPARE(BitRowCount(type, code), expected.value(code, 0));
        // The counted rows are exactly the bit and step rows below each head.
        const SignalTable table = build(ctx(), type, 1);
        for (int r = 1; r < table.rowCount(); ++r) {
            const int n = BitRowCount(type, int(LeadingInteger(table.rows[r][2])));
            for (int b = 1; b <= n; ++b)
                QCOMPARE(table.rows[r + b].background, 0xFFFFFFC0u);
            if (n > 0 && r + n + 1 < table.rowCount())
                QVERIFY(table.rows[r + n + 1].background != 0xFFFFFFC0u);
        }
    }

    void unitLegend()
    {
        const CodeLegend legend = BuildCodeLegend(ctx(), MachineType::IndoorUnits);
        QCOMPARE(legend.items.size(), 22);
        QCOMPARE(legend.items[0].caption, QStringLiteral("<A3>"));
        QVERIFY(legend.items[0].hidden);
        QCOMPARE(legend.items[0].subItems.size(), 2);
        QCOMPARE(legend.items[0].subItems[0].caption, QStringLiteral("<A4>"));
        QCOMPARE(legend.items[0].subItems[1].caption, QStringLiteral("<A5>"));
        QCOMPARE(legend.items[1].caption, QStringLiteral("-"));
        QVERIFY(legend.items[1].hidden);
        QCOMPARE(legend.items[2].caption, QStringLiteral("100-<X33>"));
        QCOMPARE(legend.items[3].caption, QStringLiteral("101-Not Exist"));
        for (int k = 4; k <= 21; ++k) {
            const QString expected = QStringLiteral("%1 - <H%2>").arg(k - 4, 2, 10, QChar('0')).arg(k + 28);
            QCOMPARE(legend.items[k].caption, expected);
            QCOMPARE(int(legend.items[k].code), k - 4);
            QVERIFY(!legend.items[k].hidden);
        }
        const QHash<int, QList<int>> subs{{5, {18, 19, 20, 21, 22, 23}},
                                          {6, {24, 25, 26, 27}},
                                          {8, {28}},
                                          {9, {29, 30, 31, 32}},
                                          {18, {33, 34, 35, 36}}};
        for (int k = 2; k <= 21; ++k) {
            QList<int> codes;
            for (const LegendItem &s : legend.items[k].subItems)
                codes << s.code;
            QCOMPARE(codes, subs.value(k));
        }
        QCOMPARE(legend.items[5].subItems[5].caption, QStringLiteral("23 - <H55> (+/-)"));
        QCOMPARE(legend.items[8].subItems[0].caption, QStringLiteral("28 - <H55> (+/-)"));
        QCOMPARE(legend.items[9].subItems[3].caption, QStringLiteral("32 - <H62> (3)"));
    }

    void chillerLegend()
    {
        const CodeLegend legend = BuildCodeLegend(ctx(), MachineType::Chillers);
        QCOMPARE(legend.items.size(), 22);
        const QHash<int, QString> visible{{2, "100-<X33>"},  {3, "101-Not Exist"}, {4, "00 - <H32>"},
                                          {7, "01 - <H33>"}, {10, "02 - <H35>"},   {11, "03 - <H37>"},
                                          {12, "04 - <H39>"}, {13, "05 - <H40>"},  {16, "06 - <H43>"},
                                          {18, "07 - <H46>"}, {19, "08 - <H47>"},  {20, "09 - <H48>"},
                                          {21, "10 - <H49>"}};
        for (int k = 2; k <= 21; ++k) {
            QCOMPARE(legend.items[k].hidden, !visible.contains(k));
            if (visible.contains(k))
                QCOMPARE(legend.items[k].caption, visible.value(k));
        }
        QList<int> codes;
        QStringList captions;
        for (const LegendItem &s : legend.items[18].subItems) {
            codes << s.code;
            captions << s.caption;
        }
        QCOMPARE(codes, (QList<int>{11, 12, 13, 14}));
        QCOMPARE(captions.last(), QStringLiteral("14 - <H66> (3)"));
    }

    void eisLegend()
    {
        const QVector<LegendItem> items = BuildEisLegend();
        QCOMPARE(items.size(), 16);
        QVERIFY(items[0].hidden);
        const QList<int> hidden{3, 4, 12, 13, 15};
        for (int e = 1; e <= 15; ++e) {
            QCOMPARE(items[e].caption, QLatin1String(kEisCaptions[e]));
            QCOMPARE(int(items[e].code), e);
            QCOMPARE(items[e].hidden, hidden.contains(e));
        }
    }

    // The shipped templates: one device with nothing selected, in the signal table file's layout.
    void shippedTemplates_data()
    {
        QTest::addColumn<MachineType>("type");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("head");
        QTest::newRow("indoor units") << MachineType::IndoorUnits << "ZTR001-PACKAGED.dat"
                                      << QByteArray("PROTOCOLO=70-ZTR001-PACKAGED\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n"
                                                    "\tUnit\tC\xF3" "digo\t");
        QTest::newRow("chillers") << MachineType::Chillers << "ZTR001-CHILLER.dat"
                                  << QByteArray("PROTOCOLO=71-ZTR001-CHILLER\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n"
                                                "\tUnit\tC\xF3" "digo\t");
    }
    void shippedTemplates()
    {
        QFETCH(MachineType, type);
        QFETCH(QString, file);
        QFETCH(QByteArray, head);
        QFile f(test::resourcesDir() + "/TemplatesZDM/" + file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith(head));
        QVERIFY(bytes.endsWith("\t\r\n"));
        QVERIFY(!bytes.contains("???"));
        // Every cell as the catalogue and the shipped language file give it.
        const char *stale = "the template does not match the catalogue and the language file: "
                            "cmake --build --preset default --target templates";
        test::TestContext shipped;
        const AppContext &c = *shipped.ctx;
        const QString headerRow = QString::fromUtf8("\tUnit\tC\u00F3digo\t") + c.GetText("X75") + "\tEIS\t" +
                                  c.GetText("EIB42") + "\t" + c.GetText("EIB41") + "\tR\tW\tT\tU\t" +
                                  c.GetText("X12") + "\t\r\n";
        QString text = "PROTOCOLO=" + QString::number(InfoOf(type).protocolCode) + "-" +
                       QLatin1String(InfoOf(type).protocolName) + "\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n" + headerRow;
        int row = 0;
        for (const Expected &e : blockOf(type)) {
            QString flags;
            for (int k = 0; k < 4; ++k)
                flags += (e.flags[k] == '-' ? QString() : QString(QLatin1Char(e.flags[k]))) + "\t";
            text += QString::number(++row) + "\t1\t" + expand(c, e.caption) + "\t" + expand(c, e.description) + "\t" +
                    QLatin1String(kEisCaptions[e.eis]) + "\t\t\t" + flags + c.GetText("X9") + "\t\r\n";
        }
        QVERIFY2(shipped.prompter.records.isEmpty(), "the shipped language file lacks a key of the tables");
        QVERIFY2(bytes == toCp1252(text), stale);

        QList<QByteArray> lines = bytes.split('\n');
        QCOMPARE(lines.takeLast(), QByteArray());
        const std::span<const Expected> block = blockOf(type);
        QCOMPARE(lines.size(), 3 + 1 + int(block.size()));
        for (const QByteArray &line : lines)
            QVERIFY(line.endsWith('\r'));
        for (int i = 3; i < lines.size(); ++i) {
            const QList<QByteArray> fields = lines[i].chopped(1).split('\t');
            QCOMPARE(fields.size(), 13); // every cell ends with a TAB
            QCOMPARE(fields[12], QByteArray());
            for (const QByteArray &cell : fields)
                QCOMPARE(cell.trimmed(), cell);
            for (int c : {1, 2, 3, 4, 11})
                QVERIFY(!fields[c].isEmpty());
            if (i == 3)
                continue;
            const Expected &e = block[size_t(i - 4)];
            QCOMPARE(fields[0], QByteArray::number(i - 3));
            QCOMPARE(fields[1], QByteArray("1"));
            QCOMPARE(int(LeadingInteger(QString::fromLatin1(fields[2]))), e.code);
            QCOMPARE(fields[4], QByteArray(kEisCaptions[e.eis]));
            QCOMPARE(fields[5], QByteArray());
            QCOMPARE(fields[6], QByteArray());
            for (int k = 0; k < 4; ++k)
                QCOMPARE(fields[7 + k], e.flags[k] == '-' ? QByteArray() : QByteArray(1, e.flags[k]));
            QCOMPARE(LeadingInteger(QString::fromLatin1(fields[11])), 0);
        }
    }

    // The table builders of the editor fill the grid for the project's devices.
    void buildersFillTheGrid_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("devices");
        QTest::addColumn<int>("rows");
        QTest::newRow("units") << 70 << 4 << 2 + 39 * 4;
        QTest::newRow("chillers") << 71 << 5 << 2 + 17 * 5;
    }
    void buildersFillTheGrid()
    {
        QFETCH(int, protocol);
        QFETCH(int, devices);
        QFETCH(int, rows);
        SignalTableModel grid;
        QSignalSpy resets(&grid, &QAbstractItemModel::modelReset);
        bool busyDuringReset = false;
        connect(&grid, &QAbstractItemModel::modelReset, this, [&] { busyDuringReset = ctx().GridBusy; });
        // A legend of the other type is not used.
        const MachineType type = MachineTypeOf(protocol);
        const CodeLegend wrong = BuildCodeLegend(
            ctx(), type == MachineType::IndoorUnits ? MachineType::Chillers : MachineType::IndoorUnits);
        if (type == MachineType::IndoorUnits)
            BuildUnitTable(ctx(), settingsWith(devices), wrong, grid);
        else
            BuildChillerTable(ctx(), settingsWith(devices), wrong, grid);
        QCOMPARE(resets.count(), 1);
        QVERIFY(busyDuringReset);
        QVERIFY(!ctx().GridBusy);
        QCOMPARE(grid.gridRowCount(), rows);
        QCOMPARE(grid.rowCount(), rows - 1);
        QCOMPARE(grid.columnInfo(4).EditKind, qint16(2));
        QCOMPARE(grid.columnInfo(5).EditKind, qint16(0));
        QCOMPARE(grid.findRow(devices, 101), rows - InfoOf(type).rowsPerDevice);
        const int r = grid.findRow(1, type == MachineType::IndoorUnits ? 1 : 2);
        QCOMPARE(grid.cell(r, 2), QString::fromUtf8(blockOf(type)[type == MachineType::IndoorUnits ? 3 : 4].caption));
        QCOMPARE(grid.headerData(3, Qt::Horizontal).toString(), QStringLiteral("<X75>"));
    }
};

QTEST_GUILESS_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
