#include "app/AppContext.h"

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

void AppContext::InitProtocols()
{
    ProtocolNames.fill(QString());
    ProtocolNames[0] = QStringLiteral("ZDM");
    ProtocolNames[47] = QStringLiteral("EIB");
    ProtocolNames[70] = QStringLiteral("ZTR001-PACKAGED");
    ProtocolNames[71] = QStringLiteral("ZTR001-CHILLER");
    ProtocolCodes.clear();
    for (int code = 1; code < int(ProtocolNames.size()); ++code) {
        if (!ProtocolNames[code].isEmpty() && !ProtocolCodes.contains(ProtocolNames[code]))
            ProtocolCodes.insert(ProtocolNames[code], code);
    }
}

} // namespace tarveon
