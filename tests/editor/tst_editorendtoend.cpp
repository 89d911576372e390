// From a new project to the gateway file: the project is made from the shipped templates, the
// editor is opened on it, addresses and flags are typed with key events, and the accept writes
// the settings file, the signal table file and the gateway file, compared with bytes worked out
// by hand from their formats.
#include "EditorWindow.h"

#include "app/Text.h"

#include <QTabBar>

using namespace tarveon;
using namespace tarveon::test;

namespace {

// Little-endian builders for the expected gateway file.
struct Bytes {
    QByteArray b;
    Bytes &u8(int v)
    {
        b.append(char(quint8(v)));
        return *this;
    }
    Bytes &i16(int v)
    {
        const quint16 u = quint16(qint16(v));
        return u8(u & 0xFF).u8(u >> 8);
    }
    Bytes &i32(qint64 v)
    {
        const quint32 u = quint32(qint32(v));
        return u8(u & 0xFF).u8((u >> 8) & 0xFF).u8((u >> 16) & 0xFF).u8(u >> 24);
    }
    Bytes &zeros(int n)
    {
        b.append(QByteArray(n, '\0'));
        return *this;
    }
    Bytes &text(const QByteArray &t)
    {
        b.append(t);
        return *this;
    }
};

QList<QByteArray> lines(const QByteArray &bytes)
{
    QList<QByteArray> out = bytes.split('\n');
    if (!out.isEmpty() && out.last().isEmpty())
        out.removeLast();
    for (QByteArray &l : out)
        l.append('\n');
    return out;
}

} // namespace

class tst_EditorEndToEnd : public QObject {
    Q_OBJECT
private slots:
    void newProjectToGatewayFile();
};

void tst_EditorEndToEnd::newProjectToGatewayFile()
{
    EditorFixture f;
    QVERIFY(f.created);
    QVERIFY(f.opened);
    QCOMPARE(f.ctx().ProtocolFamily, QStringLiteral("ZTR001"));
    f.ctx().clock = [] { return QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)); };
    const QByteArray templateTable = f.read("ZTR001-PACKAGED.dat");
    QVERIFY(!templateTable.isEmpty());

    fConfKorvaneEIB w(f.ctx());
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));

    // Settings page: typed over the loaded texts, each field left with Tab.
    auto retype = [](QLineEdit *edit, const QString &text) {
        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
    };
    retype(w.txtIp, "10.0.0.20");
    retype(w.txtGateway, "10.0.0.1");
    retype(w.txtPhyAdd, "1.1.250");
    QTest::mouseClick(w.lstMaquina->viewport(), Qt::LeftButton, {},
                      w.lstMaquina->visualItemRect(w.lstMaquina->item(0)).center());
    QTest::keyClick(w.lstMaquina, Qt::Key_Space);
    QCOMPARE(w.lstMaquina->item(0)->checkState(), Qt::Checked);
    retype(w.txtMaquina[2], "Hall");
    QVERIFY(f.prompter().records.isEmpty());

    // Signal table: On/Off (row 3), Mode (row 4) with a further address and U, its first bit (row 5).
    QTabBar *tabs = w.TabStrip1->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(1).center());
    auto clickCell = [&](int row, int column) {
        const QModelIndex i = w.viewIndex(row, column);
        w.grid->scrollTo(i);
        QTest::mouseClick(w.grid->viewport(), Qt::LeftButton, {}, w.grid->visualRect(i).center());
    };
    // Each key goes where the focus is: the first starts the edit box, the others go into it.
    auto typeInBox = [&](const QString &text, Qt::Key end) {
        for (QChar ch : text)
            QTest::keyClick(QApplication::focusWidget(), ch.toLatin1());
        QTest::keyClick(QApplication::focusWidget(), end);
    };
    clickCell(3, kColAddress);
    typeInBox("1/0/1", Qt::Key_Return);
    clickCell(3, kColYesNo);
    QTest::keyClick(w.grid, '1');
    clickCell(4, kColAddress);
    typeInBox("1/0/2", Qt::Key_Tab);
    QCOMPARE(w.session().current(), (GridCell{4, kColFurtherAddresses}));
    typeInBox("1/0/3", Qt::Key_Return);
    clickCell(4, kColU);
    QTest::keyClick(w.grid, 'u');
    QTest::keyClick(w.grid, Qt::Key_Right);
    QTest::keyClick(w.grid, '1');
    clickCell(5, kColAddress);
    typeInBox("1/0/4", Qt::Key_Return);
    clickCell(5, kColYesNo);
    QTest::keyClick(w.grid, '1');

    // Accept: save, then generate; the report is acknowledged.
    f.prompter().msgBoxAnswers = {1, 1, 1};
    QTest::mouseClick(w.cmdAceptar, Qt::LeftButton);

    // Settings file: the template's keys with the typed values.
    QCOMPARE(f.read("ZTR001-PACKAGED.ini"),
             QByteArray("[ZTR001-PACKAGED]\r\nIP=10.0.0.20\r\nNetMask=255.255.255.0\r\nGateway=10.0.0.1\r\n"
                        "TmPolling_ms=1000\r\nIPTRBAS=192.168.0.2\r\nPortTRBAS=502\r\nDevices=1\r\nD1-Active=1\r\n"
                        "D1-Sys=0\r\nD1-Uni=1\r\nD1-Name=Hall\r\n\r\n[EIB]\r\nPhyAdd=1.1.250\r\n"
                        "UpdateOnResetoErrEIB=0\r\ntS_DelayUpdateBus=4\r\n"));

    // Signal table file: header lines, titles, the three edited rows, the others as the template had them.
    auto t = [&](const char *key) { return f.ctx().GetText(QLatin1String(key)); };
    const QString yes = t("X10");
    QList<QByteArray> expected = lines(templateTable);
    QCOMPARE(expected.size(), 4 + 40);
    expected[0] = "PROTOCOLO=70-ZTR001-PACKAGED\r\n";
    expected[1] = "VERSION=ZDM.1.0\r\n";
    expected[2] = "CAMPOS=12\r\n";
    expected[3] = toCp1252("\tUnit\tC\u00f3digo\t" + t("X75") + "\tEIS\t" + t("EIB42") + "\t" + t("EIB41")
                           + "\tR\tW\tT\tU\t" + t("X12") + "\t\r\n");
    expected[4 + 2] = toCp1252("3\t1\t00 - " + t("H32") + "\t" + t("H2") + ": " + t("H3")
                               + ". (R/W)\t01 - Switching (1 bit)\t1/0/1\t\tR\tW\tT\t\t" + yes + "\t\r\n");
    expected[4 + 3] = toCp1252("4\t1\t01 - " + t("H33") + "\t" + t("H4") + ": " + t("H5")
                               + ". (R/W)\t14 - Counter (8 bit)\t1/0/2\t1/0/3\t\tW\tT\tU\t" + yes + "\t\r\n");
    expected[4 + 4] = toCp1252("5\t1\t18 - " + t("H50") + " (0)\t" + t("H4") + ":" + t("H50")
                               + ". (R/W)\t01 - Switching (1 bit)\t1/0/4\t\tR\tW\tT\t\t" + yes + "\t\r\n");
    const QList<QByteArray> written = lines(f.read("ZTR001-PACKAGED.dat"));
    QCOMPARE(written.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i)
        QCOMPARE(written[i], expected[i]);

    // Gateway file. Groups by address: 1/0/1 = 2049 (row 3, code 0), 1/0/2 = 2050 (row 4, code 1),
    // 1/0/3 = 2051 (listened to by row 4 only), 1/0/4 = 2052 (row 5, bit code 18).
    Bytes c;
    QByteArray header = "KORVANE-ZTR001-V.1.0 2024/03/05 14:07:09";
    header += QByteArray(62 - header.size(), ' ') + "\r\n";
    c.text(header).zeros(63).u8(0).u8(0);
    c.i32(60).i32(2000).i32(100).i32(5).i32(100).i32(6000); // timings: defaults
    c.u8(0);                                                 // no refresh after a bus reset
    c.i32(4096 + 256 + 250);                                 // 1.1.250
    c.u8(4).zeros(15);
    c.text("10.0.0.20").u8(0).text("      ");
    c.text("255.255.255.0").u8(0).text("  ");
    c.text("10.0.0.1").u8(0).text("       ");
    c.i32(4602).u8(1).zeros(16);
    c.i16(10).i16(2).i32(1000).zeros(16);
    c.text("192.168.0.2     ").i32(502);
    c.i16(-1).u8(1).zeros(15); // no controller status group; unit project
    c.i16(0).i16(4);           // first group not 0, group count
    // Grupo, IdxPuntos, IdxEnlaces, NEnlaces, Flags (R 8, W 4, T 2, U 1), TipoEIS, GrupoU
    c.i16(2049).i16(0).i16(-1).u8(0).u8(8 + 4 + 2).u8(1).i16(2049);
    c.i16(2050).i16(1).i16(-1).u8(0).u8(4 + 2 + 1).u8(14).i16(2050);
    c.i16(2051).i16(-1).i16(0).u8(1).u8(4).u8(14).i16(0);
    c.i16(2052).i16(18).i16(-1).u8(0).u8(8 + 4 + 2).u8(1).i16(2052);
    c.i16(1).i16(1); // one link: group 2051 feeds group 1 (2050)
    c.i16(1);        // one device
    c.u8(0).u8(1).i16(-1); // system 0, unit 1, no device status group
    c.i16(3);              // bit code 18: group 3
    for (int i = 1; i < 20; ++i)
        c.i16(-1);
    c.u8(2).i16(0).i16(1); // codes 0 and 1 have groups
    for (int i = 2; i < 18; ++i)
        c.i16(-2);
    QCOMPARE(c.b.size(), 440);
    qint32 sum = 0;
    for (char byte : c.b)
        sum += quint8(byte);
    Bytes file;
    file.i32(sum).text(c.b);
    const QByteArray zdm = f.read("ZTR001-PACKAGED.zdm");
    QCOMPARE(zdm.size(), 444);
    for (qsizetype i = 0; i < zdm.size(); ++i) {
        if (zdm[i] != file.b[i])
            QFAIL(qPrintable(QStringLiteral("gateway file differs at byte %1").arg(i)));
    }

    // The questions and the report, in order.
    QCOMPARE(f.messages(),
             (QStringList{t("A23"), t("A24"),
                          t("X39") + " EIB:4 Add.Listen:1 Bytes:444. ChkSum:" + QString::number(sum, 16).toUpper()
                              + "\r" + t("A20")}));
    QVERIFY(!w.cmdTarveon->isEnabled());
    QVERIFY(!w.session().tableChanged);
    QVERIFY(!w.session().settingsChanged);
}

QTEST_MAIN(tst_EditorEndToEnd)
#include "tst_editorendtoend.moc"
