#pragma once
#include <QString>

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

} // namespace tarveon
