// The user manual as the build tree ships it (DocsZDM beside the executables, equal to the source
// folder): both languages, every picture and link leading to a file that ships with them, every
// picture in its language.
#include <QDir>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kDocs = QStringLiteral(TARVEON_BIN_DIR "/DocsZDM");
const QString kSource = QStringLiteral(TARVEON_SOURCE_DIR "/resources/DocsZDM");

QString manual(const QString &name, const QString &dir = kDocs)
{
    QFile file(dir + '/' + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList attributes(const QString &html, const QString &name)
{
    QStringList values;
    const QRegularExpression re(QStringLiteral("\\b%1\\s*=\\s*\"([^\"]*)\"").arg(name), QRegularExpression::CaseInsensitiveOption);
    for (auto it = re.globalMatch(html); it.hasNext();)
        values << it.next().captured(1);
    return values;
}

} // namespace

class TestManual : public QObject {
    Q_OBJECT
private slots:
    void manuals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("other");
        QTest::newRow("English") << "index.html" << "index.es.html";
        QTest::newRow("Spanish") << "index.es.html" << "index.html";
    }
    void manuals()
    {
        QFETCH(QString, name);
        QFETCH(QString, other);
        const QString html = manual(name);
        const bool spanish = name.contains(".es.");
        QCOMPARE(html, manual(name, kSource));
        QVERIFY(html.contains(spanish ? "<html lang=\"es\">" : "<html lang=\"en\">") && html.contains("</html>"));
        for (const char *banned : {"<script", "@import", "url(", "@CLI_HELP@", "@SIM_HELP@"})
            QVERIFY2(!html.contains(QLatin1String(banned), Qt::CaseInsensitive), banned);
        const QStringList images = attributes(html, "src");
        QVERIFY(images.size() >= 5);
        QStringList counterparts; // each picture has its counterpart in the other language, in the same place
        for (const QString &src : images) {
            QFile image(kDocs + '/' + src), shipped(kSource + '/' + src);
            QVERIFY2(!src.contains("..") && !src.contains(':') && image.open(QIODevice::ReadOnly), qPrintable(src));
            QVERIFY2(shipped.open(QIODevice::ReadOnly) && shipped.readAll() == image.readAll(), qPrintable(src));
            QCOMPARE(src.endsWith(".es.png"), spanish);
            counterparts << (spanish ? src.chopped(7) + ".png" : src.chopped(4) + ".es.png");
        }
        QCOMPARE(attributes(manual(other), "src"), counterparts);
        QVERIFY(attributes(html, "href").contains(other));
        for (const QString &href : attributes(html, "href")) {
            const QString file = href.section('#', 0, 0), anchor = href.section('#', 1);
            QVERIFY2(!href.contains(':') && !file.contains(".."), qPrintable(href));
            const QString target = file.isEmpty() ? html : manual(file);
            QVERIFY2(!target.isEmpty(), qPrintable(href + " does not ship"));
            QVERIFY2(anchor.isEmpty() || attributes(target, "id").contains(anchor), qPrintable(href + ": no such anchor"));
        }
    }
};

QTEST_GUILESS_MAIN(TestManual)
#include "tst_manual.moc"
