#include "app/AppContext.h"
#include "app/Protocols.h"

namespace tarveon {

AppContext::AppContext(QString programDir_, QString exeBaseName_, Prompter *prompter_)
    : programDir(std::move(programDir_)), exeBaseName(std::move(exeBaseName_)), dataDir(programDir),
      prompter(prompter_), ini(*this), language(*this)
{
}

AppContext::AppContext(const ProgramPaths &paths, Prompter *prompter_)
    : AppContext(paths.settingsDir, paths.baseName, prompter_)
{
    dataDir = paths.dataDir;
}

void AppContext::notice(const QString &text) const
{
    prompter->msgBox(text, QString(), MsgIcon::Exclamation, MsgDefault::First, MsgButtons::One, GetText(QStringLiteral("X1")));
}

bool AppContext::ask(const QString &text) const
{
    return prompter->msgBox(text, QString(), MsgIcon::Question, MsgDefault::Second, MsgButtons::Two,
                            GetText(QStringLiteral("X77")), GetText(QStringLiteral("X59")))
           == 1;
}

void AppContext::show(const Fault &fault) const
{
    switch (fault.kind) {
    case FaultKind::Notice:
        notice(fault.text);
        return;
    case FaultKind::Information:
        prompter->platformBox(BoxKind::Information, kAppTitle, fault.text);
        return;
    case FaultKind::Exclamation:
        prompter->platformBox(BoxKind::Exclamation, kAppTitle, fault.text);
        return;
    case FaultKind::Critical:
        prompter->platformBox(BoxKind::Critical, kAppTitle, fault.text);
        return;
    }
}

void AppContext::show(const Faults &faults) const
{
    for (const Fault &fault : faults)
        show(fault);
}

void AppContext::show(const std::optional<Fault> &fault) const
{
    if (fault)
        show(*fault);
}

void AppContext::InitProtocols()
{
    ProtocolNames.fill(QString());
    ProtocolNames[protocol::Zdm] = QStringLiteral("ZDM");
    ProtocolNames[protocol::Eib] = QStringLiteral("EIB");
    ProtocolNames[protocol::Packaged] = QStringLiteral("ZTR001-PACKAGED");
    ProtocolNames[protocol::Chiller] = QStringLiteral("ZTR001-CHILLER");
    ProtocolCodes.clear();
    for (int code = 1; code < int(ProtocolNames.size()); ++code) {
        if (!ProtocolNames[code].isEmpty())
            ProtocolCodes.insert(ProtocolNames[code], code);
    }
}

} // namespace tarveon
