// The application shell's files: settings access (the profile facility IniDocument/IniFile and the
// operations of ModulINI) and the language resources (reading the language file, looking texts
// up, choosing the language, the shipped file holding a text for every key the program uses).
// Expected file bytes are written out by hand: CR LF line ends, Windows-1252 text.
#include "TestSupport.h"
#include "app/IniFile.h"
#include "app/Text.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QtTest>

using namespace tarveon;

namespace {

template <size_t N>
QByteArray B(const char (&s)[N]) // a byte literal with its NULs
{
    return QByteArray(s, qsizetype(N - 1));
}

// The text keys of a source: literals that are a key's letters and digits ("X31", "EIB36"), and
// literals given straight to GetText ("K0", QStringLiteral("U2")). Comments are left out. Keys
// put together at run time are not seen: sources write keys out as whole literals.
QStringList keysIn(QString src)
{
    static const QRegularExpression comments("//[^\n]*|/[*].*?[*]/", QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression key("\"((?:X|A|H|EIB|G|LNK)[0-9]+)\"");
    static const QRegularExpression argument("GetText\\s*\\(\\s*(?:\\w+\\s*\\(\\s*)?u?\"([^\"\\\\]+)\"");
    src.remove(comments);
    QStringList keys;
    for (const QRegularExpression *re : {&key, &argument}) {
        for (auto it = re->globalMatch(src); it.hasNext();)
            keys << it.next().captured(1);
    }
    return keys;
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
    test::TestContext t;
    QString file() { return t.dir.filePath("a.ini"); }
    test::TempProgramDir dir{false}; // the language tests' program "prog"
    RecordingPrompter prompter;
    AppContext ctx{dir.path(), QStringLiteral("prog"), &prompter};
    QString path(const QString &name) const { return dir.filePath(name); }
    bool load(const QByteArray &lng, const QByteArray &settings = {})
    {
        if (!lng.isNull())
            dir.writeFile("prog.LNG", lng);
        if (!settings.isNull())
            dir.writeFile("prog.ini", settings);
        return ctx.language.LoadLanguage();
    }


private slots:
    void init()
    {
        QFile::remove(file());
        QDir(t.dir.filePath("P")).removeRecursively();
        t.prompter.clear();
        for (const QString &f : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(path(f));
        prompter.clear();
    }

    // The value read as text (the default "d" cut to 254 characters when missing) and as integer
    // (the leading decimal digits; 57 when missing).
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: no file
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        const auto row = [](const char *name, const QByteArray &bytes, const QString &section, const QString &key,
                            const QString &text, int number) { QTest::newRow(name) << bytes << section << key << text << number; };
        const QByteArray app = B("[X103]\r\nSettings=9600,e,7,2\r\nCom=3\r\nLastProject=\r\n");
        const QString d(254, 'd');
        row("no file", QByteArray(), "X103", "Settings", d, 57);
        row("present", app, "X103", "Settings", "9600,e,7,2", 9600);
        row("names without regard to case", app, "x103", "COM", "3", 3);
        row("missing key", app, "X103", "PathProjects", d, 57);
        row("present and empty", app, "X103", "LastProject", "", 0);
        row("blanks around", B("  [ X103 ]  \r\n  Com  =  4 2  \r\n"), "X103", "Com", "4 2", 4);
        row("letters after digits", B("[A]\r\nk=2abc\r\n"), "A", "k", "2abc", 2);
        row("sign is no digit", B("[A]\r\nk=-5\r\n"), "A", "k", "-5", 0);
        row("point ends the number", B("[A]\nk=1\nm=12.9"), "A", "m", "12.9", 12);
        row("largest integer", B("[A]\r\nk=2147483647\r\n"), "A", "k", "2147483647", 2147483647);
        row("wraps as 32 bits", B("[A]\r\nk=4294967299\r\n"), "A", "k", "4294967299", 3);
        row("first of two keys", B("[A]\r\nk=1\r\nK=2\r\n"), "A", "k", "1", 1);
        row("first of two sections only", B("[A]\r\nx=1\r\n[a]\r\nk=2\r\n"), "A", "k", d, 57);
        row("key before any section", B("k=1\r\n[A]\r\n"), "A", "k", d, 57);
        row("comment, no ], no =", B("[A]\r\n;k=1\r\n[B\r\nk\r\n"), "A", "k", d, 57);
        row("byte-order mark", B("\xEF\xBB\xBF[A]\r\nk=1\r\n"), "A", "k", "1", 1);
        row("Windows-1252", B("[P]\r\nDesc=Climatizaci\xF3n \x80 \xBA" "C\r\n"), "P", "desc", "Climatización € ºC", 0);
        row("non-ASCII names", B("[Sal\xC9]\r\n\xD1=1\r\n"), "salé", "ñ", "1", 1);
        row("254 characters", "[A]\r\nk=" + QByteArray(254, '7') + "\r\n", "A", "k", QString(254, '7'), -1);
        row("255 cut to 254", "[A]\r\nk=" + QByteArray(255, 'v') + "\r\n", "A", "k", QString(254, 'v'), 0);
        row("cut at NUL", B("[A]\r\nk=12\0" "34\r\n"), "A", "k", "12", 12);
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(int, number);
        if (!bytes.isNull())
            t.dir.writeFile("a.ini", bytes);
        QCOMPARE(IniFile(file()).read(section, key, QString(260, 'd')), text);
        if (number >= 0)
            QCOMPARE(IniFile(file()).readInt(section, key, 57), number);
        QCOMPARE(t.dir.readFile("a.ini"), bytes); // a read never writes, not even a missing file
        QCOMPARE(QFileInfo::exists(file()), !bytes.isNull());
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const auto row = [](const char *name, const QByteArray &before, const QString &section, const QString &key,
                            const QString &value, const QByteArray &after) {
            QTest::newRow(name) << before << section << key << value << after;
        };
        row("file created", QByteArray(), "X103", "Com", "3", B("[X103]\r\nCom=3\r\n"));
        row("replaced in place", B("[X103]\r\nSettings=9600,n,8,1\r\nCom=1\r\nLanguage=0\r\n"), "X103", "Com", "12",
            B("[X103]\r\nSettings=9600,n,8,1\r\nCom=12\r\nLanguage=0\r\n"));
        row("stored spelling kept", B("[x103]\r\n  com = 1   \r\n"), "X103", "Com", " v ", B("[x103]\r\ncom= v \r\n"));
        row("non-ASCII name, other case", B("[S]\r\nSal\xC9=a\r\n"), "s", "salé", "v", B("[S]\r\nSal\xC9=v\r\n"));
        row("same length, other name", B("[S]\r\nD13=a\r\n"), "S", "D12", "v", B("[S]\r\nD13=a\r\nD12=v\r\n"));
        row("NUL in a stored name", B("[S]\r\nK\0y=a\r\n"), "S", "Kxy", "v", B("[S]\r\nK\0y=a\r\nKxy=v\r\n"));
        row("new key after the last key", B("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n"), "a", "z", "3",
            B("[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n"));
        row("new section at the end", B("[A]\r\nx=1"), "EIB", "PhyAdd", "1.1.1", B("[A]\r\nx=1\r\n[EIB]\r\nPhyAdd=1.1.1\r\n"));
        row("no final line end, replaced", B("[A]\r\nx=1"), "A", "x", "7", B("[A]\r\nx=7"));
        row("LF file keeps LF", B("[A]\nx=1\n"), "A", "y", "2", B("[A]\nx=1\ny=2\n"));
        row("comments and odd lines kept", B("; hand\r\n[A]\r\njunk\r\nx=1\r\n;x=9\r\n"), "A", "x", "5",
            B("; hand\r\n[A]\r\njunk\r\nx=5\r\n;x=9\r\n"));
        row("Windows-1252", QByteArray(), "P", "Desc", "Climatización €", B("[P]\r\nDesc=Climatizaci\xF3n \x80\r\n"));
        row("value is one line", QByteArray(), "A", "k", "one\r\ntwo", B("[A]\r\nk=one\r\n"));
        row("byte-order mark kept", B("\xEF\xBB\xBF[A]\r\nk=1\r\n"), "A", "k", "2", B("\xEF\xBB\xBF[A]\r\nk=2\r\n"));
    }
    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        if (!before.isNull())
            t.dir.writeFile("a.ini", before);
        QVERIFY(IniFile(file()).write(section, key, value));
        QCOMPARE(t.dir.readFile("a.ini"), after);
        // A document in memory reads what it wrote, also after a second write.
        IniDocument doc(before);
        doc.setValue(section, key, value);
        QCOMPARE(doc.read(section.toUpper(), key.toLower(), "d"), value.section('\r', 0, 0).trimmed());
        doc.setValue(section, key, "again");
        QCOMPARE(doc.read(section, key, "d"), QStringLiteral("again"));
    }

    // The file each operation addresses, and its "X31" message with that file's name when the
    // write fails: returned by saveAppSetting / saveProjectSetting, shown by the Write operations.
    void files_data()
    {
        QTest::addColumn<QString>("iniFileName"); // "app": the application settings file
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("name");
        QTest::newRow("application file") << "app" << "X103" << "tarveon-config.ini";
        QTest::newRow("project file by section") << "" << "Project" << "Project.ini";
        QTest::newRow("project file by IniFileName") << "ZTR001-CHILLER" << "EIB" << "ZTR001-CHILLER.ini";
    }
    void files()
    {
        QFETCH(QString, iniFileName);
        QFETCH(QString, section);
        QFETCH(QString, name);
        const bool app = iniFileName == "app";
        for (const QString &dir : QStringList{"P", "no/such"}) {
            AppContext ctx(t.dir.filePath(dir), "tarveon-config", &t.prompter);
            ctx.language.setTexts({{"X31", "Cannot write "}});
            ctx.ProjectDir = ctx.programDir;
            ctx.IniFileName = app ? QString() : iniFileName;
            QDir().mkpath(t.dir.filePath("P"));
            const auto save = [&] { return app ? ctx.ini.saveAppSetting(section, "Devices", "12")
                                               : ctx.ini.saveProjectSetting(section, "Devices", "12"); };
            if (dir == "P") {
                QVERIFY(!save());
                QCOMPARE(t.dir.readFile("P/" + name), "[" + section.toLatin1() + "]\r\nDevices=12\r\n");
                QCOMPARE(app ? ctx.ini.ReadAppSettingInt("x103", "DEVICES", 1)
                             : ctx.ini.ReadProjectSettingInt(section.toLower(), "DEVICES", 1), 12);
                continue;
            }
            QCOMPARE(save(), std::optional<Fault>(Fault{"X31", "Cannot write " + name, FaultKind::Information}));
            app ? ctx.ini.WriteAppSetting(section, "k", "v") : ctx.ini.WriteProjectSetting(section, "k", "v");
            QCOMPARE(t.prompter.texts(), QStringList{"Cannot write " + name});
            QCOMPARE(t.prompter.records[0].kind, RecordingPrompter::Record::PlatformBox);
            QVERIFY(!QFileInfo::exists(t.dir.filePath("no")));
            ctx.ProjectDir.clear(); // no project: defaults, and writes fail
            QCOMPARE(ctx.ini.ReadProjectSetting("Project", "Prot", "p"), QStringLiteral("p"));
            QVERIFY(ctx.ini.saveProjectSetting("Project", "Prot", "x"));
        }
    }

    void header_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<QStringList>("languages"); // empty: the fatal end
        QTest::newRow("two and Software") << B("Key\tEnglish\tEspa\xF1ol\tSoftware") << QStringList{"English", "Español"};
        QTest::newRow("Software second: one") << B("Key\tEnglish\tSoftware\tFrench\t") << QStringList{"English"};
        QTest::newRow("last field without TAB") << B("Key\tEnglish\tFrench") << QStringList{"English"};
        QTest::newRow("final TAB") << B("Key\tEnglish\tFrench\t") << QStringList{"English", "French"};
        QTest::newRow("names trimmed") << B("Key\t  English \t Software ") << QStringList{"English"};
        QTest::newRow("single field") << B("Key") << QStringList();
        QTest::newRow("Software first") << B("Key\t Software\tEnglish\t") << QStringList();
        QTest::newRow("empty file") << B("") << QStringList();
    }
    void header()
    {
        QFETCH(QByteArray, header);
        QFETCH(QStringList, languages);
        QCOMPARE(load(header.isEmpty() ? header : header + "\r\nX1\tOK\tAceptar\tS\r\n"), !languages.isEmpty());
        QCOMPARE(ctx.language.Languages(), languages);
        if (languages.isEmpty()) {
            QCOMPARE(prompter.texts(), QStringList{"Error or File not found. " + path("prog.LNG")});
            QCOMPARE(prompter.records[0].icon, int(BoxKind::Critical));
            QVERIFY(!ctx.language.hasKey("X1"));
        } else {
            QCOMPARE(ctx.GetText("X1"), QStringLiteral("OK"));
            QVERIFY(prompter.records.isEmpty());
        }
    }

    void records_data()
    {
        QTest::addColumn<QByteArray>("body"); // after the header "Key TAB L1 TAB L2 TAB L3 TAB Software"
        QTest::addColumn<QByteArray>("language"); // setting Language; null: no settings file
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected"); // null: not in the table
        QTest::newRow("no settings: first") << B("X1\tOK\tAceptar") << QByteArray() << "X1" << "OK";
        QTest::newRow("second language") << B("X1\tOK\tAceptar") << B("1") << "X1" << "Aceptar";
        QTest::newRow("2abc: third, the last") << B("X1\ta\tb\tc\td") << B("2abc") << "X1" << "c";
        QTest::newRow("one past the last: first") << B("X1\ta\tb\tc") << B("3") << "X1" << "a";
        QTest::newRow("wraps negative: first") << B("X1\ta\tb\tc") << B("4294967295") << "X1" << "a";
        QTest::newRow("fields not trimmed") << B("X1\t OK \t Si  ") << B("1") << "X1" << " Si  ";
        QTest::newRow("empty text") << B("X1\t\tB") << B("0") << "X1" << "???";
        QTest::newRow("language missing") << B("X1\tOnly") << B("1") << "X1" << "???";
        QTest::newRow("comment with TABs") << B("*X1\tA\tB") << B("0") << "*X1" << QString();
        QTest::newRow("blank lines skipped") << B("\r\n   \r\n\t\t\r\nX2\tA\tB\r\n") << B("1") << "X2" << "B";
        QTest::newRow("key kept as written") << B(" X3 \tA\tB") << B("0") << " X3 " << "A";
        QTest::newRow("keys case-sensitive") << B("x4\tA\tB") << B("0") << "X4" << QString();
        QTest::newRow("line ends LF, CR") << B("X5\tA\tB\nX6\tC\tD\rX7\tE\tF") << B("1") << "X7" << "F";
        QTest::newRow("Windows-1252") << B("X8\t\xC1ngel \x80\t\xBFS\xED?") << B("1") << "X8" << QString::fromUtf8("¿Sí?");
        QTest::newRow("undefined bytes, NUL") << B("X\0" "9\t\x81\0") << B("0") << QString::fromLatin1("X\0" "9", 3)
                                              << QString(QChar(0x81)) + QChar(0);
    }
    void records()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, language);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QVERIFY(load("Key\tL1\tL2\tL3\tSoftware\r\n" + body + "\r\n",
                     language.isNull() ? QByteArray() : "[x103]\r\nlanguage=" + language + "\r\n"));
        QVERIFY(prompter.records.isEmpty());
        QCOMPARE(ctx.GetText(key), expected.isNull() ? QStringLiteral("???") : expected);
        QCOMPARE(prompter.texts(), expected.isNull() ? QStringList{"No text found for Key: " + key} : QStringList());
    }

    void utf8WithByteOrderMark()
    {
        QVERIFY(load(B("\xEF\xBB\xBFK\tA\tSoftware\r\nX1\t\xC3\x81ngel \xE2\x82\xAC\r\n")));
        QCOMPARE(ctx.GetText("X1"), QString::fromUtf8("Ángel €"));
    }

    // Which file is read: the program's own name, else RESOURCES.LNG; names in any case.
    void languageFiles_data()
    {
        QTest::addColumn<QStringList>("files"); // name=first text; "bad" a file without languages
        QTest::addColumn<QString>("text");      // "" the fatal end
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("own name first") << QStringList{"prog.LNG=own", "RESOURCES.LNG=shared"} << "own" << QStringList();
        QTest::newRow("own name in other case") << QStringList{"PROG.lng=own"} << "own" << QStringList();
        QTest::newRow("fallback") << QStringList{"resources.lng=shared"} << "shared"
                                  << QStringList{"File not found. @prog.LNG"};
        QTest::newRow("none") << QStringList() << "" << QStringList{"File not found. @prog.LNG", "Error or File not found. @RESOURCES.LNG"};
        QTest::newRow("own bad: no fallback") << QStringList{"prog.LNG=bad", "RESOURCES.LNG=shared"} << ""
                                              << QStringList{"Error or File not found. @prog.LNG"};
    }
    void languageFiles()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, text);
        QFETCH(QStringList, shown);
        for (const QString &f : files) {
            const QString first = f.section('=', 1);
            dir.writeFile(f.section('=', 0, 0), first == "bad" ? "title only\r\n" : "K\tA\tSoftware\r\nX1\t" + first.toLatin1() + "\r\n");
        }
        QCOMPARE(load(QByteArray()), !text.isEmpty());
        if (!text.isEmpty())
            QCOMPARE(ctx.GetText("X1"), text);
        QCOMPARE(prompter.texts(), shown.replaceInStrings("@", dir.path() + "/"));
        for (const auto &r : prompter.records)
            QCOMPARE(r.icon, int(BoxKind::Critical));
    }

    void duplicateKeepsFirst()
    {
        QVERIFY(load(B("K\tA\tB\tSoftware\r\nX1\tfirst\tprimero\r\nX2\tx\ty\r\nX1\tsecond\tsegundo\r\nX1\tthird\r\n")));
        const QString message = "Duplicated register in " + path("prog.LNG") + "\rX1";
        QCOMPARE(prompter.texts(), (QStringList{message, message}));
        QCOMPARE(prompter.records[0].kind, RecordingPrompter::Record::MsgBox);
        QCOMPARE(ctx.GetText("X1"), QStringLiteral("first"));
    }

    // A missing key: the message every time, but none about the dialog's own caption, which it
    // takes by key while the message is shown.
    void missingKey()
    {
        QVERIFY(load(B("K\tA\tSoftware\r\nX2\ttwo\r\n")));
        prompter.onRecord = [&](const RecordingPrompter::Record &) { (void)ctx.GetText("X1"); };
        QCOMPARE(ctx.GetText("X7"), QStringLiteral("???"));
        QCOMPARE(ctx.GetText("X7"), QStringLiteral("???"));
        prompter.onRecord = nullptr;
        QCOMPARE(prompter.texts(), (QStringList{"No text found for Key: X7", "No text found for Key: X7"}));
        QCOMPARE(prompter.records[0].kind, RecordingPrompter::Record::MsgBox);
    }

    void selectLanguage()
    {
        QVERIFY(load(B("K\tEnglish\tEspa\xF1ol\tSoftware\r\nX1\tOK\tAceptar\r\nX14\tNext start.\tOtro\r\n"),
                     B("; settings\r\n[X103]\r\nCom=2\r\n")));
        ctx.language.SelectLanguage(1);
        QCOMPARE(ctx.language.LanguageIndex(), 1);
        QCOMPARE(dir.readFile("prog.ini"), B("; settings\r\n[X103]\r\nCom=2\r\nLanguage=1\r\n"));
        QCOMPARE(prompter.texts(), QStringList{"Next start."});
        QCOMPARE(ctx.GetText("X1"), QStringLiteral("OK")); // the loaded texts stay
        QVERIFY(ctx.language.LoadLanguage());
        QCOMPARE(ctx.GetText("X1"), QStringLiteral("Aceptar"));
    }

    // The shipped file: Windows-1252, CR LF, one text per language for each key, keys once. Both
    // languages load without a message of their own, differ, read the yes/no texts as 0 and 1, and
    // hold a text for every key used under src/.
    void shippedFile()
    {
        const QByteArray bytes = test::readAll(test::resourcesDir() + "/RESOURCES.LNG");
        QVERIFY(bytes.startsWith("Key\tEnglish\tEspa\xF1ol\tSoftware\r\n"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QCOMPARE(bytes.count('\r'), bytes.count("\r\n"));
        QSet<QByteArray> keys;
        for (const QByteArray &line : bytes.split('\n').mid(1)) {
            const QByteArray key = line.left(line.indexOf('\t'));
            QVERIFY2(line.isEmpty() || line.startsWith('*') || (line.count('\t') == 2 && !keys.contains(key)), line.constData());
            keys.insert(line.startsWith('*') ? QByteArray() : key);
        }
        QMap<QString, QString> used; // key -> a file using it
        QDirIterator it(QStringLiteral(TARVEON_SOURCE_DIR "/src"), {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            QVERIFY(f.open(QIODevice::ReadOnly));
            for (const QString &key : keysIn(QString::fromUtf8(f.readAll())))
                used.insert(key, it.fileName());
        }
        QVERIFY(used.contains("X31") && used.contains("EIB36") && used.size() > 200);
        QStringList texts, problems;
        for (int index : {0, 1}) {
            test::TempProgramDir shipped;
            shipped.writeFile("tarveon-config.ini", "[X103]\r\nLanguage=" + QByteArray::number(index) + "\r\n");
            RecordingPrompter p;
            AppContext c(shipped.path(), "tarveon-config", &p);
            QVERIFY(c.language.LoadLanguage());
            QCOMPARE(p.texts(), QStringList{"File not found. " + shipped.filePath("tarveon-config.LNG")});
            QCOMPARE(c.language.Languages(), (QStringList{"English", "Español"}));
            texts << c.GetText("X77") + c.GetText("X25") + c.GetText("X14");
            QCOMPARE(LeadingNumber(c.GetText("X9")) + 2 * LeadingNumber(c.GetText("X10")), 2.0);
            QVERIFY(c.GetText("X9").at(0) == u'0' && c.GetText("X10").at(0) == u'1');
            for (auto k = used.cbegin(); k != used.cend(); ++k) {
                if (c.language.textOrEmpty(k.key()).trimmed().isEmpty() || c.language.textOrEmpty(k.key()) == "???")
                    problems << k.key() + " in language " + QString::number(index) + " (" + k.value() + ")";
            }
        }
        QVERIFY(texts[0] != texts[1]);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
