#include "TestSupport.h"
#include "app/IniFile.h"

#include <QDir>
#include <QtTest>

using namespace tarveon;

class TestIniDocument : public QObject {
    Q_OBJECT
private slots:
    void reads_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "X103" << "Settings" << "9600,n,8,1";
        QTest::newRow("section any case") << "x103" << "Settings" << "9600,n,8,1";
        QTest::newRow("key any case") << "X103" << "SETTINGS" << "9600,n,8,1";
        QTest::newRow("present and empty") << "X103" << "PathProjects" << "";
        QTest::newRow("missing key") << "X103" << "Nope" << "<default>";
        QTest::newRow("missing section") << "Other" << "Settings" << "<default>";
        QTest::newRow("blanks around") << "X103" << "Spaced" << "a b";
        QTest::newRow("quotes are part of the value") << "X103" << "Quoted" << "\" a \"";
        QTest::newRow("code page") << "X103" << "Name" << QString::fromUtf8("Año");
        QTest::newRow("second section") << "EIB" << "PhyAdd" << "1.1.1";
    }
    void reads()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        IniDocument doc;
        doc.parse("[X103]\r\nSettings=9600,n,8,1\r\nPathProjects=\r\nSpaced =  a b  \r\nQuoted=\" a \"\r\n"
                  "Name=A\xf1o\r\n\r\n[EIB]\r\nPhyAdd=1.1.1\r\n");
        QCOMPARE(doc.read(section, key, "<default>"), expected);
    }

    void longValuesAreCut()
    {
        IniDocument doc;
        doc.parse("[S]\r\nK=" + QByteArray(300, 'x') + "\r\n");
        QCOMPARE(doc.read("S", "K", {}).size(), 254);
    }

    void readInt_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("number") << QByteArray("Com=3") << 3;
        QTest::newRow("letters after") << QByteArray("Com=2abc") << 2;
        QTest::newRow("empty") << QByteArray("Com=") << 0;
        QTest::newRow("letters") << QByteArray("Com=abc") << 0;
        QTest::newRow("negative") << QByteArray("Com=-4") << 0;
        QTest::newRow("missing") << QByteArray("Other=1") << 77;
        QTest::newRow("wraps") << QByteArray("Com=4294967297") << 1;
    }
    void readInt()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, expected);
        IniDocument doc;
        doc.parse("[X103]\r\n" + stored + "\r\n");
        QCOMPARE(doc.readInt("X103", "Com", 77), expected);
    }

    void writesInPlace()
    {
        IniDocument doc;
        doc.parse("[A]\r\nk1=1\r\nk2=2\r\n[B]\r\nx=1\r\n");
        QVERIFY(doc.write("a", "K2", "two"));   // replaced where it stands, name as stored
        QVERIFY(doc.write("A", "k3", "3"));     // new key: end of its section
        QVERIFY(doc.write("C", "n", QString::fromUtf8("é"))); // new section: end of file
        QVERIFY(doc.write("B", "empty", ""));
        QCOMPARE(doc.toBytes(), QByteArray("[A]\r\nk1=1\r\nk2=two\r\nk3=3\r\n[B]\r\nx=1\r\nempty=\r\n[C]\r\nn=\xe9\r\n"));
        QVERIFY(doc.contains("c", "N"));
        QVERIFY(!doc.contains("C", "m"));
    }

    // Which stored line a write replaces: names match without regard to case, also outside
    // ASCII; names of the same length that differ, or a stored name with a NUL inside, do not.
    void writeFindsItsKey_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("same case") << QByteArray("D12-Name=a\r\n") << "D12-Name" << QByteArray("D12-Name=v\r\n");
        QTest::newRow("other case") << QByteArray("d12-NAME=a\r\n") << "D12-Name" << QByteArray("d12-NAME=v\r\n");
        QTest::newRow("same length, other name")
            << QByteArray("D13-Name=a\r\n") << "D12-Name" << QByteArray("D13-Name=a\r\nD12-Name=v\r\n");
        QTest::newRow("accented, other case")
            << QByteArray("Sal\xc9=a\r\n") << QString::fromUtf8("salé") << QByteArray("Sal\xc9=v\r\n");
        QTest::newRow("accented, other letter")
            << QByteArray("Sal\xc8=a\r\n") << QString::fromUtf8("salé") << QByteArray("Sal\xc8=a\r\nsal\xe9=v\r\n");
        QTest::newRow("NUL in the stored name")
            << QByteArray("K\0y=a\r\n", 7) << "Kxy" << QByteArray("K\0y=a\r\nKxy=v\r\n", 14);
    }
    void writeFindsItsKey()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, key);
        QFETCH(QByteArray, expected);
        IniDocument doc;
        doc.parse("[S]\r\n" + stored);
        doc.setValue("s", key, "v");
        QCOMPARE(doc.toBytes(), "[S]\r\n" + expected);
    }

    void readsFollowWrites()
    {
        IniDocument doc;
        doc.parse("[A]\r\nk=1\r\nk=2\r\n[B]\r\nx=1\r\n[a]\r\nlate=3\r\n");
        QCOMPARE(doc.read("A", "k", ""), QStringLiteral("1"));  // the first line of a key
        QVERIFY(!doc.contains("A", "late"));                       // only the first section of a name
        QVERIFY(doc.write("A", "k", "9"));
        QCOMPARE(doc.read("a", "K", ""), QStringLiteral("9"));
        QVERIFY(doc.write("B", "y", "2"));
        QCOMPARE(doc.readInt("B", "y", 0), 2);
        QCOMPARE(doc.read("B", "x", ""), QStringLiteral("1"));
        doc.parse("[B]\r\nx=5\r\n");
        QCOMPARE(doc.read("B", "x", ""), QStringLiteral("5"));
        IniDocument copy = doc;
        QVERIFY(copy.write("B", "x", "6"));
        QCOMPARE(doc.read("B", "x", ""), QStringLiteral("5"));
        QCOMPARE(copy.read("B", "x", ""), QStringLiteral("6"));
    }

    void writesCodePage()
    {
        IniDocument doc;
        doc.write("S", "Name", QString::fromUtf8("Sala ñ €"));
        QCOMPARE(doc.toBytes(), QByteArray("[S]\r\nName=Sala \xf1 \x80\r\n"));
    }

    void loadAndSave()
    {
        test::TempProgramDir dir(false);
        IniDocument doc;
        QVERIFY(doc.load(dir.filePath("missing.ini"))); // missing: empty, no error
        QVERIFY(!doc.contains("S", "K"));
        doc.write("S", "K", "v");
        QCOMPARE(doc.save(dir.filePath("a.ini")), QString());
        QCOMPARE(dir.readFile("a.ini"), QByteArray("[S]\r\nK=v\r\n"));

        IniDocument again;
        QVERIFY(again.load(dir.filePath("a.ini")));
        QCOMPARE(again.read("s", "k", {}), QStringLiteral("v"));

        QDir().mkpath(dir.filePath("adir.ini"));
        QVERIFY(!again.load(dir.filePath("adir.ini"))); // exists, cannot be read
        QVERIFY(!again.contains("S", "K"));
        QVERIFY(!doc.save(dir.filePath("nodir/a.ini")).isEmpty());
        QVERIFY(!doc.save(dir.filePath("adir.ini")).isEmpty());
    }

    // IniFile is IniDocument one key at a time: the same reading, the same bytes.
    void iniFileAgrees()
    {
        test::TempProgramDir dir(false);
        dir.writeFile("a.ini", "[A]\r\nk1=1\r\n[B]\r\nx=7z\r\n");
        IniFile file(dir.filePath("a.ini"));
        QVERIFY(file.write("a", "K1", "one"));
        QVERIFY(file.write("A", "k2", "2"));
        QCOMPARE(dir.readFile("a.ini"), QByteArray("[A]\r\nk1=one\r\nk2=2\r\n[B]\r\nx=7z\r\n"));
        QCOMPARE(file.readInt("b", "X", 0), 7);
        QCOMPARE(file.read("B", "none", "d"), QStringLiteral("d"));
    }

    void iniFileKeepsAnUnreadableFile()
    {
        test::TempProgramDir dir(false);
        QDir().mkpath(dir.filePath("adir.ini"));
        QVERIFY(!IniFile(dir.filePath("adir.ini")).write("S", "K", "v"));
        QVERIFY(QFileInfo(dir.filePath("adir.ini")).isDir());
        QVERIFY(!IniFile(dir.filePath("nodir/a.ini")).write("S", "K", "v"));
    }
};

QTEST_GUILESS_MAIN(TestIniDocument)
#include "tst_inidocument.moc"
