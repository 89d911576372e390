#include "app/Version.h"

#include "version.h"

#include <QTextStream>
#include <cstring>

namespace tarveon {

QString programVersion()
{
    return QStringLiteral("%1.%2.%3").arg(TARVEON_VERSION_MAJOR).arg(TARVEON_VERSION_MINOR).arg(TARVEON_VERSION_PATCH);
}

QString programFileDescription()
{
    return QStringLiteral(TARVEON_FILE_DESCRIPTION);
}

QString programCompany()
{
    return QStringLiteral(TARVEON_COMPANY);
}

QString programComments()
{
    return QStringLiteral(TARVEON_COMMENTS);
}

QString VersionText(const QString &programName)
{
    return programName + QLatin1Char(' ') + programVersion() + QLatin1Char('\n') + programFileDescription() +
           QLatin1Char('\n') + programCompany() + QLatin1Char('\n');
}

bool PrintVersionIfAsked(const QStringList &args, const QString &programName)
{
    // Only the first argument: "--version" further on may be a command's operand.
    if (args.size() < 2 || args.at(1) != QLatin1String("--version"))
        return false;
    QTextStream(stdout) << VersionText(programName);
    return true;
}

bool PrintVersionIfAsked(int argc, char **argv, const QString &programName)
{
    if (argc < 2 || std::strcmp(argv[1], "--version") != 0)
        return false;
    QTextStream(stdout) << VersionText(programName);
    return true;
}

} // namespace tarveon
