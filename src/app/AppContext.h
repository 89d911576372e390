#pragma once
#include "app/Fault.h"
#include "app/Files.h"
#include "app/ModulINI.h"
#include "app/ProgramPaths.h"
#include "app/Prompter.h"
#include "app/Protocols.h"
#include "app/mIdioma.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <array>
#include <functional>
#include <optional>

namespace tarveon {

// The application's shared state: paths, the open project, and the seams (prompter, clock); the
// gateway link keeps its own. One object per program run; tests make as many as they like.
class AppContext {
public:
    // programDir: where the executable, its settings file and the language file live.
    // exeBaseName: the executable's base name (settings file = exeBaseName + ".ini").
    AppContext(QString programDir, QString exeBaseName, Prompter *prompter);
    // An installed program: settings in paths.settingsDir (programDir), shipped data in paths.dataDir.
    AppContext(const ProgramPaths &paths, Prompter *prompter);

    // Shortcut to the language resources.
    QString GetText(const QString &key) const { return language.GetText(key); }

    // A notice in the message dialog: application title, exclamation icon, one button "X1".
    void notice(const QString &text) const;
    // A question in the message dialog: question icon, buttons "X77" and "X59", the second the
    // default. True when the first was chosen.
    bool ask(const QString &text) const;
    // Shows what a routine returned: each fault in turn, nothing for none.
    void show(const Fault &fault) const;
    void show(const Faults &faults) const;
    void show(const std::optional<Fault> &fault) const;

    // Fills ProtocolNames and ProtocolCodes.
    void InitProtocols();

    // Where the settings file lives and, by default, the projects directory.
    QString programDir;
    QString exeBaseName;
    // Read-only shipped data: language file, default templates directory, documentation folder.
    // The program directory itself unless the program is installed (ProgramPaths).
    QString dataDir;
    Prompter *prompter;
    ModulINI ini;
    mIdioma language;

    // Protocol name table (codes 0..71) and its reverse lookup.
    std::array<QString, 72> ProtocolNames;
    ProtocolCodeTable ProtocolCodes;

    QString PathTemplates;
    QString PathProjects;

    // The open project.
    QString ProjectDir;
    QString ProjectName;
    QString ProjectProtocol;
    QString ProjectDescription;
    QString ProtocolFamily;
    QString IniFileName;

    // The gateway monitor shows its lines: set when it loads and by its chkBus, cleared when it closes.
    bool GatewayMonitorShow = false;

    // Raised while the editor builds its table; grid handlers ignore events meanwhile.
    bool GridBusy = false;

    // Local time source (the gateway file's header and log time stamps); tests inject one.
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };
    // The device every user file is saved through (settings, project files, gateway file); empty
    // writes straight into the file's QSaveFile. Fault tests put a failing device in front.
    SaveDeviceFactory saveDevice;
};

} // namespace tarveon
