// Every file the tool reads, broken in the ways files break: empty, cut short, binary junk, a line
// of a megabyte, and a field count of two thousand million. The reader either reads what is there
// or refuses with the message of that file; it never crashes, never reads past what it was given,
// and a later save does not lose the bytes it did not understand.
#include "FaultSupport.h"
#include "TestSupport.h"
#include "app/IniFile.h"
#include "editor/ProjectSettings.h"
#include "model/LinkSignals.h"
#include "model/ModKorvaneEIB.h"
#include "model/SignalTableFile.h"
#include "tools/Projects.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace tarveon;
using namespace tarveon::test;
using Record = RecordingPrompter::Record;

namespace {

enum class Input { Language, Settings, Description, ProjectSettings, SignalTable, Template };
enum class Damage { Empty, Truncated, Binary, MegabyteLine, HugeFieldCount };

const qsizetype kMegabyte = 1024 * 1024;

QByteArray shipped(const QString &relative)
{
    return readAll(resourcesDir() + "/" + relative);
}

QByteArray goodSignalTable()
{
    return "PROTOCOLO=70-ZTR001-PACKAGED\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n"
           "\tUnit\tCode\tD\tEIS\tG\tO\tR\tW\tT\tU\tS\t\r\n"
           "1\t1\t100-Status\tOn/Off\t01 - Switching (1 bit)\t1/0/1\t\tR\t\tT\t\t1\t\r\n"
           "2\t1\t101-Alarm\tAlarm\t01 - Switching (1 bit)\t1/0/2\t1/0/3\tR\tW\t\tU2\t1\t\r\n";
}

QByteArray good(Input input)
{
    switch (input) {
    case Input::Language:
        return shipped("RESOURCES.LNG");
    case Input::Settings:
        return "[X103]\r\nLanguage=1\r\nCom=3\r\nSettings=9600,n,8,1\r\nLastProject=Hotel\r\n";
    case Input::Description:
        return "[Project]\r\nDesc=Hotel Sol\r\nProt=ZTR001-PACKAGED\r\n";
    case Input::ProjectSettings:
    case Input::Template:
        return shipped("TemplatesZDM/ZTR001-PACKAGED.ini");
    case Input::SignalTable:
        return goodSignalTable();
    }
    return {};
}

QByteArray damaged(Input input, Damage damage)
{
    const QByteArray bytes = good(input);
    switch (damage) {
    case Damage::Empty:
        return {};
    case Damage::Truncated:
        return bytes.left(bytes.size() / 2 + 3); // cut inside a line, the end-of-line lost
    case Damage::Binary:
        return junk(quint32(input) + 7, 64 * 1024);
    case Damage::MegabyteLine: {
        // A line of a megabyte in the middle of the file, as the second field of its line.
        const qsizetype secondLine = bytes.indexOf('\n') + 1;
        QByteArray big = bytes.left(secondLine);
        big += "BIG\t" + QByteArray(kMegabyte, 'x') + "\r\n";
        if (input != Input::Language && input != Input::SignalTable)
            big += "Big=" + QByteArray(kMegabyte, 'y') + "\r\n";
        big += bytes.mid(secondLine);
        return big;
    }
    case Damage::HugeFieldCount: {
        QByteArray out = bytes;
        if (input == Input::SignalTable)
            out.replace("CAMPOS=12", "CAMPOS=2000000000");
        else
            out.insert(out.indexOf('\n') + 1, "CAMPOS=2000000000\r\nDevices=2000000000\r\nCom=2000000000\r\n");
        return out;
    }
    }
    return {};
}

} // namespace

class TestInputFaults : public QObject {
    Q_OBJECT
private slots:
    void damagedInput_data()
    {
        QTest::addColumn<Input>("input");
        QTest::addColumn<Damage>("damage");
        const QList<QPair<Input, const char *>> inputs = {
            {Input::Language, "language file"},       {Input::Settings, "settings file"},
            {Input::Description, "project description"}, {Input::ProjectSettings, "project settings"},
            {Input::SignalTable, "signal table"},     {Input::Template, "template"}};
        const QList<QPair<Damage, const char *>> damages = {{Damage::Empty, "empty"},
                                                           {Damage::Truncated, "truncated"},
                                                           {Damage::Binary, "binary"},
                                                           {Damage::MegabyteLine, "1 MB line"},
                                                           {Damage::HugeFieldCount, "CAMPOS=2000000000"}};
        for (const auto &i : inputs)
            for (const auto &d : damages)
                QTest::newRow(QByteArray(i.second) + ": " + d.second) << i.first << d.first;
    }

    void damagedInput()
    {
        QFETCH(Input, input);
        QFETCH(Damage, damage);
        const QByteArray bytes = damaged(input, damage);
        switch (input) {
        case Input::Language:
            language(bytes, damage);
            break;
        case Input::Settings:
            settings(bytes, damage);
            break;
        case Input::Description:
            description(bytes, damage);
            break;
        case Input::ProjectSettings:
            projectSettings(bytes, damage);
            break;
        case Input::SignalTable:
            signalTable(bytes, damage);
            break;
        case Input::Template:
            templateFile(bytes, damage);
            break;
        }
    }

    // A device count of two thousand million in the settings the link reads on identification:
    // only the machine type's devices are looked at, and the loading ends at once.
    void hugeDeviceCountOnLine()
    {
        TestContext t;
        AppContext &ctx = *t.ctx;
        ctx.ProjectDir = ctx.PathProjects + "/Plant";
        ctx.ProjectProtocol = "ZTR001-CHILLER";
        QVERIFY(writeAll(ctx.ProjectDir + "/ZTR001-CHILLER.ini",
                         "[ZTR001-CHILLER]\r\nDevices=2000000000\r\nD1-Active=1\r\nD9-Active=1\r\n"));
        QByteArray table = "PROTOCOLO=71-ZTR001-CHILLER\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n\tH\r\n";
        table += "1\t1\t100-Status\tOn/Off\t01 - Switching (1 bit)\t1/0/1\t\tR\t\tT\t\t1\t\r\n";
        table += "2\t9\t100-Status\tOn/Off\t01 - Switching (1 bit)\t1/0/9\t\tR\t\tT\t\t1\t\r\n";
        QVERIFY(writeAll(ctx.ProjectDir + "/ZTR001-CHILLER.dat", table));
        LinkTables tables;
        LoadLinkSignals(ctx, tables);
        QVERIFY(t.prompter.records.isEmpty());
        QCOMPARE(tables.count(), 1); // device 9 is past the 8 chillers a project can have
        QCOMPARE(tables.signals_[1].fields[1], QStringLiteral("1"));
    }

private:
    // The language file named after the program: read, or the fatal end with its one message.
    void language(const QByteArray &bytes, Damage damage)
    {
        TestContext t(false);
        const QString path = t.dir.filePath("tarveon-config.LNG");
        QVERIFY(writeAll(path, bytes));
        const bool loaded = t.ctx->language.LoadLanguage();
        if (damage == Damage::Empty) {
            QVERIFY(!loaded);
            QCOMPARE(t.prompter.texts(), QStringList{"Error or File not found. " + path});
            QVERIFY(t.ctx->language.Languages().isEmpty());
            return;
        }
        if (damage == Damage::Binary) {
            // Junk either has no language in its first line (the fatal end) or reads as texts.
            if (!loaded)
                QCOMPARE(t.prompter.texts(), QStringList{"Error or File not found. " + path});
            else
                QVERIFY(!t.ctx->language.Languages().isEmpty());
            return;
        }
        QVERIFY(loaded);
        QCOMPARE(t.ctx->language.Languages().size(), 2);
        t.prompter.clear();
        QVERIFY(t.ctx->language.hasKey("X1"));
        if (damage == Damage::MegabyteLine) {
            // The text of the long line's key is in the second field, read in full.
            QCOMPARE(t.ctx->language.textOrEmpty("BIG"), QString(kMegabyte, 'x'));
        }
    }

    // The application settings: reads give what is there or the defaults; a write keeps the rest.
    void settings(const QByteArray &bytes, Damage damage)
    {
        TestContext t;
        const QString path = t.dir.filePath("tarveon-config.ini");
        QVERIFY(writeAll(path, bytes));
        ModulINI &ini = t.ctx->ini;
        const QString port = ini.ReadAppSetting("X103", "Settings", "57600,n,8,1");
        const qint32 com = ini.ReadAppSettingInt("X103", "Com", 1);
        QVERIFY(port.size() <= 254);
        if (damage == Damage::Empty || damage == Damage::Binary) {
            QCOMPARE(port, QStringLiteral("57600,n,8,1"));
            QCOMPARE(com, 1);
        } else if (damage == Damage::HugeFieldCount) {
            QCOMPARE(com, 2000000000); // the first Com of the section counts
        } else if (damage == Damage::MegabyteLine) {
            QCOMPARE(ini.ReadAppSetting("X103", "Big", ""), QString(254, 'y'));
        }
        QVERIFY(t.prompter.records.isEmpty());

        // A write changes the one line it is about: every other byte stays.
        ini.WriteAppSetting("X103", "LastProject", "Hotel Sol");
        QVERIFY(t.prompter.records.isEmpty());
        QCOMPARE(ini.ReadAppSetting("X103", "LastProject", ""), QStringLiteral("Hotel Sol"));
        const QByteArray after = readAll(path);
        QVERIFY(after.size() >= bytes.size() - 64);
        QCOMPARE(ini.ReadAppSetting("X103", "Settings", "57600,n,8,1"), port);
        QCOMPARE(ini.ReadAppSettingInt("X103", "Com", 1), com);
    }

    // A project whose description file is damaged: listed with what can be read, or not listed.
    void description(const QByteArray &bytes, Damage damage)
    {
        TestContext t;
        AppContext &ctx = *t.ctx;
        QVERIFY(writeAll(ctx.PathProjects + "/Hotel/Project.ini", bytes));
        QVERIFY(writeAll(ctx.PathProjects + "/Good/Project.ini", good(Input::Description)));
        ProjectList list(ctx);
        QVERIFY(list.Fill());
        QVERIFY(t.prompter.records.isEmpty());
        QStringList names;
        for (const auto &e : list.entries()) {
            names << e.name;
            QVERIFY(e.protocol.size() <= 254 && e.description.size() <= 254);
        }
        QVERIFY(names.contains("Good"));
        const bool listed = names.contains("Hotel");
        if (damage == Damage::Empty || damage == Damage::Binary)
            QVERIFY(!listed);
        if (damage == Damage::MegabyteLine || damage == Damage::HugeFieldCount)
            QVERIFY(listed);
        QCOMPARE(OpenProject(ctx, "Hotel"), listed);
        // Saving the project's description keeps the lines the program does not know.
        if (listed) {
            list.BeginEdit(list.entries()[names.indexOf("Hotel")]);
            ProjectDialog dialog(ctx, list);
            dialog.Load();
            QVERIFY(dialog.Accept("Hotel", "new", "ZTR001-PACKAGED"));
            QVERIFY(t.prompter.records.isEmpty());
            const QByteArray after = readAll(ctx.PathProjects + "/Hotel/Project.ini");
            if (damage == Damage::MegabyteLine)
                QVERIFY(after.contains("Big=" + QByteArray(kMegabyte, 'y') + "\r\n"));
            QCOMPARE(ParseProjectEntry("Hotel", after).description, QStringLiteral("new"));
        }
    }

    // The project settings file: defaults for what is missing, the device count within its bounds.
    void projectSettings(const QByteArray &bytes, Damage damage)
    {
        TestContext t;
        AppContext &ctx = *t.ctx;
        ctx.ProjectDir = ctx.PathProjects + "/Hotel";
        QVERIFY(writeAll(ctx.ProjectDir + "/ZTR001-PACKAGED.ini", bytes));
        const ProjectSettings s = ProjectSettings::load(ctx, 70);
        QVERIFY(t.prompter.records.isEmpty());
        QVERIFY(s.devices.size() <= 160);
        QVERIFY(s.ip.size() <= 254 && s.phyAdd.size() <= 254);
        if (damage == Damage::Empty || damage == Damage::Binary) {
            QCOMPARE(s.ip, ProjectSettings().ip);
            QCOMPARE(s.devices.size(), 1);
        }
        if (damage == Damage::HugeFieldCount)
            QCOMPARE(s.devices.size(), 160);
        // Saving what was read keeps the bytes the program does not know.
        QVERIFY(s.save(ctx, 70));
        const QByteArray after = readAll(ctx.ProjectDir + "/ZTR001-PACKAGED.ini");
        if (damage == Damage::MegabyteLine)
            QVERIFY(after.contains("Big=" + QByteArray(kMegabyte, 'y') + "\r\n"));
        if (damage == Damage::Binary)
            QVERIFY(after.startsWith(bytes));
        const ProjectSettings again = ProjectSettings::load(ctx, 70);
        QCOMPARE(again.devices.size(), s.devices.size());
        QCOMPARE(again.ip, s.ip);
    }

    // The signal table file: read, or the header messages "X28" / "X45" with the line read.
    void signalTable(const QByteArray &bytes, Damage damage)
    {
        TestContext t;
        AppContext &ctx = *t.ctx;
        ctx.ProjectDir = ctx.PathProjects + "/Hotel";
        QVERIFY(writeAll(ctx.ProjectDir + "/ZTR001-PACKAGED.dat", bytes));
        StoredSignalTable stored;
        const bool read = ReadSignalTable(ctx, 70, "1.0", stored);
        const QString path = QDir::toNativeSeparators(ctx.ProjectDir + "/ZTR001-PACKAGED.dat");
        const QString name = "ZTR001-PACKAGED";
        switch (damage) {
        case Damage::Empty:
        case Damage::Binary:
            QVERIFY(!read);
            QCOMPARE(t.prompter.records.size(), 1);
            QVERIFY(t.prompter.records[0].text.startsWith(ctx.GetText("X28") + name + ctx.GetText("X61") + "\r" + path + "\r"));
            QCOMPARE(stored.rowCount(), 0);
            return;
        case Damage::Truncated: // cut inside the first data row: that row as far as it goes
            QVERIFY(read);
            QCOMPARE(stored.rowCount(), 1);
            QCOMPARE(stored.field(1, 2), QStringLiteral("100-Status"));
            break;
        case Damage::MegabyteLine: // the long line is the second line: no version there
            QVERIFY(!read);
            QCOMPARE(t.prompter.records.size(), 1);
            QCOMPARE(t.prompter.records[0].text,
                     ctx.GetText("X45") + name + ctx.GetText("X60") + "\r" + path + "\rBIG\t" + QString(kMegabyte, 'x'));
            return;
        case Damage::HugeFieldCount:
            QVERIFY(read);
            QCOMPARE(stored.fieldCount, 2000000000);
            QCOMPARE(stored.rowCount(), 2);
            QCOMPARE(stored.heldFields(1), 11); // what the line has, not what the header claims
            QCOMPARE(stored.field(2, 6), QStringLiteral("1/0/3"));
            break;
        }
        QVERIFY(t.prompter.records.isEmpty());

        // A table with 1 MB lines and a huge field count among its rows reads in full.
        QByteArray rows = goodSignalTable();
        rows.replace("CAMPOS=12", "CAMPOS=2000000000");
        rows += "3\t1\t102-Big\t" + QByteArray(kMegabyte, 'z') + "\t" + QByteArray(kMegabyte / 2, '\t') + "\r\n";
        QVERIFY(writeAll(ctx.ProjectDir + "/ZTR001-PACKAGED.dat", rows));
        QVERIFY(ReadSignalTable(ctx, 70, "1.0", stored));
        QCOMPARE(stored.rowCount(), 3);
        QCOMPARE(stored.field(3, 3).size(), kMegabyte);
        QCOMPARE(stored.heldFields(3), int(kMegabyte / 2 + 3));
    }

    // A protocol's templates damaged: the new project gets byte-equal copies and opens; reading
    // its files then behaves as for any damaged project file.
    void templateFile(const QByteArray &bytes, Damage damage)
    {
        Q_UNUSED(damage);
        TestContext t;
        AppContext &ctx = *t.ctx;
        QVERIFY(writeAll(ctx.PathTemplates + "/ZTR001-PACKAGED.ini", bytes));
        QVERIFY(writeAll(ctx.PathTemplates + "/ZTR001-PACKAGED.dat", bytes));
        ProjectList list(ctx);
        QVERIFY(list.Fill());
        QVERIFY(list.BeginNew(nullptr));
        ProjectDialog dialog(ctx, list);
        dialog.Load();
        QVERIFY(dialog.Accept("Hotel", "new", "ZTR001-PACKAGED"));
        QVERIFY(t.prompter.records.isEmpty());
        QCOMPARE(readAll(ctx.PathProjects + "/Hotel/ZTR001-PACKAGED.ini"), bytes);
        QCOMPARE(readAll(ctx.PathProjects + "/Hotel/ZTR001-PACKAGED.dat"), bytes);
        QVERIFY(OpenProject(ctx, "Hotel"));
        ctx.ProjectDir = ctx.PathProjects + "/Hotel";
        const ProjectSettings s = ProjectSettings::load(ctx, 70);
        QVERIFY(s.devices.size() <= 160);
        StoredSignalTable stored;
        if (!ReadSignalTable(ctx, 70, "1.0", stored))
            QCOMPARE(t.prompter.records.size(), 1); // the table's header message, nothing more
    }
};

QTEST_GUILESS_MAIN(TestInputFaults)
#include "tst_inputfaults.moc"
