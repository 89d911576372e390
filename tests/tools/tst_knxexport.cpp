// The project's group addresses for ETS and Home Assistant, read back by the ETS import, and the
// address book; expected files under tests/data/knx (its README says how each was worked out).
#include "TestSupport.h"
#include "app/ui/MDITarveon.h"
#include "app/ui/ExportMenu.h"
#include "FakeSerialPort.h"
#include "model/GroupAddress.h"
#include "tools/AddressBook.h"
#include "tools/GroupAddressPlan.h"
#include "tools/ProjectListCore.h"
#include "tools/TelegramLog.h"

#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QRegularExpression>
#include <QtTest>
#include <yaml-cpp/yaml.h>

using namespace tarveon;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ExportFormat)

namespace {

const QString kData = QStringLiteral(TARVEON_SOURCE_DIR "/tests/data/knx/");

QByteArray dataFile(const QString &name)
{
    QFile f(kData + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestKnxExport : public QObject {
    Q_OBJECT
    std::unique_ptr<test::TestContext> t;
    ProjectData data;
    QString project;

    GroupAddressPlan plan() const { return BuildGroupAddressPlan(*t->ctx, data.protocolCode, data.settings, data.table); }

private slots:
    // The hand-made project, opened as the project list opens it.
    void init()
    {
        t = std::make_unique<test::TestContext>();
        project = t->dir.filePath("ProjectsZDM/Knx");
        for (const QString &name : QDir(kData + "Project").entryList(QDir::Files))
            t->dir.writeFile("ProjectsZDM/Knx/" + name, dataFile("Project/" + name));
        QVERIFY(openProject(*t->ctx, "Knx"));
        QVERIFY(LoadProjectData(*t->ctx, data));
    }

    // Each file as worked out by hand, and what ETS would import from it read back unchanged.
    void exports_data()
    {
        QTest::addColumn<ExportFormat>("format");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<bool>("windows1252");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("detected");
        QTest::newRow("3/1 ;") << ExportFormat::EtsCsv31 << QChar(u';') << false << "ets-3-1.csv" << int(EtsFile::Format::Csv31);
        QTest::newRow("3/1 , Windows-1252") << ExportFormat::EtsCsv31 << QChar(u',') << true << "" << int(EtsFile::Format::Csv31);
        QTest::newRow("1/1 tab Windows-1252") << ExportFormat::EtsCsv11 << QChar(u'\t') << true << "ets-1-1-tab-1252.csv"
                                              << int(EtsFile::Format::Csv11);
        QTest::newRow("1/1 ,") << ExportFormat::EtsCsv11 << QChar(u',') << false << "" << int(EtsFile::Format::Csv11);
        QTest::newRow("XML") << ExportFormat::EtsXml << QChar() << false << "ets.xml" << int(EtsFile::Format::Xml);
    }
    void exports()
    {
        QFETCH(ExportFormat, format);
        QFETCH(QChar, separator);
        QFETCH(bool, windows1252);
        QFETCH(QString, expected);
        const QByteArray bytes = ExportProject(*t->ctx, data, {format, {separator, windows1252}}).value_or("");
        if (!expected.isEmpty())
            QCOMPARE(bytes, dataFile(expected));
        QVERIFY(t->prompter.records.isEmpty());
        const EtsFile file = ReadEtsFile(bytes);
        QTEST(int(file.format), "detected");
        QCOMPARE(file.separator, separator);
        QCOMPARE(file.windows1252, windows1252);
        QCOMPARE(file.byteOrderMark, !windows1252);
        auto line = [](qint16 a, const QString &name, const QString &description, Dpt dpt) {
            return GroupNumberToText(a) + '|' + name + '|' + description + '|' + dpt.etsText();
        };
        QStringList read, planned;
        for (const EtsAddress &e : file.addresses)
            read << line(e.address, e.name, e.description, e.dpt);
        for (const PlanAddress &a : plan().addresses)
            planned << line(a.address, a.name, a.description, a.dpt);
        QCOMPARE(read, planned);
    }

    // The same tree (written out the same way) and the same comments.
    void homeAssistant()
    {
        const QByteArray yaml = ExportProject(*t->ctx, data, {ExportFormat::HaYaml, {}}).value_or("");
        const QByteArray expected = dataFile("ha.yaml");
        QCOMPARE(YAML::Dump(YAML::Load(yaml.toStdString())), YAML::Dump(YAML::Load(expected.toStdString())));
        const QRegularExpression comment(QStringLiteral("^\\s*#"));
        QCOMPARE(QString::fromUtf8(yaml).split('\n').filter(comment), QString::fromUtf8(expected).split('\n').filter(comment));
    }

    // Exports of other tools and older ETS: header or not, quoting, separators, encodings.
    void detection_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("format");
        QTest::addColumn<QChar>("separator");
        QTest::addColumn<bool>("windows1252");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("3/1 without header, unquoted")
            << QByteArray("Main,,,1/-/-,,,,,Auto\r\n,,Kitchen,1/0/1,,,,DPST-1-1,Auto\r\n") << int(EtsFile::Format::Csv31)
            << QChar(u',') << false << QStringList{"1/0/1 Kitchen \u00B7 1.001"};
        QTest::newRow("1/1 header, Windows-1252, two-level")
            << QByteArray("\"Group name\";\"Address\";\"Central\";\"Unfiltered\";\"Description\";\"DatapointType\";"
                          "\"Security\"\r\n\"Cocina \xF1\";\"1/515\";\"\";\"\";\"\";\"DPT-9\";\"Auto\"\r\n")
            << int(EtsFile::Format::Csv11) << QChar(u';') << true << QStringList{"1/2/3 Cocina \u00F1 \u00B7 9"};
        QTest::newRow("1/1 tab, byte-order mark, quoted tab, ; and quotes, LF")
            << QByteArray("\xEF\xBB\xBF\"A;B;C;D;E;F;G;H;I \"\"b\"\"\tc\"\t\"0/0/7\"\t\"\"\t\"\"\t\"\"\t\"DPST-5-1\"\t\"Auto\"\n"
                          "\"Main\"\t\"0/-/-\"\t\"\"\t\"\"\t\"\"\t\"\"\t\"Auto\"\n")
            << int(EtsFile::Format::Csv11) << QChar(u'\t') << false << QStringList{"0/0/7 A;B;C;D;E;F;G;H;I \"b\"\tc \u00B7 5.001"};
        QTest::newRow("XML without byte-order mark, several types")
            << QByteArray("<?xml version=\"1.0\" encoding=\"utf-8\"?><GroupAddress-Export xmlns=\"http://knx.org/xml/"
                          "ga-export/01\"><GroupRange Name=\"x\" RangeStart=\"0\" RangeEnd=\"2047\"><GroupAddress "
                          "Name=\"A &amp; B\" Address=\"0/1/2\" DPTs=\"dpst-9-1 DPST-9-2\"/><GroupAddress Name=\"C\" "
                          "Address=\"0/1/3\"/></GroupRange></GroupAddress-Export>")
            << int(EtsFile::Format::Xml) << QChar() << false << QStringList{"0/1/2 A & B \u00B7 9.001", "0/1/3 C"};
        QTest::newRow("broken XML") << QByteArray("<GroupAddress-Export><GroupAddress Name=") << int(EtsFile::Format::Unknown)
                                    << QChar() << false << QStringList{};
        QTest::newRow("not an export") << QByteArray("hello;world\r\n") << int(EtsFile::Format::Unknown) << QChar(u';')
                                       << false << QStringList{};
    }
    void detection()
    {
        QFETCH(QByteArray, bytes);
        const EtsFile file = ReadEtsFile(bytes);
        QTEST(int(file.format), "format");
        QTEST(file.separator, "separator");
        QTEST(file.windows1252, "windows1252");
        QStringList texts;
        for (const EtsAddress &e : file.addresses)
            texts << AddressBook::completionText(e);
        QTEST(texts, "entries");
    }

    // An ETS file loaded as the project's book: kept, looked up, and compared with the plan.
    void addressBook()
    {
        QByteArray ets = dataFile("ets-3-1.csv");
        ets.replace("\"1/0/1\";\"\";\"\";\"Sala \"\"\xC3\x91\"\"; <&> On/Off\";\"DPST-1-1\"",
                    "\"1/0/1\";\"\";\"\";\"\";\"DPST-5-1\"");
        ets.replace("\"1/3/1\";\"\";\"\";\"\";\"DPST-9-1\"", "\"1/3/1\";\"\";\"\";\"\";\"DPST-5-1\"");
        ets.replace("\"1/1/1\";\"\";\"\";\"\";\"DPST-5-10\"", "\"1/1/1\";\"\";\"\";\"\";\"\"");
        ets.replace("\"1/7/2\";\"\";\"\";\"\";\"DPST-9-1\"", "\"1/7/2\";\"\";\"\";\"\";\"DPST-9-4\"");
        ets.replace("\"1/0/2\"", "\"1/-/-\"");
        t->dir.writeFile("ets.csv", ets);

        AddressBook book;
        QString error;
        QVERIFY(book.importFile(*t->ctx, t->dir.filePath("ets.csv"), project, &error));
        QCOMPARE(t->dir.readFile("ProjectsZDM/Knx/" + AddressBook::fileName()), ets);
        AddressBook kept;
        QVERIFY(kept.load(project));
        QCOMPARE(kept.file().addresses.size(), qsizetype(12));
        QCOMPARE(kept.find(2817)->name, QStringLiteral("Room 101 Setpoint"));
        QVERIFY(!kept.find(2050));
        QStringList found;
        for (const EtsAddress *e : kept.matches(u"1/3"))
            found << AddressBook::completionText(*e);
        QCOMPARE(found, (QStringList{"1/3/1 Room 101 Setpoint \u00B7 5.001", "1/3/2 Sala \"\u00D1\"; <&> Setpoint \u00B7 9.001"}));
        QCOMPARE(kept.matches(u"sala").size(), qsizetype(4));
        QCOMPARE(kept.matches(u"", 2).size(), qsizetype(2));

        const GroupAddressPlan p = plan();
        QCOMPARE(kept.rowsWithOtherType(p).front().row, FindRow(data.table, 1, 0));
        const QString sala = QStringLiteral("Sala \"\u00D1\"; <&> ");
        QCOMPARE(CheckAgainstEts(*t->ctx, p, kept),
                 (QStringList{"1/0/1 Room 101 On/Off: datapoint type 1.001 here, 5.001 in ETS",
                              "1/0/1 " + sala + "On/Off: datapoint type 1.001 here, 5.001 in ETS",
                              "1/0/2 " + sala + "On/Off: not in the ETS file",
                              "1/3/1 Room 101 Setpoint: datapoint type 9.001 here, 5.001 in ETS"}));

        // A file without addresses is refused and the kept book stays.
        t->dir.writeFile("empty.csv", "\"Group name\";\"Address\"\r\n");
        QVERIFY(!book.importFile(*t->ctx, t->dir.filePath("empty.csv"), project, &error));
        QCOMPARE(error, "No group addresses found in " + t->dir.filePath("empty.csv"));
        QCOMPARE(t->dir.readFile("ProjectsZDM/Knx/" + AddressBook::fileName()), ets);
    }

    // File > Export > Group addresses for ETS, with the keyboard, writes the chosen file.
    void exportMenu()
    {
        auto *port = new FakeSerialPort;
        port->failOpen = true;
        t->ctx->language.setTexts({}); // the window is made before the language file is read
        QVERIFY(QFile::copy(t->dir.filePath("RESOURCES.LNG"), t->dir.filePath("tarveon-config.LNG")));
        MDITarveon window(*t->ctx, nullptr, port);
        window.showProjectList = [this] { openProject(*t->ctx, "Knx"); };
        QVERIFY(window.startUp());
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *menu = window.findChild<ExportMenu *>("ExportMenu");
        const QString target = t->dir.filePath("plan");
        menu->chooseFile = [&](const QString &, const QString &, const QStringList &, int *filter) {
            *filter = 0;
            return target;
        };
        auto press = [](int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::keyClick(QApplication::focusWidget()->window()->windowHandle(), Qt::Key(key), modifiers);
        };
        press(Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        press(Qt::Key_E);
        QTRY_COMPARE(QApplication::activePopupWidget(), static_cast<QWidget *>(menu->mnuAExport));
        press(Qt::Key_E);
        QTRY_COMPARE(t->dir.readFile("plan.csv"), dataFile("ets-3-1.csv"));
        QCOMPARE(t->prompter.texts(), QStringList{"File written: \r" + target + ".csv"});
    }
    // Frame texts named and decoded in each address's type, as worked out in the data file.
    void decoding_data()
    {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("decoded");
        const QStringList lines = QString::fromUtf8(dataFile("telegram-decoding.tsv")).split('\n', Qt::SkipEmptyParts);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QStringList f = lines[i].split('\t');
            QTest::newRow(qPrintable(f[0])) << f.value(1) << f.value(2);
        }
    }
    void decoding()
    {
        QFETCH(QString, frame);
        QFETCH(QString, decoded);
        const TelegramDecoder decoder = TelegramDecoder::fromProject(*t->ctx, data);
        QCOMPARE(decoder.describe(decoder.decodeFrame(frame)), decoded);
        // A "GP:" report names and decodes alike; only with its "=" at the fixed place.
        QCOMPARE(decoder.describeReport(u"GP:01/1/001=4.00"), u"Room 101 Mode = Mode 4 Heat");
        QCOMPARE(decoder.describeReport(u"GP:1/1/1=4"), QString());
    }

    // A short session: the CSV as worked out by hand, the statistics of frames and reports, the
    // ring at its capacity and one past it.
    void session()
    {
        TelegramLog log(4);
        log.setDecoder(TelegramDecoder::fromProject(*t->ctx, data));
        const auto at = [](int s, int ms) { return QDateTime(QDate(2026, 12, 6), QTime(5, 1, s, ms)).toMSecsSinceEpoch(); };
        log.recordFrame(at(2, 345), "1.1.12 01/3/001 Write 23.40");
        log.recordFrame(at(2, 846), "1.1.13 1/1/1 Write $01");
        log.recordFrame(at(3, 0), "1.1.12 05/0/001 Read");
        log.recordFrame(at(4, 120), "Bus \"reset\"; done");
        QCOMPARE(log.recordReport(at(5, 0), u"GP:01/3/001=21.50"), "Room 101 Setpoint = 21.50 \u00B0C");
        const QString path = t->dir.filePath("session.csv");
        QVERIFY(log.saveCsv(path, nullptr));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray expected = dataFile("telegrams.csv");
        QCOMPARE(saved.readAll(), expected.mid(expected.indexOf('\n') + 1));
        QStringList stats;
        for (const GroupStats &s : log.statistics())
            stats << u"%1|%2|%3|%4|%5"_s.arg(s.address, s.name).arg(s.count).arg(s.lastValue, TelegramLog::timeText(s.lastMsecs).mid(11));
        QCOMPARE(stats, (QStringList{"1/1/1|Room 101 Mode|1|Mode 1 Cool|05:01:02.846",
                                     "1/3/1|Room 101 Setpoint|2|21.50 \u00B0C|05:01:05.000", "5/0/1||1||05:01:03.000"}));
        log.recordFrame(at(6, 0), "1.1.1 1/0/1 Write 1");
        QCOMPARE(log.size(), 4);
        QCOMPARE(log.at(0).frame, "1.1.13 1/1/1 Write $01");
        QCOMPARE(log.at(3).frame, "1.1.1 1/0/1 Write 1");
        QVERIFY(!log.saveCsv(t->dir.filePath("no/such/dir/x.csv"), nullptr));
    }
};

QTEST_MAIN(TestKnxExport)
#include "tst_knxexport.moc"
