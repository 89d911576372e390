// The text rules every part reads numbers and addresses with: the leading number (of texts, and
// of the gateway's value reports), whole-text numbers, group and physical addresses.
#include "model/GroupAddress.h"

#include <QtTest>
#include <cmath>
#include <limits>

using namespace tarveon;

class TestGroupAddress : public QObject {
    Q_OBJECT
private slots:
    // LeadingNumber of the text and LeadingValue of its bytes agree except for the exponent; as an
    // integer the number rounds half to even and saturates.
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("integer");
        const double inf = std::numeric_limits<double>::infinity();
        const auto row = [](const char *name, const QString &text, double number, double value, qint64 integer) {
            QTest::newRow(name) << text << number << value << integer;
        };
        row("empty", "", 0, 0, 0);
        row("digits then text", "101-Not Exist", 101, 101, 101);
        row("blanks, tabs, line feeds inside", " 1 2\t3\n4 ", 1234, 1234, 1234);
        row("carriage return stops", "1\r2", 1, 1, 1);
        row("signs", "- 5x", -5, -5, -5);
        row("two signs", "--5", 0, 0, 0);
        row("half to even down", ".5", 0.5, 0.5, 0);
        row("half to even up", " 3 . 5 ", 3.5, 3.5, 4);
        row("negative half", "-2.5", -2.5, -2.5, -2);
        row("second point stops", "1.2.3", 1.2, 1.2, 1);
        row("exponent", "1.5E3", 1.5, 1500, 2);
        row("exponent D, negative", "25d-1", 25, 2.5, 25);
        row("exponent without digits", "7E+x", 7, 7, 7);
        row("six exponent digits at most", "1E0000012", 1, 10, 1);
        row("hex", " & h 1F", 31, 31, 31);
        row("hex 16 bits unsigned", "&HFFFF", 65535, 65535, 65535);
        row("octal stops at 8", "&o178", 15, 15, 15);
        row("slash first", "/2/3", 0, 0, 0);
        row("beyond double", QString(400, u'9'), inf, inf, std::numeric_limits<qint64>::max());
        row("tiny fraction", "0." + QString(400, u'0') + "1", 0, 0, 0);
        row("long run of zeros", QString(100000, u'0') + "42", 42, 42, 42);
        row("non-ascii digit", QString::fromUtf8("\xd9\xa3"), 0, 0, 0);
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, number);
        QFETCH(double, value);
        QFETCH(qint64, integer);
        QCOMPARE(LeadingNumber(text), number);
        QCOMPARE(LeadingInteger(text), integer);
        if (text.toLatin1() == text.toUtf8()) // plain ASCII, as the gateway sends
            QCOMPARE(LeadingValue(text.toLatin1()), value);
    }

    void isNumeric()
    {
        for (const QString &t : QStringList{" 15 ", "\t-3\t", "+3", ".5", "5.", "&H1f", "&O17"})
            QVERIFY2(IsNumericText(t), qPrintable(t));
        for (const QString &t : QStringList{"&O18", "&H", "", "   ", "1a", "1 2", "1.2.3", "-", ".", "1E3"})
            QVERIFY2(!IsNumericText(t), qPrintable(t));
        QCOMPARE(TrimBlanks(u" \ta\t "), QStringLiteral("\ta\t")); // blanks only, never tabs
    }

    void groupTextToNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("three-level") << " 1 / 2 / 3 " << 2563;
        QTest::newRow("two-level") << "1/515" << 2563;
        QTest::newRow("plain") << "2563" << 2563;
        QTest::newRow("slash first is plain") << "/2/3" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("main 15 highest") << "15/7/255" << 32767;
        QTest::newRow("main 16 does not fit") << "16/0/0" << -1;
        QTest::newRow("two-level highest") << "15/2047" << 32767;
        QTest::newRow("two-level one past") << "15/2048" << -1;
        QTest::newRow("plain 32768") << "32768" << -1;
        QTest::newRow("plain -32768 fits") << "-32768" << -32768;
        QTest::newRow("parts half to even") << "0.5/0/2.5" << 2;
        QTest::newRow("huge part") << "99999999999999999999/1/1" << -1;
    }
    void groupTextToNumber()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(int(GroupTextToNumber(text)), expected);
    }

    void takeFirstGroup_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QList<int>>("values"); // taken until the list is empty
        QTest::newRow("two items") << "1/0/1, 1/0/2" << QList<int>{2049, 2050};
        QTest::newRow("blanks around items") << " 1/0/1,    2/0/0 ,3/1/4 " << QList<int>{2049, 4096, 6404};
        QTest::newRow("empty") << "   " << QList<int>{0};
        QTest::newRow("empty item") << ",1/0/2" << QList<int>{0, 2050};
        QTest::newRow("item does not fit") << "16/0/0,1/0/1" << QList<int>{-1, 2049};
    }
    void takeFirstGroup()
    {
        QFETCH(QString, list);
        QFETCH(QList<int>, values);
        QList<int> taken{TakeFirstGroup(list)};
        while (!list.isEmpty())
            taken << TakeFirstGroup(list);
        QCOMPARE(taken, values);
    }

    void groupNumberToText_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("padded");
        QTest::newRow("2563") << 2563 << "1/2/3" << "01/2/003";
        QTest::newRow("32767") << 32767 << "15/7/255" << "15/7/255";
        QTest::newRow("10/3/45") << 10 * 2048 + 3 * 256 + 45 << "10/3/45" << "10/3/045";
    }
    void groupNumberToText()
    {
        QFETCH(int, value);
        QFETCH(QString, plain);
        QFETCH(QString, padded);
        QCOMPARE(GroupNumberToText(qint16(value)), plain);
        QCOMPARE(GroupNumberToPaddedText(qint16(value)), padded);
        QCOMPARE(int(GroupTextToNumber(padded)), value);
    }

    void physicalTextToNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("default") << "15.15.255" << 65535;
        QTest::newRow("two parts") << "1.1" << 4096;
        QTest::newRow("blanks") << "  1 . 1 . 1  " << 4353;
        QTest::newRow("dot first is plain") << ".1.1" << 0;
        QTest::newRow("second dot first in rest") << "1..5" << 4096;
        QTest::newRow("saturates") << "99999999999" << std::numeric_limits<qint32>::max();
    }
    void physicalTextToNumber()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(PhysicalTextToNumber(text), expected);
        QCOMPARE(PhysicalNumberToText(65535), QStringLiteral("15.15.255"));
    }
};

QTEST_GUILESS_MAIN(TestGroupAddress)
#include "tst_groupaddress.moc"
