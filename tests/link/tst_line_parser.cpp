#include "LinkTestSupport.h"
#include "link/FakeSerialPort.h"
#include "link/LineFramer.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace tarveon;

namespace {

// A stream as the gateway sends it, and the lines that must come out of it.
const QByteArray kStream = "Protocol:ZTR001.V2\r\n"
                           "GP:01/2/003=21.5\r\n"
                           "EIB>1.1.5 01/2/003 Write\r"
                           "\n"
                           "EXT<TRBAS read\r\n"
                           "\r\n"
                           "free text\r"
                           "\nlast\r";
const QList<QByteArray> kLines = {"Protocol:ZTR001.V2", "GP:01/2/003=21.5", "EIB>1.1.5 01/2/003 Write",
                                  "EXT<TRBAS read",     "",                 "free text",
                                  "last"};

QList<QByteArray> frame(const QList<QByteArray> &chunks, LineFramer &framer)
{
    QList<QByteArray> out;
    for (const QByteArray &c : chunks)
        framer.feed(c, [&](QByteArrayView line) { out << line.toByteArray(); });
    return out;
}

QList<QByteArray> randomChunks(const QByteArray &data, quint32 seed, int maxChunk)
{
    QRandomGenerator rng(seed);
    QList<QByteArray> chunks;
    for (qsizetype pos = 0; pos < data.size();) {
        const int n = 1 + int(rng.bounded(maxChunk));
        chunks << data.mid(pos, n);
        pos += n;
    }
    return chunks;
}

} // namespace

class TestLineParser : public QObject {
    Q_OBJECT
private slots:
    void framerWholeStream()
    {
        LineFramer framer;
        QCOMPARE(frame({kStream}, framer), kLines);
        QVERIFY(framer.pending().isEmpty());
    }

    void framerByteByByte()
    {
        LineFramer framer;
        QList<QByteArray> chunks;
        for (char c : kStream)
            chunks << QByteArray(1, c);
        QCOMPARE(frame(chunks, framer), kLines);
    }

    void framerRandomChunks_data()
    {
        QTest::addColumn<quint32>("seed");
        QTest::addColumn<int>("maxChunk");
        for (quint32 seed = 1; seed <= 6; ++seed)
            QTest::addRow("seed %u", seed) << seed << int(2 + seed * 3);
    }
    void framerRandomChunks()
    {
        QFETCH(quint32, seed);
        QFETCH(int, maxChunk);
        QByteArray big;
        QList<QByteArray> expected;
        for (int i = 0; i < 200; ++i) {
            big += kStream;
            expected += kLines;
        }
        LineFramer framer;
        QCOMPARE(frame(randomChunks(big, seed, maxChunk), framer), expected);
    }

    void framerKeepsPartialLine()
    {
        LineFramer framer;
        QCOMPARE(frame({"GP:01/2/00"}, framer), QList<QByteArray>{});
        QCOMPARE(framer.pending(), QByteArray("GP:01/2/00"));
        QCOMPARE(frame({"3=21.5\r"}, framer), QList<QByteArray>{"GP:01/2/003=21.5"});
        QVERIFY(framer.pending().isEmpty());
    }

    // The link's parser distributes the same way whatever the chunking.
    void linkDistributionIndependentOfChunks_data()
    {
        QTest::addColumn<int>("mode"); // 0 whole, 1 byte by byte, 2.. random
        QTest::newRow("whole") << 0;
        QTest::newRow("byte by byte") << 1;
        QTest::newRow("random 7") << 7;
        QTest::newRow("random 13") << 13;
    }
    void linkDistributionIndependentOfChunks()
    {
        QFETCH(int, mode);
        test::TestContext tc;
        test::ensureTexts(tc, test::linkTextKeys());
        AppContext &ctx = *tc.ctx;
        ctx.ProtocolFamily = "ZTR001";
        ctx.ProjectProtocol = "ZTR001-CHILLER";
        auto *port = new FakeSerialPort;
        SerialLink link(ctx, port);
        QStringList gateway, eib, ext;
        connect(&link, &SerialLink::gatewayLine, this,
                [&](const QString &l, const QString &m) { gateway << m + l; });
        connect(&link, &SerialLink::eibLine, this, [&](const QString &l) { eib << l; });
        connect(&link, &SerialLink::extLine, this, [&](const QString &l) { ext << l; });
        link.chkOnline_Click(true);
        QCOMPARE(ctx.LinkState, qint16(1));
        ctx.BusIntOn = true;
        ctx.BusExtOn = true;
        QList<QByteArray> chunks;
        if (mode == 0)
            chunks << kStream;
        else if (mode == 1)
            for (char c : kStream)
                chunks << QByteArray(1, c);
        else
            chunks = randomChunks(kStream, quint32(mode), mode);
        for (const QByteArray &c : chunks)
            port->receive(c);
        QCOMPARE(ctx.LinkState, qint16(2));
        QCOMPARE(gateway, (QStringList{">Protocol:ZTR001.V2", "<ONCHANGES", ">GP:01/2/003=21.5", ">", ">free text",
                                       ">last"}));
        QCOMPARE(eib, QStringList{"EIB>1.1.5 01/2/003 Write"});
        QCOMPARE(ext, QStringList{"EXT<TRBAS read"});
        QVERIFY(link.RxBuffer().isEmpty());
    }

    void leadingValue_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("decimal") << QByteArray("21.5") << 21.5;
        QTest::newRow("two decimals") << QByteArray("21.50") << 21.5;
        QTest::newRow("negative") << QByteArray("-3.25") << -3.25;
        QTest::newRow("trailing text") << QByteArray("12.5 C") << 12.5;
        QTest::newRow("leading blanks") << QByteArray("  7") << 7.0;
        QTest::newRow("exponent") << QByteArray("1.5E2") << 150.0;
        QTest::newRow("comma stops") << QByteArray("3,75") << 3.0;
        QTest::newRow("empty") << QByteArray("") << 0.0;
        QTest::newRow("letters") << QByteArray("abc") << 0.0;
        QTest::newRow("dot first") << QByteArray(".5") << 0.5;
    }
    void leadingValue()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, value);
        QCOMPARE(tarveon::leadingValue(text), value);
    }

    void lineSettings_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("baud");
        QTest::addColumn<QString>("parity");
        QTest::addColumn<int>("data");
        QTest::addColumn<int>("stop");
        QTest::newRow("default") << "57600,n,8,1" << true << 57600 << "n" << 8 << 1;
        QTest::newRow("even 7 2") << "9600,e,7,2" << true << 9600 << "e" << 7 << 2;
        QTest::newRow("upper parity") << "1200,O,8,1" << true << 1200 << "o" << 8 << 1;
        QTest::newRow("one and a half") << "4800,n,5,1.5" << true << 4800 << "n" << 5 << 15;
        QTest::newRow("unusual baud") << "250000,n,8,1" << true << 250000 << "n" << 8 << 1;
        QTest::newRow("missing part") << "57600,n,8" << false << 0 << "" << 0 << 0;
        QTest::newRow("bad parity") << "57600,x,8,1" << false << 0 << "" << 0 << 0;
        QTest::newRow("bad baud") << "fast,n,8,1" << false << 0 << "" << 0 << 0;
        QTest::newRow("zero baud") << "0,n,8,1" << false << 0 << "" << 0 << 0;
        QTest::newRow("nine bits") << "57600,n,9,1" << false << 0 << "" << 0 << 0;
        QTest::newRow("three stops") << "57600,n,8,3" << false << 0 << "" << 0 << 0;
    }
    void lineSettings()
    {
        QFETCH(QString, text);
        QFETCH(bool, ok);
        LineSettings s;
        QCOMPARE(LineSettings::parse(text, &s), ok);
        if (!ok)
            return;
        QFETCH(int, baud);
        QFETCH(QString, parity);
        QFETCH(int, data);
        QFETCH(int, stop);
        QCOMPARE(s.baudRate, baud);
        QCOMPARE(QString(QLatin1Char(s.parity)), parity);
        QCOMPARE(s.dataBits, data);
        QCOMPARE(s.stopBits, stop);
    }
};

QTEST_GUILESS_MAIN(TestLineParser)
#include "tst_line_parser.moc"
