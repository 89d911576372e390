#pragma once
#include <QString>
#include <QStringList>

namespace tarveon {

// The program's version information, declared once in the top-level CMakeLists.txt (project
// VERSION and the TARVEON_* variables) and shown by the about box, the --version option of every
// program and the package.

// "major.minor.revision".
QString programVersion();
QString programFileDescription();
QString programCompany();
QString programComments();

// The --version text of a program: "NAME major.minor.revision", then the file description and
// the company, one per line.
QString VersionText(const QString &programName);

// When args (the program's arguments, the program name first) hold "--version", prints
// VersionText on standard output and returns true: the caller ends with status 0.
bool PrintVersionIfAsked(const QStringList &args, const QString &programName);
// The same before any Qt application object exists.
bool PrintVersionIfAsked(int argc, char **argv, const QString &programName);

} // namespace tarveon
