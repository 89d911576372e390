// The user manual as the build tree ships it (DocsZDM beside the executables): both languages are
// there, and every picture and link in them leads to a file that ships with them.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

const QString kDocsDir = QStringLiteral(TARVEON_BIN_DIR "/DocsZDM");
const QString kSourceDocsDir = QStringLiteral(TARVEON_SOURCE_DIR "/resources/DocsZDM");

QString readManual(const QString &name)
{
    QFile file(kDocsDir + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// Values of one attribute (src or href) in document order.
QStringList attributeValues(const QString &html, const QString &attribute)
{
    QStringList values;
    const QRegularExpression re(QStringLiteral("\\b%1\\s*=\\s*\"([^\"]*)\"").arg(attribute),
                                QRegularExpression::CaseInsensitiveOption);
    for (auto it = re.globalMatch(html); it.hasNext();)
        values << it.next().captured(1);
    return values;
}

QSet<QString> ids(const QString &html)
{
    QSet<QString> found;
    for (const QString &id : attributeValues(html, QStringLiteral("id")))
        found.insert(id);
    return found;
}

// A reference resolved inside the manual's folder; empty when it leaves the folder.
QString localFile(const QString &reference)
{
    const QString path = QDir::cleanPath(kDocsDir + QLatin1Char('/') + reference);
    return path.startsWith(kDocsDir + QLatin1Char('/')) ? path : QString();
}

bool isExternal(const QString &reference)
{
    return reference.contains(QLatin1String("://")) || reference.startsWith(QLatin1String("//"))
           || reference.startsWith(QLatin1String("mailto:"), Qt::CaseInsensitive)
           || reference.startsWith(QLatin1String("javascript:"), Qt::CaseInsensitive);
}

} // namespace

class tst_Manual : public QObject {
    Q_OBJECT

private slots:
    void manuals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QString>("lang");
        QTest::newRow("English") << QStringLiteral("index.html") << QStringLiteral("index.es.html") << QStringLiteral("en");
        QTest::newRow("Spanish") << QStringLiteral("index.es.html") << QStringLiteral("index.html") << QStringLiteral("es");
    }

    void manuals()
    {
        QFETCH(QString, name);
        QFETCH(QString, other);
        QFETCH(QString, lang);
        const QFileInfo info(kDocsDir + QLatin1Char('/') + name);
        QVERIFY2(info.isFile(), qPrintable(info.filePath() + QStringLiteral(" is missing")));
        QVERIFY(info.size() > 0);
        const QString html = readManual(name);
        QVERIFY(html.contains(QStringLiteral("<html lang=\"%1\">").arg(lang)));
        QVERIFY(html.contains(QLatin1String("</html>")));
        // Plain HTML: no scripts, nothing fetched from elsewhere.
        QVERIFY(!html.contains(QLatin1String("<script"), Qt::CaseInsensitive));
        QVERIFY(!html.contains(QLatin1String("@import"), Qt::CaseInsensitive));
        QVERIFY(!html.contains(QLatin1String("url("), Qt::CaseInsensitive));
        // Placeholders of the command line's help were filled in.
        QVERIFY(!html.contains(QLatin1String("@CLI_HELP@")));
        QVERIFY(!html.contains(QLatin1String("@SIM_HELP@")));
        // Each language leads to the other.
        QVERIFY2(attributeValues(html, QStringLiteral("href")).contains(other),
                 qPrintable(name + QStringLiteral(" has no link to ") + other));
    }

    void references_data() { manuals_data(); }

    void references()
    {
        QFETCH(QString, name);
        const QString html = readManual(name);
        QVERIFY(!html.isEmpty());
        const QSet<QString> ownIds = ids(html);

        const QStringList images = attributeValues(html, QStringLiteral("src"));
        QVERIFY2(images.size() >= 5, "the manual shows the program's windows");
        for (const QString &src : images) {
            QVERIFY2(!isExternal(src), qPrintable(src));
            const QString path = localFile(src);
            QVERIFY2(!path.isEmpty(), qPrintable(src + QStringLiteral(" leaves the manual's folder")));
            QFile image(path);
            QVERIFY2(image.open(QIODevice::ReadOnly), qPrintable(src + QStringLiteral(" does not ship")));
            QCOMPARE(image.read(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        }

        for (const QString &href : attributeValues(html, QStringLiteral("href"))) {
            QVERIFY2(!isExternal(href), qPrintable(href));
            const qsizetype hash = href.indexOf(QLatin1Char('#'));
            const QString file = hash < 0 ? href : href.left(hash);
            const QString fragment = hash < 0 ? QString() : href.mid(hash + 1);
            QSet<QString> targetIds = ownIds;
            if (!file.isEmpty()) {
                const QString path = localFile(file);
                QVERIFY2(!path.isEmpty() && QFileInfo(path).isFile(),
                         qPrintable(href + QStringLiteral(" does not ship")));
                if (!fragment.isEmpty())
                    targetIds = ids(readManual(QFileInfo(path).fileName()));
            }
            if (!fragment.isEmpty())
                QVERIFY2(targetIds.contains(fragment), qPrintable(href + QStringLiteral(": no such anchor")));
        }
    }

    // Each picture of the English manual has its Spanish counterpart in the Spanish manual, so
    // neither shows windows in the other language.
    void picturesInTheirLanguage()
    {
        const QStringList english = attributeValues(readManual(QStringLiteral("index.html")), QStringLiteral("src"));
        const QStringList spanish = attributeValues(readManual(QStringLiteral("index.es.html")), QStringLiteral("src"));
        QStringList expected;
        for (const QString &src : english) {
            QVERIFY2(!src.endsWith(QLatin1String(".es.png")), qPrintable(src));
            expected << src.chopped(4) + QStringLiteral(".es.png");
        }
        QCOMPARE(spanish, expected);
    }

    // The build tree's copy is the shipped one: every file of the source folder is there, equal.
    void buildTreeCopy()
    {
        QDir source(kSourceDocsDir);
        QVERIFY(source.exists());
        const QStringList files = {QStringLiteral("index.html"), QStringLiteral("index.es.html")};
        QStringList all = files;
        for (const QString &png : QDir(kSourceDocsDir + QStringLiteral("/img")).entryList({QStringLiteral("*.png")}, QDir::Files))
            all << QStringLiteral("img/") + png;
        for (const QString &relative : all) {
            QFile a(kSourceDocsDir + QLatin1Char('/') + relative);
            QFile b(kDocsDir + QLatin1Char('/') + relative);
            QVERIFY2(a.open(QIODevice::ReadOnly), qPrintable(relative));
            QVERIFY2(b.open(QIODevice::ReadOnly), qPrintable(relative + QStringLiteral(" is not in the build tree")));
            QVERIFY2(a.readAll() == b.readAll(), qPrintable(relative + QStringLiteral(" differs in the build tree")));
        }
    }
};

QTEST_GUILESS_MAIN(tst_Manual)
#include "tst_manual.moc"
