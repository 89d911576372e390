#pragma once
// Shared by the editor tests: a program directory of its own with a project made from the
// shipped templates, opened as the project list opens it.
#include "TestSupport.h"
#include "app/AppContext.h"
#include "tools/ProjectListCore.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace tarveon::test {

struct EditorFixture {
    // A project "Plant" of the protocol, made from the templates and opened; its settings file
    // and signal table replaced when given.
    explicit EditorFixture(const QString &protocol = QStringLiteral("ZTR001-PACKAGED"),
                           const QByteArray &settingsFile = {}, const QByteArray &tableFile = {})
    {
        ctx().ProtocolNames[47] = QStringLiteral("EIB");
        ProjectListCore list(ctx());
        list.fill();
        list.beginNew(nullptr);
        ProjectDialogCore dialog(ctx(), list);
        dialog.load();
        created = dialog.accept(QStringLiteral("Plant"), QStringLiteral("Test plant"), protocol);
        opened = openProject(ctx(), QStringLiteral("Plant"));
        if (!settingsFile.isEmpty())
            write(protocol + QStringLiteral(".ini"), settingsFile);
        if (!tableFile.isEmpty())
            write(protocol + QStringLiteral(".dat"), tableFile);
        t.prompter.clear();
    }

    AppContext &ctx() { return *t.ctx; }
    RecordingPrompter &prompter() { return t.prompter; }
    QString projectDir() const { return t.ctx->ProjectDir; }
    QString path(const QString &name) const { return QDir(projectDir()).filePath(name); }
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
    bool exists(const QString &name) const { return QFile::exists(path(name)); }

    // The texts of the messages shown, in order.
    QStringList messages() const { return t.prompter.texts(); }
    QString text(const char *key) const { return t.ctx->GetText(QLatin1String(key)); }

    TestContext t;
    bool created = false;
    bool opened = false;
};

// "IP: 1.2{X41}" with the text of X41 put in.
inline QString withTexts(const AppContext &ctx, QString text)
{
    static const QRegularExpression key(QStringLiteral("\\{([A-Z]+[0-9]+)\\}"));
    QRegularExpressionMatch m;
    while ((m = key.match(text)).hasMatch())
        text.replace(m.capturedStart(), m.capturedLength(), ctx.GetText(m.captured(1)));
    return text;
}

// A settings file of an indoor-unit project with `devices` devices, all checked, device n at
// system n div 64 and unit n mod 64.
inline QByteArray unitSettings(int devices, const QByteArray &extraEib = {})
{
    QByteArray ini = "[ZTR001-PACKAGED]\r\nIP=192.168.0.1\r\nNetMask=255.255.255.0\r\nGateway=\r\n"
                     "TmPolling_ms=1000\r\nIPTRBAS=192.168.0.2\r\nPortTRBAS=502\r\nDevices="
                     + QByteArray::number(devices) + "\r\n";
    for (int n = 1; n <= devices; ++n) {
        const QByteArray d = "D" + QByteArray::number(n);
        ini += d + "-Active=1\r\n" + d + "-Sys=" + QByteArray::number(n / 64) + "\r\n" + d
               + "-Uni=" + QByteArray::number(n % 64) + "\r\n" + d + "-Name=\r\n";
    }
    ini += "\r\n[EIB]\r\nPhyAdd=15.15.255\r\nUpdateOnResetoErrEIB=0\r\ntS_DelayUpdateBus=4\r\n" + extraEib;
    return ini;
}

} // namespace tarveon::test
