#include "app/Version.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (tarveon::PrintVersionIfAsked(QCoreApplication::arguments(), QStringLiteral("tarveon-cli")))
        return 0;
    QTextStream(stderr) << "usage: tarveon-cli COMMAND ...\n";
    return 2;
}
