// Language resources: reading the language file, looking texts up, choosing the language.
#include "TestSupport.h"
#include "app/AppContext.h"
#include "RecordingPrompter.h"

#include <QDir>
#include <QRandomGenerator>
#include <QtTest>

using namespace tarveon;
using tarveon::test::junk;

namespace {

template <size_t N>
QByteArray B(const char (&s)[N])
{
    return QByteArray(s, qsizetype(N - 1));
}

// A program directory of its own with the given language file(s) and settings file.
struct LangFixture {
    explicit LangFixture(const QByteArray &lng, int languageIndex = -1, const QString &lngName = "prog.LNG")
    {
        if (!lng.isNull())
            dir.writeFile(lngName, lng);
        if (languageIndex >= 0)
            dir.writeFile("prog.ini", "[X103]\r\nLanguage=" + QByteArray::number(languageIndex) + "\r\n");
    }
    bool load() { return ctx.language.LoadLanguage(); }
    QString path(const QString &name) const { return QDir(dir.path()).filePath(name); }

    test::TempProgramDir dir{false};
    RecordingPrompter prompter;
    AppContext ctx{dir.path(), QStringLiteral("prog"), &prompter};
};

QString notFound(const QString &path)
{
    return QStringLiteral("File not found. ") + path;
}
QString fatal(const QString &path)
{
    return QStringLiteral("Error or File not found. ") + path;
}

// A prompter whose message dialog takes its button caption by key, as the real one does.
class CaptionPrompter : public RecordingPrompter {
public:
    AppContext *ctx = nullptr;
    int msgBox(const QString &text, const QString &heading, MsgIcon icon, MsgDefault defaultButton,
               MsgButtons buttons, const QString &b1, const QString &b2, const QString &b3) override
    {
        (void)ctx->GetText(QStringLiteral("X1"));
        return RecordingPrompter::msgBox(text, heading, icon, defaultButton, buttons, b1, b2, b3);
    }
};

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT
private slots:
    void header_data();
    void header();
    void records_data();
    void records();
    void lineEndsAndEncoding_data();
    void lineEndsAndEncoding();
    void duplicateKeepsFirst();
    void missingKeyEveryTime();
    void missingKeyWhileShowingMessage();
    void fileChoice();
    void fallbackMissingToo();
    void firstFileBadNoFallback();
    void fileNamesWithoutRegardToCase();
    void badInput_data();
    void badInput();
    void languageIndexFromSettings_data();
    void languageIndexFromSettings();
    void selectLanguage();
    void shippedFileLoadsCleanly_data();
    void shippedFileLoadsCleanly();
    void shippedLanguagesDiffer();
};

void TestLanguage::header_data()
{
    QTest::addColumn<QByteArray>("header");
    QTest::addColumn<QStringList>("languages"); // empty: fatal end

    QTest::newRow("two languages and Software") << B("Key\tEnglish\tEspa\xF1ol\tSoftware")
                                                << QStringList{"English", QString::fromUtf8("Español")};
    QTest::newRow("Software after the second field: one language") << B("Key\tEnglish\tSoftware\tFrench\t")
                                                                    << QStringList{"English"};
    QTest::newRow("final field without TAB is not a language") << B("Key\tEnglish\tFrench") << QStringList{"English"};
    QTest::newRow("final TAB: every field a language") << B("Key\tEnglish\tFrench\t") << QStringList{"English", "French"};
    QTest::newRow("names trimmed of spaces") << B("Key\t  English \t Software ") << QStringList{"English"};
    QTest::newRow("Software is matched as written") << B("Key\tsoftware\tX") << QStringList{"software"};
    QTest::newRow("three languages") << B("K\tA\tB\tC\tSoftware\tv1") << QStringList{"A", "B", "C"};
    QTest::newRow("single field: fatal") << B("Key") << QStringList();
    QTest::newRow("two fields, no TAB after the second: fatal") << B("Key\tEnglish") << QStringList();
    QTest::newRow("Software first: fatal") << B("Key\t Software\tEnglish\t") << QStringList();
    QTest::newRow("blank header: fatal") << B("   \t  ") << QStringList();
    QTest::newRow("empty first line: fatal") << B("") << QStringList();
}

void TestLanguage::header()
{
    QFETCH(QByteArray, header);
    QFETCH(QStringList, languages);
    LangFixture f(header + "\r\nX1\tOK\tAceptar\tS\r\n");
    const bool ok = f.load();
    QCOMPARE(ok, !languages.isEmpty());
    QCOMPARE(f.ctx.language.Languages(), languages);
    if (ok) {
        QVERIFY(f.prompter.records.isEmpty());
        QCOMPARE(f.ctx.GetText("X1"), QStringLiteral("OK"));
    } else {
        QCOMPARE(f.prompter.texts(), QStringList{fatal(f.path("prog.LNG"))});
        QCOMPARE(f.prompter.records.last().kind, RecordingPrompter::Record::PlatformBox);
        QCOMPARE(f.prompter.records.last().icon, int(BoxKind::Critical));
        QCOMPARE(f.prompter.records.last().title, kAppTitle);
        QVERIFY(!f.ctx.language.hasKey("X1"));
    }
}

void TestLanguage::records_data()
{
    QTest::addColumn<QByteArray>("body"); // lines after the header "Key<TAB>L1<TAB>L2<TAB>Software"
    QTest::addColumn<int>("languageIndex");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected"); // null: the key is not in the table

    QTest::newRow("first language") << B("X1\tOK\tAceptar") << 0 << "X1" << "OK";
    QTest::newRow("second language") << B("X1\tOK\tAceptar") << 1 << "X1" << "Aceptar";
    QTest::newRow("fields not trimmed") << B("X1\t OK \t Si ") << 0 << "X1" << " OK ";
    QTest::newRow("last field runs to the end of the line") << B("X1\tOK\t Si  ") << 1 << "X1" << " Si  ";
    QTest::newRow("extra fields ignored") << B("X1\ta\tb\tc\td") << 1 << "X1" << "b";
    QTest::newRow("empty text: ???") << B("X1\t\tB") << 0 << "X1" << "???";
    QTest::newRow("empty last text: ???") << B("X1\tA\t") << 1 << "X1" << "???";
    QTest::newRow("second language missing: ???") << B("X1\tOnly") << 1 << "X1" << "???";
    QTest::newRow("key alone: ???") << B("X1") << 0 << "X1" << "???";
    QTest::newRow("blank text kept as it is") << B("X1\t \tB") << 0 << "X1" << " ";
    QTest::newRow("comment with TABs ignored") << B("*X1\tA\tB") << 0 << "*X1" << QString();
    QTest::newRow("comment hides nothing else") << B("* note\tx\r\nX2\tA\tB") << 0 << "X2" << "A";
    QTest::newRow("blank lines skipped") << B("\r\n   \r\n\t\t\r\nX2\tA\tB\r\n\r\n") << 1 << "X2" << "B";
    QTest::newRow("no key from a blank line") << B("\r\n  \r\n") << 0 << "" << QString();
    QTest::newRow("key with blanks is kept as is") << B(" X3 \tA\tB") << 0 << " X3 " << "A";
    QTest::newRow("keys are case-sensitive") << B("x4\tA\tB") << 0 << "X4" << QString();
    QTest::newRow("star not first is a record") << B(" *X5\tA\tB") << 0 << " *X5" << "A";
}

void TestLanguage::records()
{
    QFETCH(QByteArray, body);
    QFETCH(int, languageIndex);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    LangFixture f("Key\tL1\tL2\tSoftware\r\n" + body + "\r\n", languageIndex);
    QVERIFY(f.load());
    QCOMPARE(f.ctx.language.LanguageIndex(), languageIndex);
    QVERIFY(f.prompter.records.isEmpty());
    if (expected.isNull()) {
        QVERIFY(!f.ctx.language.hasKey(key));
        QCOMPARE(f.ctx.GetText(key), QStringLiteral("???"));
        QCOMPARE(f.prompter.texts(), QStringList{"No text found for Key: " + key});
    } else {
        QCOMPARE(f.ctx.GetText(key), expected);
        QVERIFY(f.prompter.records.isEmpty());
    }
}

void TestLanguage::lineEndsAndEncoding_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("x1");
    QTest::addColumn<QString>("x2");

    QTest::newRow("CR LF") << B("K\tA\tSoftware\r\nX1\tone\r\nX2\ttwo\r\n") << "one" << "two";
    QTest::newRow("LF only") << B("K\tA\tSoftware\nX1\tone\nX2\ttwo\n") << "one" << "two";
    QTest::newRow("CR only") << B("K\tA\tSoftware\rX1\tone\rX2\ttwo\r") << "one" << "two";
    QTest::newRow("mixed, no final line end") << B("K\tA\tSoftware\nX1\tone\r\n\r\nX2\ttwo") << "one" << "two";
    QTest::newRow("Windows-1252 above 127") << B("K\tA\tSoftware\r\nX1\t\xC1ngel \x80 \xBA" "C\r\nX2\t\xBFS\xED?\r\n")
                                            << QString::fromUtf8("Ángel € ºC") << QString::fromUtf8("¿Sí?");
    QTest::newRow("undefined Windows-1252 bytes kept") << B("K\tA\tSoftware\r\nX1\t\x81\x8D\r\nX2\t\x9D\r\n")
                                                       << QString(QChar(0x81)) + QChar(0x8D) << QString(QChar(0x9D));
    QTest::newRow("UTF-8 with byte-order mark") << B("\xEF\xBB\xBFK\tA\tSoftware\r\nX1\t\xC3\x81ngel\r\nX2\t\xE2\x82\xAC\r\n")
                                                << QString::fromUtf8("Ángel") << QString::fromUtf8("€");
}

void TestLanguage::lineEndsAndEncoding()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, x1);
    QFETCH(QString, x2);
    LangFixture f(file);
    QVERIFY(f.load());
    QCOMPARE(f.ctx.language.Languages(), QStringList{"A"});
    QCOMPARE(f.ctx.GetText("X1"), x1);
    QCOMPARE(f.ctx.GetText("X2"), x2);
    QVERIFY(f.prompter.records.isEmpty());
}

void TestLanguage::duplicateKeepsFirst()
{
    LangFixture f(B("K\tA\tB\tSoftware\r\nX1\tfirst\tprimero\r\nX2\tx\ty\r\nX1\tsecond\tsegundo\r\nX1\tthird\r\n"));
    QVERIFY(f.load());
    const QString message = "Duplicated register in " + f.path("prog.LNG") + "\rX1";
    QCOMPARE(f.prompter.texts(), (QStringList{message, message}));
    const auto &r = f.prompter.records.at(0);
    QCOMPARE(r.kind, RecordingPrompter::Record::MsgBox);
    QCOMPARE(r.title, kAppTitle); // empty heading: the dialog shows the application title
    QCOMPARE(r.buttons, 1);
    QCOMPARE(f.ctx.GetText("X1"), QStringLiteral("first"));
    QCOMPARE(f.ctx.GetText("X2"), QStringLiteral("x"));
}

void TestLanguage::missingKeyEveryTime()
{
    LangFixture f(B("K\tA\tSoftware\r\nX1\tone\r\n"));
    QVERIFY(f.load());
    QCOMPARE(f.ctx.GetText("A999"), QStringLiteral("???"));
    QCOMPARE(f.ctx.GetText("A999"), QStringLiteral("???"));
    QCOMPARE(f.prompter.texts(), (QStringList{"No text found for Key: A999", "No text found for Key: A999"}));
    QCOMPARE(f.prompter.records.first().kind, RecordingPrompter::Record::MsgBox);
    QCOMPARE(f.prompter.records.first().title, kAppTitle);
    QVERIFY(!f.ctx.language.hasKey("A999"));
}

void TestLanguage::missingKeyWhileShowingMessage()
{
    // The message dialog asks for its caption "X1", which this file lacks: one message, no loop.
    test::TempProgramDir dir(false);
    dir.writeFile("RESOURCES.LNG", B("K\tA\tSoftware\r\nX2\ttwo\r\n"));
    dir.writeFile("prog.LNG", B("K\tA\tSoftware\r\nX2\ttwo\r\n"));
    CaptionPrompter prompter;
    AppContext ctx(dir.path(), "prog", &prompter);
    prompter.ctx = &ctx;
    QVERIFY(ctx.language.LoadLanguage());
    QCOMPARE(ctx.GetText("X7"), QStringLiteral("???"));
    QCOMPARE(prompter.texts(), QStringList{"No text found for Key: X7"});
    prompter.clear();
    QCOMPARE(ctx.GetText("X7"), QStringLiteral("???"));
    QCOMPARE(prompter.records.size(), 1);
}

void TestLanguage::fileChoice()
{
    LangFixture f(B("K\tA\tSoftware\r\nX1\tfrom RESOURCES\r\n"), -1, "RESOURCES.LNG");
    f.dir.writeFile("prog.LNG", B("K\tA\tSoftware\r\nX1\tfrom prog\r\n"));
    QVERIFY(f.load());
    QVERIFY(f.prompter.records.isEmpty());
    QCOMPARE(f.ctx.GetText("X1"), QStringLiteral("from prog"));

    LangFixture g(B("K\tA\tSoftware\r\nX1\tfrom RESOURCES\r\n"), -1, "RESOURCES.LNG");
    QVERIFY(g.load());
    QCOMPARE(g.prompter.texts(), QStringList{notFound(g.path("prog.LNG"))});
    QCOMPARE(g.prompter.records.first().kind, RecordingPrompter::Record::PlatformBox);
    QCOMPARE(g.prompter.records.first().icon, int(BoxKind::Critical));
    QCOMPARE(g.prompter.records.first().title, kAppTitle);
    QCOMPARE(g.ctx.GetText("X1"), QStringLiteral("from RESOURCES"));
}

void TestLanguage::fallbackMissingToo()
{
    LangFixture f{QByteArray()};
    QVERIFY(!f.load());
    QCOMPARE(f.prompter.texts(), (QStringList{notFound(f.path("prog.LNG")), fatal(f.path("RESOURCES.LNG"))}));
    QCOMPARE(f.prompter.records.last().icon, int(BoxKind::Critical));
    QVERIFY(f.ctx.language.Languages().isEmpty());
}

void TestLanguage::firstFileBadNoFallback()
{
    LangFixture f(B("K\tA\tSoftware\r\nX1\tgood\r\n"), -1, "RESOURCES.LNG");
    f.dir.writeFile("prog.LNG", B("only a title\r\nX1\tA\r\n"));
    QVERIFY(!f.load());
    QCOMPARE(f.prompter.texts(), QStringList{fatal(f.path("prog.LNG"))});
    QVERIFY(!f.ctx.language.hasKey("X1"));
}

void TestLanguage::fileNamesWithoutRegardToCase()
{
    LangFixture f(B("K\tA\tSoftware\r\nX1\tlower\r\n"), -1, "resources.lng");
    QVERIFY(f.load());
    QCOMPARE(f.ctx.GetText("X1"), QStringLiteral("lower"));
    QCOMPARE(f.prompter.texts(), QStringList{notFound(f.path("prog.LNG"))});

    LangFixture g(B("K\tA\tSoftware\r\nX1\tprog\r\n"), -1, "PROG.lng");
    QVERIFY(g.load());
    QVERIFY(g.prompter.records.isEmpty());
    QCOMPARE(g.ctx.GetText("X1"), QStringLiteral("prog"));
}

void TestLanguage::badInput_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("loads"); // 1 loads, 0 fatal end, -1 either (random bytes)

    QTest::newRow("empty file") << QByteArray("") << 0;
    QTest::newRow("only line ends") << QByteArray("\r\n\r\n\n") << 0;
    QTest::newRow("binary junk") << junk(5, 8192) << -1;
    QTest::newRow("binary junk 2") << junk(9, 65536) << -1;
    QTest::newRow("binary junk without TAB or line end") << junk(6, 8192).replace('\t', 'x').replace('\n', 'x').replace('\r', 'x')
                                                         << 0;
    QTest::newRow("NUL bytes in header and records") << B("K\0\tA\0\tSoftware\r\nX\0001\ta\0b\r\n") << 1;
    QTest::newRow("good header, junk records") << QByteArray("K\tA\tB\tSoftware\r\n" + junk(8, 20000)) << 1;
    QTest::newRow("100 kB header") << QByteArray("K\t" + QByteArray(100 * 1024, 'L') + "\tSoftware\r\nX1\tx\r\n") << 1;
    QTest::newRow("100 kB comment") << QByteArray("K\tA\tSoftware\r\n*" + QByteArray(100 * 1024, '\t') + "\r\nX1\tx\r\n")
                                    << 1;
    QTest::newRow("100 kB of TABs in a record") << QByteArray("K\tA\tSoftware\r\nX1" + QByteArray(100 * 1024, '\t') + "\r\n")
                                                << 1;
}

void TestLanguage::badInput()
{
    QFETCH(QByteArray, file);
    QFETCH(int, loads);
    for (int index : {0, 1, 7}) {
        LangFixture f(file, index);
        const bool loaded = f.load();
        if (loads >= 0)
            QCOMPARE(loaded, loads == 1);
        if (!loaded) {
            QCOMPARE(f.prompter.texts(), QStringList{fatal(f.path("prog.LNG"))});
            QVERIFY(f.ctx.language.Languages().isEmpty());
        } else {
            QVERIFY(!f.ctx.language.Languages().isEmpty());
            (void)f.ctx.GetText("X1");
        }
        // Reading never writes: the settings file is as the fixture left it.
        QCOMPARE(f.dir.readFile("prog.ini"), "[X103]\r\nLanguage=" + QByteArray::number(index) + "\r\n");
    }
}

void TestLanguage::languageIndexFromSettings_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");

    QTest::newRow("no settings file: first language") << QByteArray() << 0 << "one";
    QTest::newRow("Language=1") << B("[X103]\r\nLanguage=1\r\n") << 1 << "uno";
    QTest::newRow("Language=2abc: third") << B("[x103]\r\nlanguage=2abc\r\n") << 2 << "eins";
    QTest::newRow("Language beyond the file's languages: first") << B("[X103]\r\nLanguage=3\r\n") << 0 << "one";
    QTest::newRow("Language that wraps negative: first") << B("[X103]\r\nLanguage=4294967295\r\n") << 0 << "one";
}

void TestLanguage::languageIndexFromSettings()
{
    QFETCH(QByteArray, settings);
    QFETCH(int, index);
    QFETCH(QString, text);
    LangFixture f(B("K\tEnglish\tEspa\xF1ol\tDeutsch\tSoftware\r\nX1\tone\tuno\teins\r\n"));
    if (!settings.isEmpty())
        f.dir.writeFile("prog.ini", settings);
    QVERIFY(f.load());
    QCOMPARE(f.ctx.language.LanguageIndex(), index);
    QCOMPARE(f.ctx.GetText("X1"), text);
}

void TestLanguage::selectLanguage()
{
    LangFixture f(B("K\tEnglish\tEspa\xF1ol\tSoftware\r\nX1\tOK\tAceptar\r\nX14\tNext start.\tProximo inicio.\r\n"));
    f.dir.writeFile("prog.ini", B("; settings\r\n[X103]\r\nCom=2\r\n"));
    QVERIFY(f.load());
    f.prompter.clear();
    f.ctx.language.SelectLanguage(1);
    QCOMPARE(f.ctx.language.LanguageIndex(), 1);
    QCOMPARE(f.dir.readFile("prog.ini"), B("; settings\r\n[X103]\r\nCom=2\r\nLanguage=1\r\n"));
    QCOMPARE(f.prompter.texts(), QStringList{"Next start."});
    QCOMPARE(f.prompter.records.first().kind, RecordingPrompter::Record::MsgBox);
    // The loaded texts stay until the next start.
    QCOMPARE(f.ctx.GetText("X1"), QStringLiteral("OK"));

    f.ctx.language.SelectLanguage(0);
    QCOMPARE(f.dir.readFile("prog.ini"), B("; settings\r\n[X103]\r\nCom=2\r\nLanguage=0\r\n"));

    // The next start reads the chosen language.
    f.ctx.language.SelectLanguage(1);
    QVERIFY(f.load());
    QCOMPARE(f.ctx.GetText("X1"), QStringLiteral("Aceptar"));
}

void TestLanguage::shippedFileLoadsCleanly_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("English") << 0;
    QTest::newRow("Spanish") << 1;
}

void TestLanguage::shippedFileLoadsCleanly()
{
    QFETCH(int, index);
    test::TempProgramDir dir;
    dir.writeFile("tarveon-config.ini", "[X103]\r\nLanguage=" + QByteArray::number(index) + "\r\n");
    RecordingPrompter prompter;
    AppContext ctx(dir.path(), "tarveon-config", &prompter);
    QVERIFY(ctx.language.LoadLanguage());
    // Only the notice that there is no tarveon-config.LNG beside the program.
    QCOMPARE(prompter.texts(), QStringList{notFound(dir.filePath("tarveon-config.LNG"))});
    QCOMPARE(ctx.language.Languages(), (QStringList{"English", QString::fromUtf8("Español")}));
    QCOMPARE(ctx.language.LanguageIndex(), index);
    QVERIFY(ctx.language.hasKey("X1"));
    QVERIFY(ctx.language.hasKey("X14"));
}

void TestLanguage::shippedLanguagesDiffer()
{
    // The Spanish column is not a copy of the English one.
    QStringList texts;
    for (int index : {0, 1}) {
        test::TempProgramDir dir;
        dir.writeFile("tarveon-config.ini", "[X103]\r\nLanguage=" + QByteArray::number(index) + "\r\n");
        RecordingPrompter prompter;
        AppContext ctx(dir.path(), "tarveon-config", &prompter);
        QVERIFY(ctx.language.LoadLanguage());
        texts << ctx.GetText("X77") + ctx.GetText("X25") + ctx.GetText("X14");
    }
    QVERIFY(texts[0] != texts[1]);
}

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
