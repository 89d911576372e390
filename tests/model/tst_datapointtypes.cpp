// Datapoint types of the signals and the value codecs, against bytes worked out by hand:
// DPT 9 is 0.01 * M * 2^E with M 12-bit two's complement (sign in bit 15, the rest in bits 0..10)
// and E in bits 11..14; the smallest E that holds the rounded mantissa is used.
#include "TestSupport.h"
#include "tools/KnxSignals.h"

#include <QtTest>
#include <cmath>

using namespace tarveon;
using enum MachineType;

class TestDatapointTypes : public QObject {
    Q_OBJECT
    test::TestContext t;

private slots:
    // The type of each kind of signal, from the EIS number and the catalogue's meaning.
    void signalTypes_data()
    {
        QTest::addColumn<MachineType>("type");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("eis");
        QTest::addColumn<QString>("ets");
        QTest::addColumn<QString>("description");
        QTest::newRow("on/off") << IndoorUnits << 0 << 1 << "DPST-1-1" << "DPT 1.001 switch";
        QTest::newRow("controller status") << IndoorUnits << 100 << 1 << "DPST-1-5" << "DPT 1.005 alarm";
        QTest::newRow("device status") << Chillers << 101 << 1 << "DPST-1-5" << "DPT 1.005 alarm";
        QTest::newRow("mode step") << IndoorUnits << 23 << 1 << "DPST-1-7" << "DPT 1.007 step";
        QTest::newRow("setpoint step") << IndoorUnits << 37 << 1 << "DPST-1-7" << "DPT 1.007 step";
        QTest::newRow("chiller step") << Chillers << 15 << 1 << "DPST-1-7" << "DPT 1.007 step";
        QTest::newRow("chiller code 23, not a step") << Chillers << 23 << 1 << "DPST-1-1" << "DPT 1.001 switch";
        QTest::newRow("bit 24, not a step") << IndoorUnits << 24 << 1 << "DPST-1-1" << "DPT 1.001 switch";
        QTest::newRow("setpoint") << IndoorUnits << 3 << 5 << "DPST-9-1" << "DPT 9.001 temperature (\u00B0C)";
        QTest::newRow("valve") << IndoorUnits << 13 << 6 << "DPST-5-1" << "DPT 5.001 percentage (0..100 %)";
        QTest::newRow("mode") << IndoorUnits << 1 << 14 << "DPST-5-10" << "DPT 5.010 counter pulses (0..255)";
        QTest::newRow("EIS 9, no subtype") << IndoorUnits << 1 << 9 << "DPT-14" << "DPT 14";
        QTest::newRow("EIS 15, the last") << IndoorUnits << 1 << 15 << "DPST-16-0" << "DPT 16.000";
        QTest::newRow("EIS 16, one past") << IndoorUnits << 1 << 16 << "" << "";
        QTest::newRow("EIS 0") << IndoorUnits << 1 << 0 << "" << "";
    }
    void signalTypes()
    {
        QFETCH(MachineType, type);
        QFETCH(int, code);
        QFETCH(int, eis);
        const Dpt dpt = SignalDpt(type, code, eis);
        QTEST(dpt.etsText(), "ets");
        QTEST(DptDescription(*t.ctx, dpt), "description");
    }

    void codec_data()
    {
        QTest::addColumn<QString>("dpt");
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<double>("decoded");
        QTest::newRow("9: zero") << "9.001" << 0.0 << QByteArray("0000") << 0.0;
        QTest::newRow("9: -0.01") << "9.001" << -0.01 << QByteArray("87ff") << -0.01;
        QTest::newRow("9: 23.0") << "9.001" << 23.0 << QByteArray("0c7e") << 23.0;
        QTest::newRow("9: 21.5") << "9.001" << 21.5 << QByteArray("0c33") << 21.5;
        QTest::newRow("9: 20.47, E 0") << "9.001" << 20.47 << QByteArray("07ff") << 20.47;
        QTest::newRow("9: 20.48, E 1") << "9.001" << 20.48 << QByteArray("0c00") << 20.48;
        QTest::newRow("9: 20.49 rounds up") << "9.001" << 20.49 << QByteArray("0c01") << 20.50;
        QTest::newRow("9: -20.49 rounds away") << "9.001" << -20.49 << QByteArray("8bff") << -20.50;
        QTest::newRow("9: half a hundredth") << "9.001" << 0.005 << QByteArray("0001") << 0.01;
        QTest::newRow("9: largest") << "9.001" << 670760.96 << QByteArray("7fff") << 670760.96;
        QTest::newRow("9: smallest") << "9.001" << -671088.64 << QByteArray("f800") << -671088.64;
        QTest::newRow("5.001: 0") << "5.001" << 0.0 << QByteArray("00") << 0.0;
        QTest::newRow("5.001: 50 %") << "5.001" << 50.0 << QByteArray("80") << 12800.0 / 255.0;
        QTest::newRow("5.001: 100 %") << "5.001" << 100.0 << QByteArray("ff") << 100.0;
        QTest::newRow("5.010: 255") << "5.010" << 255.0 << QByteArray("ff") << 255.0;
        QTest::newRow("1: on") << "1.001" << 1.0 << QByteArray("01") << 1.0;
        QTest::newRow("1: off") << "1.001" << 0.0 << QByteArray("00") << 0.0;
    }
    void codec()
    {
        QFETCH(QString, dpt);
        QFETCH(double, value);
        QFETCH(QByteArray, bytes);
        QFETCH(double, decoded);
        const std::optional<QByteArray> encoded = EncodeValue(ParseDpt(dpt), value);
        QVERIFY(encoded);
        QCOMPARE(encoded->toHex(), bytes);
        const std::optional<double> back = DecodeValue(ParseDpt(dpt), QByteArray::fromHex(bytes));
        QVERIFY(back);
        QVERIFY2(std::fabs(*back - decoded) < 1e-9, qPrintable(QString::number(*back, 'f', 6)));
    }

    // One past each limit: no bytes; bytes of the wrong size: no value.
    void refused_data()
    {
        QTest::addColumn<QString>("dpt");
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("9: above the largest") << "9.001" << 670760.97 << QByteArray("0c");
        QTest::newRow("9: below the smallest") << "9.001" << -671088.65 << QByteArray("0c7e00");
        QTest::newRow("9: not a number") << "9.001" << std::nan("") << QByteArray();
        QTest::newRow("5.001: 100.5 %") << "5.001" << 100.5 << QByteArray("0000");
        QTest::newRow("5.001: below 0") << "5.001" << -0.5 << QByteArray();
        QTest::newRow("5.010: 256") << "5.010" << 256.0 << QByteArray("ffff");
        QTest::newRow("5.010: -1") << "5.010" << -1.0 << QByteArray();
        QTest::newRow("1: 2") << "1.001" << 2.0 << QByteArray("0101");
        QTest::newRow("4-byte float") << "14.000" << 1.0 << QByteArray("00000000");
    }
    void refused()
    {
        QFETCH(QString, dpt);
        QFETCH(double, value);
        QFETCH(QByteArray, bytes);
        QVERIFY(!EncodeValue(ParseDpt(dpt), value));
        QVERIFY(!DecodeValue(ParseDpt(dpt), QByteArray::fromHex(bytes)));
    }

    // Values as the monitors will show them, with the catalogue's range texts.
    void valueText_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<MachineType>("type");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("eis");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("inlet temperature") << 0 << IndoorUnits << 7 << 5 << QByteArray("0c92") << "23.40 \u00B0C";
        QTest::newRow("on") << 0 << IndoorUnits << 0 << 1 << QByteArray("01") << "On";
        QTest::newRow("off") << 0 << IndoorUnits << 0 << 1 << QByteArray("00") << "Off";
        QTest::newRow("mode") << 0 << IndoorUnits << 1 << 14 << QByteArray("01") << "Mode 1 Cool";
        QTest::newRow("fan") << 0 << IndoorUnits << 2 << 14 << QByteArray("02") << "Fan 2 High";
        QTest::newRow("louver auto") << 0 << IndoorUnits << 4 << 14 << QByteArray("08") << "Louver 8 Auto";
        QTest::newRow("louver position") << 0 << IndoorUnits << 4 << 14 << QByteArray("03") << "3";
        QTest::newRow("valve") << 0 << IndoorUnits << 13 << 6 << QByteArray("73") << "45 %";
        QTest::newRow("status") << 0 << IndoorUnits << 100 << 1 << QByteArray("01") << "Fault";
        QTest::newRow("bit without range") << 0 << IndoorUnits << 18 << 1 << QByteArray("00") << "Off";
        QTest::newRow("step") << 0 << IndoorUnits << 23 << 1 << QByteArray("01") << "Increase";
        QTest::newRow("chiller mode") << 0 << Chillers << 1 << 14 << QByteArray("01") << "Mode 1 Heat";
        QTest::newRow("wrong size") << 0 << IndoorUnits << 7 << 5 << QByteArray("0c") << "";
        QTest::newRow("Spanish mode") << 1 << IndoorUnits << 1 << 14 << QByteArray("01") << "Modo 1 Fr\u00EDo";
        QTest::newRow("Spanish on") << 1 << IndoorUnits << 0 << 1 << QByteArray("01") << "Marcha";
    }
    void valueText()
    {
        QFETCH(int, language);
        QFETCH(MachineType, type);
        QFETCH(int, code);
        QFETCH(int, eis);
        QFETCH(QByteArray, bytes);
        QFile lng(t.dir.filePath("RESOURCES.LNG"));
        QVERIFY(lng.open(QIODevice::ReadOnly));
        QVERIFY(t.ctx->language.LoadLanguageBytes(lng.readAll(), lng.fileName(), language));
        QTEST(SignalValueText(*t.ctx, type, code, eis, QByteArray::fromHex(bytes)), "text");
    }

    // Limits, unit and meanings as the exports read them: "min..max unit | value=meaning ...".
    void rangeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("read");
        QTest::newRow("negative limit and unit") << "-50..100 \u00BAC" << "-50..100 \u00BAC |";
        QTest::newRow("limits and a meaning") << "0..7, 8-Auto" << "0..7  | 8=Auto";
        QTest::newRow("meanings only") << "0-Cool, 1-Heat" << "..  | 0=Cool 1=Heat";
    }
    void rangeText()
    {
        QFETCH(QString, text);
        const RangeText range = ParseRangeText(text);
        QString read = (range.min ? QString::number(*range.min) : QString()) + ".."
                       + (range.max ? QString::number(*range.max) : QString()) + ' ' + range.unit + " |";
        for (auto it = range.meanings.cbegin(); it != range.meanings.cend(); ++it)
            read += ' ' + QString::number(it.key()) + '=' + it.value();
        QTEST(read, "read");
    }
};

QTEST_GUILESS_MAIN(TestDatapointTypes)
#include "tst_datapointtypes.moc"
