// Every text key the program uses has a text in every language of the shipped language file.
//
// Convention this test relies on (keep to it when adding code under src/):
//   - a string literal whose whole text is a letter group X, A, H, EIB or G followed by digits
//     ("X31", "EIB36", "G503") is a text key, wherever it stands;
//   - a string literal passed directly to GetText(...) is a text key whatever it looks like
//     (GetText("K0"), GetText(QStringLiteral("U2")), GetText(u"X1"_s));
//   - keys put together at run time ("H" + number) are not seen: write such keys out as whole
//     literals (a table of keys) so that this test can check them.
// The literal section name "X103" of the settings file matches the pattern too; the language
// file carries a text for it (the editor's caption uses it).
#include "TestSupport.h"
#include "app/AppContext.h"
#include "RecordingPrompter.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

using namespace tarveon;

namespace {

struct KeyUse {
    QString file;
    int line = 0;
};

// The string literals of one C++ source, with the code that stands before each. Comments and
// character literals are skipped; raw strings are read to their closing delimiter.
struct Literal {
    QString text;
    QString before; // code before the literal on the same statement, comments removed
    int line = 0;
};

QList<Literal> stringLiterals(const QString &src)
{
    QList<Literal> out;
    QString code; // the code read so far, without comments and literals
    int line = 1;
    const qsizetype n = src.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = src[i];
        if (c == QLatin1Char('\n'))
            ++line;
        if (c == QLatin1Char('/') && i + 1 < n && src[i + 1] == QLatin1Char('/')) {
            while (i < n && src[i] != QLatin1Char('\n'))
                ++i;
            --i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && src[i + 1] == QLatin1Char('*')) {
            i += 2;
            while (i + 1 < n && !(src[i] == QLatin1Char('*') && src[i + 1] == QLatin1Char('/'))) {
                if (src[i] == QLatin1Char('\n'))
                    ++line;
                ++i;
            }
            ++i;
            code += QLatin1Char(' ');
            continue;
        }
        if (c == QLatin1Char('\'')) {
            // A digit separator (1'000) is not a character literal.
            if (i > 0 && src[i - 1].isDigit() && i + 1 < n && src[i + 1].isLetterOrNumber()) {
                code += c;
                continue;
            }
            ++i;
            while (i < n && src[i] != QLatin1Char('\'')) {
                if (src[i] == QLatin1Char('\\'))
                    ++i;
                ++i;
            }
            code += QStringLiteral("' '");
            continue;
        }
        if (c == QLatin1Char('"')) {
            Literal lit;
            lit.line = line;
            lit.before = code;
            const bool raw = i > 0 && src[i - 1] == QLatin1Char('R');
            if (raw) {
                const qsizetype open = src.indexOf(QLatin1Char('('), i);
                const QString delimiter = QLatin1Char(')') + src.mid(i + 1, open - i - 1) + QLatin1Char('"');
                const qsizetype close = src.indexOf(delimiter, open);
                const qsizetype end = close < 0 ? n : close;
                lit.text = src.mid(open + 1, end - open - 1);
                line += int(lit.text.count(QLatin1Char('\n')));
                i = close < 0 ? n : close + delimiter.size() - 1;
            } else {
                ++i;
                while (i < n && src[i] != QLatin1Char('"') && src[i] != QLatin1Char('\n')) {
                    if (src[i] == QLatin1Char('\\') && i + 1 < n) {
                        lit.text += src[i];
                        ++i;
                    }
                    lit.text += src[i];
                    ++i;
                }
            }
            out << lit;
            code += QStringLiteral("\"\"");
            continue;
        }
        code += c;
        if (c == QLatin1Char(';') || c == QLatin1Char('{') || c == QLatin1Char('}'))
            code.clear();
    }
    return out;
}

// A literal is a key when its whole text looks like one, or when it is GetText's argument.
bool isKey(const Literal &lit)
{
    static const QRegularExpression keyPattern(QStringLiteral("^(X|A|H|EIB|G|LNK)[0-9]+$"));
    // GetText( then optionally a string wrapper, then the literal's prefix (u, L, u8, U).
    static const QRegularExpression getTextBefore(QStringLiteral(
        R"(GetText\s*\(\s*(?:(?:QStringLiteral|QLatin1String|QLatin1StringView|QString|QStringView|QString::fromLatin1|QString::fromUtf8)\s*\(\s*)?(?:u8|u|U|L)?$)"));
    return keyPattern.match(lit.text).hasMatch() || getTextBefore.match(lit.before).hasMatch();
}

// All keys used under src/, each with its first place of use.
QMap<QString, KeyUse> keysInSources(QStringList &scannedFiles)
{
    QMap<QString, KeyUse> keys;
    const QString root = QStringLiteral(TARVEON_SOURCE_DIR "/src");
    QDirIterator it(root, {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.hpp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        scannedFiles << path.mid(root.size() + 1);
        const QString src = QString::fromUtf8(f.readAll());
        for (const Literal &lit : stringLiterals(src)) {
            if (isKey(lit)) {
                if (!keys.contains(lit.text))
                    keys.insert(lit.text, {path.mid(root.size() + 1), lit.line});
            }
        }
    }
    return keys;
}

} // namespace

class TestLanguageKeys : public QObject {
    Q_OBJECT
private slots:
    void scannerFindsKeys_data();
    void scannerFindsKeys();
    void everyUsedKeyHasTextsInEveryLanguage();
    void yesNoTextsStartWithTheirValue_data();
    void yesNoTextsStartWithTheirValue();
    void shippedFileFormat();
};

void TestLanguageKeys::scannerFindsKeys_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("keys");

    QTest::newRow("pattern literal") << R"(f("X31"); g("EIB36", "G503");)" << QStringList{"X31", "EIB36", "G503"};
    QTest::newRow("not keys") << R"(f("X"); g("X31 "); h("Com"); i("U2"); j("ZTR001"); k("XA1");)" << QStringList();
    QTest::newRow("GetText argument") << R"(ctx.GetText("K0"); GetText(QStringLiteral("U2")); GetText( u"KU2"_s);)"
                                      << QStringList{"K0", "U2", "KU2"};
    QTest::newRow("comments skipped") << "// \"X1\"\n/* \"X2\" */ f(\"X3\");" << QStringList{"X3"};
    QTest::newRow("escaped quote and char literal") << R"(f("a\"X1"); char c = '"'; g("A5");)" << QStringList{"A5"};
    QTest::newRow("raw string") << "auto s = R\"x(\"X9\")x\"; f(\"H1\");" << QStringList{"H1"};
    QTest::newRow("GetText of a variable is not a key") << R"(GetText(key); f("x");)" << QStringList();
}

void TestLanguageKeys::scannerFindsKeys()
{
    QFETCH(QString, source);
    QFETCH(QStringList, keys);
    QStringList found;
    for (const Literal &lit : stringLiterals(source)) {
        if (isKey(lit))
            found << lit.text;
    }
    QCOMPARE(found, keys);
}

void TestLanguageKeys::everyUsedKeyHasTextsInEveryLanguage()
{
    QStringList scanned;
    const QMap<QString, KeyUse> keys = keysInSources(scanned);
    QVERIFY2(scanned.size() > 5, "the source tree was not found");
    // The shell's own keys are always there: the scan works.
    for (const char *own : {"X31", "X14", "X103"})
        QVERIFY2(keys.contains(QString::fromLatin1(own)), own);

    QStringList problems;
    int languageCount = 0;
    for (int index = 0;; ++index) {
        test::TempProgramDir dir;
        dir.writeFile("tarveon-config.ini", "[X103]\r\nLanguage=" + QByteArray::number(index) + "\r\n");
        RecordingPrompter prompter;
        AppContext ctx(dir.path(), "tarveon-config", &prompter);
        QVERIFY(ctx.language.LoadLanguage());
        languageCount = int(ctx.language.Languages().size());
        if (index >= languageCount)
            break;
        const QString language = ctx.language.Languages().at(index);
        for (auto it = keys.constBegin(); it != keys.constEnd(); ++it) {
            const QString text = ctx.language.textOrEmpty(it.key());
            if (!ctx.language.hasKey(it.key()))
                problems << QStringLiteral("%1: missing in %2 (used in %3:%4)").arg(it.key(), language, it->file).arg(it->line);
            else if (text.trimmed().isEmpty() || text == QLatin1String("???"))
                problems << QStringLiteral("%1: empty in %2 (used in %3:%4)").arg(it.key(), language, it->file).arg(it->line);
        }
    }
    QVERIFY(languageCount >= 2);
    if (!problems.isEmpty())
        QFAIL(qPrintable(QStringLiteral("\n") + problems.join(QLatin1Char('\n'))));
    qInfo("%d keys used under src/, checked in %d languages", int(keys.size()), languageCount);
}

void TestLanguageKeys::yesNoTextsStartWithTheirValue_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("first language") << 0;
    QTest::newRow("second language") << 1;
}

void TestLanguageKeys::yesNoTextsStartWithTheirValue()
{
    // The yes/no column is read back by its leading number: "X9" must read as 0 and "X10" as 1.
    QFETCH(int, index);
    test::TempProgramDir dir;
    dir.writeFile("tarveon-config.ini", "[X103]\r\nLanguage=" + QByteArray::number(index) + "\r\n");
    RecordingPrompter prompter;
    AppContext ctx(dir.path(), "tarveon-config", &prompter);
    QVERIFY(ctx.language.LoadLanguage());
    QCOMPARE(ctx.language.LanguageIndex(), index);
    const QString no = ctx.GetText("X9");
    const QString yes = ctx.GetText("X10");
    QVERIFY2(no.startsWith(QLatin1Char('0')) && (no.size() == 1 || !no.at(1).isDigit()), qPrintable(no));
    QVERIFY2(yes.startsWith(QLatin1Char('1')) && (yes.size() == 1 || !yes.at(1).isDigit()), qPrintable(yes));
    QCOMPARE(ctx.GetText("K0"), no);
    QCOMPARE(ctx.GetText("K1"), yes);
}

void TestLanguageKeys::shippedFileFormat()
{
    QFile f(test::resourcesDir() + QStringLiteral("/RESOURCES.LNG"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    // Windows-1252 header: "Español" with the single byte 0xF1.
    QVERIFY(bytes.startsWith("Key\tEnglish\tEspa\xF1ol\tSoftware\r\n"));
    QVERIFY(bytes.endsWith("\r\n"));
    // Every line ends in CR LF: no LF without its CR, no CR without its LF.
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n')
            QVERIFY2(i > 0 && bytes[i - 1] == '\r', qPrintable(QStringLiteral("bare LF at %1").arg(i)));
        if (bytes[i] == '\r')
            QVERIFY2(i + 1 < bytes.size() && bytes[i + 1] == '\n', qPrintable(QStringLiteral("bare CR at %1").arg(i)));
    }
    QVERIFY(!bytes.contains('\0'));
    // Records carry a key and exactly one text per language; keys occur once.
    QSet<QByteArray> keys;
    const QList<QByteArray> lines = bytes.split('\n'); // the last one is empty
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QByteArray line = lines[i].chopped(1); // its CR
        if (line.startsWith('*'))
            continue;
        const QList<QByteArray> fields = line.split('\t');
        QVERIFY2(fields.size() == 3, line.constData());
        QVERIFY2(!keys.contains(fields[0]), fields[0].constData());
        keys.insert(fields[0]);
    }
    QVERIFY(keys.size() > 200);
}

QTEST_GUILESS_MAIN(TestLanguageKeys)
#include "tst_language_keys.moc"
