#include "model/GroupAddress.h"

#include <QtTest>
#include <cmath>
#include <limits>

using namespace tarveon;

class TestGroupAddress : public QObject {
    Q_OBJECT
private slots:
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("no number") << "abc" << 0.0;
        QTest::newRow("digits") << "2563" << 2563.0;
        QTest::newRow("digits then text") << "12ab" << 12.0;
        QTest::newRow("code caption") << "101-Not Exist" << 101.0;
        QTest::newRow("padded caption") << "05 - Float (16 bit)" << 5.0;
        QTest::newRow("blanks inside") << " 1 2 3 " << 123.0;
        QTest::newRow("tab and line feed inside") << "\t1\n2\t" << 12.0;
        QTest::newRow("carriage return stops") << "1\r2" << 1.0;
        QTest::newRow("minus") << "-3x" << -3.0;
        QTest::newRow("plus") << "+7" << 7.0;
        QTest::newRow("sign then blank") << "- 5" << -5.0;
        QTest::newRow("two signs") << "--5" << 0.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("decimal") << "2.5" << 2.5;
        QTest::newRow("point first") << ".5" << 0.5;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("point alone") << "." << 0.0;
        QTest::newRow("no exponent") << "1E3" << 1.0;
        QTest::newRow("comma stops") << "1,5" << 1.0;
        QTest::newRow("leading zeros") << "000012" << 12.0;
        QTest::newRow("hex") << "&H1F" << 31.0;
        QTest::newRow("hex lower case") << "&hff" << 255.0;
        QTest::newRow("hex 16 bits unsigned") << "&HFFFF" << 65535.0;
        QTest::newRow("hex stops at non-digit") << "&H1G" << 1.0;
        QTest::newRow("hex with blanks") << " & H 1 0" << 16.0;
        QTest::newRow("octal") << "&O17" << 15.0;
        QTest::newRow("octal stops at 8") << "&o178" << 15.0;
        QTest::newRow("ampersand alone") << "&" << 0.0;
        QTest::newRow("ampersand digits") << "&17" << 0.0;
        QTest::newRow("ampersand H no digits") << "&H" << 0.0;
        QTest::newRow("slash") << "/2/3" << 0.0;
        QTest::newRow("spaced address") << " 1 / 2 / 3 " << 1.0;
        QTest::newRow("campos rest") << "12" << 12.0;
        QTest::newRow("non-ascii digit") << QString::fromUtf8("\xd9\xa3") << 0.0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(LeadingNumber(text), expected);
    }

    void leadingNumberExtremes()
    {
        // Far beyond the double range: infinity, and as an integer the largest one.
        const QString huge = QString(400, u'9');
        QVERIFY(std::isinf(LeadingNumber(huge)));
        QCOMPARE(LeadingInteger(huge), std::numeric_limits<qint64>::max());
        QCOMPARE(LeadingInteger(u'-' + huge), std::numeric_limits<qint64>::min());
        // Tiny fractions vanish instead of failing.
        QCOMPARE(LeadingNumber(QStringLiteral("0.") + QString(400, u'0') + u'1'), 0.0);
        // A very long run of zeros before the digits is no trouble.
        QCOMPARE(LeadingNumber(QString(100000, u'0') + QStringLiteral("42")), 42.0);
        QCOMPARE(LeadingNumber(QStringLiteral("&H") + QString(100, u'F')), std::pow(16.0, 100) - 1);
    }

    void roundToInteger_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("0.5 to even 0") << 0.5 << qint64(0);
        QTest::newRow("1.5 to even 2") << 1.5 << qint64(2);
        QTest::newRow("2.5 to even 2") << 2.5 << qint64(2);
        QTest::newRow("3.5 to even 4") << 3.5 << qint64(4);
        QTest::newRow("-0.5 to 0") << -0.5 << qint64(0);
        QTest::newRow("-1.5 to -2") << -1.5 << qint64(-2);
        QTest::newRow("-2.5 to -2") << -2.5 << qint64(-2);
        QTest::newRow("2.4999") << 2.4999 << qint64(2);
        QTest::newRow("2.5001") << 2.5001 << qint64(3);
        QTest::newRow("-2.6") << -2.6 << qint64(-3);
        QTest::newRow("integral") << 32767.0 << qint64(32767);
        QTest::newRow("nan") << std::nan("") << qint64(0);
        QTest::newRow("1e30") << 1e30 << std::numeric_limits<qint64>::max();
        QTest::newRow("-1e30") << -1e30 << std::numeric_limits<qint64>::min();
    }
    void roundToInteger()
    {
        QFETCH(double, value);
        QFETCH(qint64, expected);
        QCOMPARE(RoundToInteger(value), expected);
    }

    void leadingInteger_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("half even down") << "2.5" << qint64(2);
        QTest::newRow("half even up") << "3.5abc" << qint64(4);
        QTest::newRow("blanks and half") << " 1 . 5 " << qint64(2);
        QTest::newRow("negative half") << "-0.5" << qint64(0);
        QTest::newRow("yes/no 1") << "1" << qint64(1);
        QTest::newRow("text") << "No" << qint64(0);
    }
    void leadingInteger()
    {
        QFETCH(QString, text);
        QFETCH(qint64, expected);
        QCOMPARE(LeadingInteger(text), expected);
    }

    void isNumeric_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("numeric");
        QTest::newRow("digits") << "15" << true;
        QTest::newRow("blanks around") << "  15 " << true;
        QTest::newRow("tab around") << "\t15\t" << true;
        QTest::newRow("signed") << "-3" << true;
        QTest::newRow("plus") << "+3" << true;
        QTest::newRow("decimal") << "1.5" << true;
        QTest::newRow("point first") << ".5" << true;
        QTest::newRow("point last") << "5." << true;
        QTest::newRow("hex") << "&H1f" << true;
        QTest::newRow("octal") << "&O17" << true;
        QTest::newRow("bad octal") << "&O18" << false;
        QTest::newRow("ampersand H alone") << "&H" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("blank") << "   " << false;
        QTest::newRow("letter") << "a" << false;
        QTest::newRow("trailing letter") << "1a" << false;
        QTest::newRow("blank inside") << "1 2" << false;
        QTest::newRow("two points") << "1.2.3" << false;
        QTest::newRow("sign alone") << "-" << false;
        QTest::newRow("point alone") << "." << false;
        QTest::newRow("exponent") << "1E3" << false;
    }
    void isNumeric()
    {
        QFETCH(QString, text);
        QFETCH(bool, numeric);
        QCOMPARE(IsNumericText(text), numeric);
    }

    void trimBlanks()
    {
        QCOMPARE(TrimBlanks(u"  a b  "), QStringLiteral("a b"));
        QCOMPARE(TrimBlanks(u"\ta\t"), QStringLiteral("\ta\t"));
        QCOMPARE(TrimBlanks(u"   "), QString());
    }

    void groupTextToNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("three-level") << "1/2/3" << 2563;
        QTest::newRow("two-level") << "1/515" << 2563;
        QTest::newRow("plain") << "2563" << 2563;
        QTest::newRow("blanks everywhere") << " 1 / 2 / 3 " << 2563;
        QTest::newRow("slash first is plain") << "/2/3" << 0;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("zero address") << "0/0/0" << 0;
        QTest::newRow("highest") << "15/7/255" << 32767;
        QTest::newRow("two-level highest") << "15/2047" << 32767;
        QTest::newRow("second slash first in rest") << "1//3" << 2048;
        QTest::newRow("fourth part ignored") << "1/2/3/4" << 2563;
        QTest::newRow("parts are leading numbers") << "1a/2b/3c" << 2563;
        QTest::newRow("half even parts") << "0.5/0/2.5" << 2;
        QTest::newRow("plain half even") << "2.5" << 2;
        QTest::newRow("hex plain") << "&H10" << 16;
        QTest::newRow("negative plain") << "-5" << -5;
        QTest::newRow("main 16 does not fit") << "16/0/0" << -1;
        QTest::newRow("plain 32768 does not fit") << "32768" << -1;
        QTest::newRow("plain -32768 fits") << "-32768" << -32768;
        QTest::newRow("huge parts") << "99999999999999999999/1/1" << -1;
        QTest::newRow("text") << "abc" << 0;
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
        QTest::addColumn<int>("expected");
        QTest::addColumn<QString>("rest");
        QTest::newRow("two items") << "1/0/1, 1/0/2" << 2049 << "1/0/2,";
        QTest::newRow("last item") << "1/0/2," << 2050 << "";
        QTest::newRow("empty list") << "" << 0 << "";
        QTest::newRow("blank list") << "   " << 0 << "";
        QTest::newRow("one item no comma") << " 1/0/3 " << 2051 << "";
        QTest::newRow("empty item") << ",1/0/2" << 0 << "1/0/2,";
        QTest::newRow("blanks after comma") << "1/0/1,    2/0/0 ,3" << 2049 << "2/0/0 ,3,";
        QTest::newRow("item does not fit") << "16/0/0,1/0/1" << -1 << "1/0/1,";
    }
    void takeFirstGroup()
    {
        QFETCH(QString, list);
        QFETCH(int, expected);
        QFETCH(QString, rest);
        QCOMPARE(int(TakeFirstGroup(list)), expected);
        QCOMPARE(list, rest);
    }

    void takeFirstGroupConsumesList()
    {
        QString list = QStringLiteral("1/0/1, 1/0/2 ,  3/1/4");
        QList<int> seen;
        while (!list.isEmpty())
            seen << TakeFirstGroup(list);
        QCOMPARE(seen, (QList<int>{2049, 2050, 3 * 2048 + 256 + 4}));
    }

    void groupNumberToText_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("padded");
        QTest::newRow("2563") << 2563 << "1/2/3" << "01/2/003";
        QTest::newRow("0") << 0 << "0/0/0" << "00/0/000";
        QTest::newRow("32767") << 32767 << "15/7/255" << "15/7/255";
        QTest::newRow("2049") << 2049 << "1/0/1" << "01/0/001";
        QTest::newRow("256") << 256 << "0/1/0" << "00/1/000";
        QTest::newRow("10/3/45") << (10 * 2048 + 3 * 256 + 45) << "10/3/45" << "10/3/045";
    }
    void groupNumberToText()
    {
        QFETCH(int, value);
        QFETCH(QString, plain);
        QFETCH(QString, padded);
        QCOMPARE(GroupNumberToText(qint16(value)), plain);
        QCOMPARE(GroupNumberToPaddedText(qint16(value)), padded);
        QCOMPARE(int(GroupTextToNumber(plain)), value);
        QCOMPARE(int(GroupTextToNumber(padded)), value);
    }

    void physicalTextToNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("default") << "15.15.255" << 65535;
        QTest::newRow("two parts") << "1.1" << 4096;
        QTest::newRow("three parts") << "1.1.1" << 4353;
        QTest::newRow("plain") << "1234" << 1234;
        QTest::newRow("blanks") << "  1 . 1 . 1  " << 4353;
        QTest::newRow("dot first is plain") << ".1.1" << 0;
        QTest::newRow("second dot first in rest") << "1..5" << 4096;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("out of 16 bits") << "16.0.1" << 65537;
        QTest::newRow("zero") << "0.0.0" << 0;
        QTest::newRow("fourth part ignored") << "1.2.3.4" << 4096 + 512 + 3;
        QTest::newRow("saturates") << "99999999999" << std::numeric_limits<qint32>::max();
        QTest::newRow("negative") << "-1.0.0" << -4096;
    }
    void physicalTextToNumber()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(PhysicalTextToNumber(text), expected);
    }

    void physicalNumberToText()
    {
        QCOMPARE(PhysicalNumberToText(65535), QStringLiteral("15.15.255"));
        QCOMPARE(PhysicalNumberToText(4353), QStringLiteral("1.1.1"));
        QCOMPARE(PhysicalNumberToText(0), QStringLiteral("0.0.0"));
    }

    void eisTypes_data()
    {
        QTest::addColumn<int>("eis");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("supported");
        QTest::newRow("1") << 1 << "01 - Switching (1 bit)" << 1 << true;
        QTest::newRow("2") << 2 << "02 - Dimming (4 bit)" << 4 << true;
        QTest::newRow("3") << 3 << "03 - Time (24 bit)" << 24 << false;
        QTest::newRow("4") << 4 << "04 - Date (24 bit )" << 24 << false;
        QTest::newRow("5") << 5 << "05 - Float (16 bit)" << 16 << true;
        QTest::newRow("6") << 6 << "06 - Scaling (8 bit)" << 8 << true;
        QTest::newRow("7") << 7 << "07 - Drive Control (1 bit)" << 1 << true;
        QTest::newRow("8") << 8 << "08 - Priority (2 bit)" << 2 << true;
        QTest::newRow("9") << 9 << "09 - Float IEEE (32 bit)" << 32 << true;
        QTest::newRow("10") << 10 << "10 - Counter (16 bit)" << 16 << true;
        QTest::newRow("11") << 11 << "11 - Counter (32 bit)" << 32 << true;
        QTest::newRow("12") << 12 << "12 - Access (32 bit)" << 32 << false;
        QTest::newRow("13") << 13 << "13 - ASCII char (8 bit)" << 8 << true;
        QTest::newRow("14") << 14 << "14 - Counter (8 bit)" << 8 << true;
        QTest::newRow("15") << 15 << "15 - String (14 bytes )" << 112 << false;
    }
    void eisTypes()
    {
        QFETCH(int, eis);
        QFETCH(QString, caption);
        QFETCH(int, bits);
        QFETCH(bool, supported);
        QCOMPARE(EisCaption(eis), caption);
        QCOMPARE(EisNumberOfCaption(caption), qint64(eis));
        QCOMPARE(EisValueBits(eis), bits);
        QCOMPARE(EisSupportedForSignals(eis), supported);
    }

    void eisOutOfRange()
    {
        QCOMPARE(EisCaption(0), QString());
        QCOMPARE(EisCaption(16), QString());
        QCOMPARE(EisValueBits(-1), 0);
        QVERIFY(!EisSupportedForSignals(0));
        QVERIFY(!EisSupportedForSignals(16));
    }
};

QTEST_GUILESS_MAIN(TestGroupAddress)
#include "tst_groupaddress.moc"
