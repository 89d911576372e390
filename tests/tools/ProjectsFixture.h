#pragma once
// Shared by the project tests: a program directory with projects and templates of its own.
#include "TestSupport.h"
#include "app/AppContext.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QtTest>
#include <unistd.h>

namespace tarveon::test {

// Every key the project windows show. A key the shipped language file does not have yet gets a
// text of its own, so that the messages stay distinguishable.
inline void ensureProjectTexts(AppContext &ctx)
{
    static const char *const keys[] = {"X1", "X2", "X3", "X7", "X8", "X25", "X31", "X86", "X87", "X89",
                                       "X90", "X91", "X92", "X93", "X94", "X95", "X96", "X97", "X98",
                                       "X99", "X100", "X101", "X102"};
    QHash<QString, QString> texts;
    for (const char *k : keys) {
        const QString key = QLatin1String(k);
        texts.insert(key, ctx.language.hasKey(key) ? ctx.language.textOrEmpty(key) : QStringLiteral("<%1>").arg(key));
    }
    ctx.language.setTexts(texts);
}

// The platform message boxes shown, in order (the language loader's own notices left out).
inline QList<RecordingPrompter::Record> boxes(const RecordingPrompter &p)
{
    QList<RecordingPrompter::Record> out;
    for (const auto &r : p.records)
        if (r.kind == RecordingPrompter::Record::PlatformBox)
            out << r;
    return out;
}

inline bool runningAsRoot()
{
    return ::geteuid() == 0;
}

// A program directory with its own templates ("MyTemplates") and projects directory.
struct ProjectsFixture {
    ProjectsFixture()
    {
        ensureProjectTexts(ctx());
        ctx().PathTemplates = t.dir.filePath(QStringLiteral("MyTemplates"));
        ctx().PathProjects = t.dir.filePath(QStringLiteral("ProjectsZDM"));
        t.dir.writeFile(QStringLiteral("MyTemplates/ZTR001-PACKAGED.ini"), QByteArray("[ZTR001-PACKAGED]\r\nDevices=1\r\n"));
        t.dir.writeFile(QStringLiteral("MyTemplates/ZTR001-PACKAGED.DAT"), QByteArray("PROTOCOLO=70-ZTR001-PACKAGED\r\n"));
        t.dir.writeFile(QStringLiteral("MyTemplates/ZTR001-CHILLER.ini"), QByteArray("[ZTR001-CHILLER]\r\nDevices=1\r\n"));
        t.dir.writeFile(QStringLiteral("MyTemplates/ZTR001-CHILLER.dat"), QByteArray("PROTOCOLO=71-ZTR001-CHILLER\r\n"));
        t.dir.writeFile(QStringLiteral("MyTemplates/ZTR001-PACKAGED-OLD.ini"), QByteArray("old"));
        t.prompter.clear();
    }

    AppContext &ctx() { return *t.ctx; }
    RecordingPrompter &prompter() { return t.prompter; }
    QString projects() const { return t.dir.filePath(QStringLiteral("ProjectsZDM")); }
    QString project(const QString &name) const { return projects() + QLatin1Char('/') + name; }

    // A project directory with its description file and further files.
    void addProject(const QString &name, const QString &prot, const QString &desc,
                    const QStringList &files = {}) const
    {
        QByteArray ini = "[Project]\r\nDesc=" + desc.toLatin1() + "\r\nProt=" + prot.toLatin1() + "\r\n";
        t.dir.writeFile(QStringLiteral("ProjectsZDM/") + name + QStringLiteral("/Project.ini"), ini);
        for (const QString &f : files)
            t.dir.writeFile(QStringLiteral("ProjectsZDM/") + name + QLatin1Char('/') + f, f.toLatin1());
    }
    QByteArray read(const QString &relative) const { return t.dir.readFile(relative); }
    void write(const QString &relative, const QByteArray &bytes) const { t.dir.writeFile(relative, bytes); }

    TestContext t;
};

} // namespace tarveon::test
