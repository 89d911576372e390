#include "app/Version.h"

#include "version.h"


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

} // namespace tarveon
