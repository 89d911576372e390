#include "app/Version.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (tarveon::PrintVersionIfAsked(QCoreApplication::arguments(), QStringLiteral("tarveon-sim")))
        return 0;
    QTextStream(stderr) << "usage: tarveon-sim [options]\n";
    return 2;
}
