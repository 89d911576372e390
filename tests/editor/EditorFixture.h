#pragma once
// Shared by the editor tests: a program directory of its own with a project made from the
// shipped templates, opened as the project list opens it, and the hand-written data files.
#include "TestSupport.h"
#include "model/SignalTable.h"
#include "tools/ProjectListCore.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace tarveon::test {

inline const QString kUnits = QStringLiteral("ZTR001-PACKAGED");
inline const QString kChillers = QStringLiteral("ZTR001-CHILLER");

// "IP: 1.2{X41}" with the text of X41 put in.
inline QString withTexts(const AppContext &ctx, QString text)
{
    static const QRegularExpression key(QStringLiteral("\\{([A-Z]+[0-9]+)\\}"));
    QRegularExpressionMatch m;
    while ((m = key.match(text)).hasMatch())
        text.replace(m.capturedStart(), m.capturedLength(), ctx.GetText(m.captured(1)));
    return text;
}

// "R W T U" of a signal row as four characters, "-" for an empty flag, "2" after "U2"; and back.
inline QString flagsOf(const SignalRow &row)
{
    QString out;
    for (int c = 7; c <= 10; ++c)
        out += row[c].isEmpty() ? QStringLiteral("-") : row[c].left(1);
    return out + (row[10] == "U2" ? "2" : "");
}
inline void setFlags(SignalRow &row, const QString &flags)
{
    for (int c = 0; c < 4; ++c)
        row[7 + c] = flags[c] == '-' ? QString() : QString(flags[c]) + (c == 3 && flags.endsWith('2') ? "2" : "");
}

// A file of tests/data.
inline QByteArray dataFile(const QString &name)
{
    QFile f(QStringLiteral(TARVEON_SOURCE_DIR "/tests/data/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct EditorFixture {
    // A project "Plant" of the protocol, made from the templates and opened; its settings file
    // and signal table replaced when given; the texts in language column `language`.
    explicit EditorFixture(const QString &protocol = kUnits, const QByteArray &settingsFile = {},
                           const QByteArray &tableFile = {}, int language = 0)
    {
        if (language != 0)
            ctx().language.LoadLanguageBytes(t.dir.readFile("RESOURCES.LNG"), "RESOURCES.LNG", language);
        ProjectListCore list(ctx());
        list.fill();
        list.beginNew(nullptr);
        ProjectDialogCore dialog(ctx(), list);
        dialog.load();
        dialog.accept(QStringLiteral("Plant"), QStringLiteral("Test plant"), protocol);
        openProject(ctx(), QStringLiteral("Plant"));
        if (!settingsFile.isEmpty())
            write(protocol + QStringLiteral(".ini"), settingsFile);
        if (!tableFile.isEmpty())
            write(protocol + QStringLiteral(".dat"), tableFile);
        t.prompter.clear();
    }

    AppContext &ctx() { return *t.ctx; }
    RecordingPrompter &prompter() { return t.prompter; }
    QString path(const QString &name) const { return QDir(t.ctx->ProjectDir).filePath(name); }
    QByteArray read(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            f.write(bytes);
    }
    // The texts of the messages shown, in order.
    QStringList messages() const { return t.prompter.texts(); }
    QString text(const char *key) const { return t.ctx->GetText(QLatin1String(key)); }
    QString withTexts(const QString &text) const { return test::withTexts(*t.ctx, text); }

    TestContext t;
};

// A settings file of an indoor-unit project with `devices` devices, all checked, device n at
// system n div 64 and unit n mod 64.
inline QByteArray unitSettings(int devices)
{
    QByteArray ini = "[ZTR001-PACKAGED]\r\nDevices=" + QByteArray::number(devices) + "\r\n";
    for (int n = 1; n <= devices; ++n)
        ini += QStringLiteral("D%1-Active=1\r\nD%1-Sys=%2\r\nD%1-Uni=%3\r\n").arg(n).arg(n / 64).arg(n % 64).toLatin1();
    return ini;
}

} // namespace tarveon::test
