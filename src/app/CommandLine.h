#pragma once
#include <QCommandLineParser>
#include <QString>
#include <QStringList>

namespace tarveon {

// Option parsing shared by the three programs: a QCommandLineParser whose operands and option
// values may be negative numbers ("--offset -5", "write 1/2/3 -2.5"), which the parser alone would
// take for options. Usage errors end a program with kUsageExit after one line on stderr.
class CommandLine {
public:
    static constexpr int kUsageExit = 2;

    // program: the name help and error lines give ("tarveon-cli info"); --version is offered
    // with withVersion and prints the version text of the program's first word.
    explicit CommandLine(QString program, bool withVersion = true);

    // Declare the options and operands here before parse().
    QCommandLineParser parser;

    // Parses args (without the program name). Returns -1 when the program goes on; otherwise the
    // exit code after the help text (stdout, 0), the version (stdout, 0) or the usage error
    // (stderr, kUsageExit) was printed. Operand counts outside [minOperands, maxOperands] are usage
    // errors (maxOperands < 0: no upper limit).
    int parse(const QStringList &args, int minOperands = 0, int maxOperands = 0);

    bool isSet(const QCommandLineOption &option) const { return parser.isSet(option); }
    QString value(const QCommandLineOption &option) const;
    QStringList values(const QCommandLineOption &option) const;
    QStringList operands() const;

    // The help text with this program's name in its first line.
    QString helpText() const;
    // Prints "program: text" and the hint to --help on stderr; returns kUsageExit.
    int usageError(const QString &text) const;

private:
    QString m_program;
    bool m_withVersion;
};

} // namespace tarveon
