#include "app/CommandLine.h"

#include "app/Version.h"

#include <QRegularExpression>
#include <QTextStream>

namespace tarveon {

namespace {

// A negative number standing alone is an operand or an option's value, never an option. It is
// hidden from the parser behind a character no one types and shown again when read back.
const QChar kHide(0x1F);

QString hide(const QString &arg)
{
    static const QRegularExpression negative(QStringLiteral("^-(\\d|\\.\\d)"));
    return negative.match(arg).hasMatch() ? kHide + arg : arg;
}

QString show(QString text)
{
    if (text.startsWith(kHide))
        text.remove(0, 1);
    return text;
}

QStringList show(QStringList list)
{
    for (QString &s : list)
        s = show(s);
    return list;
}

} // namespace

CommandLine::CommandLine(QString program, bool withVersion)
    : m_program(std::move(program)), m_withVersion(withVersion)
{
    parser.addHelpOption();
    if (withVersion)
        parser.addOption({QStringLiteral("version"), QStringLiteral("Print the version and exit.")});
}

int CommandLine::parse(const QStringList &args, int minOperands, int maxOperands)
{
    QStringList hidden{m_program.section(QLatin1Char(' '), 0, 0)};
    for (const QString &a : args)
        hidden << hide(a);
    if (!parser.parse(hidden))
        return usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all"))) {
        QTextStream(stdout) << helpText();
        return 0;
    }
    if (m_withVersion && parser.isSet(QStringLiteral("version"))) {
        QTextStream(stdout) << VersionText(m_program.section(QLatin1Char(' '), 0, 0));
        return 0;
    }
    const qsizetype count = parser.positionalArguments().size();
    if (count < minOperands)
        return usageError(QStringLiteral("missing operand"));
    if (maxOperands >= 0 && count > maxOperands)
        return usageError(QStringLiteral("unexpected operand ") + show(parser.positionalArguments().at(maxOperands)));
    return -1;
}

QString CommandLine::value(const QCommandLineOption &option) const
{
    return show(parser.value(option));
}

QStringList CommandLine::values(const QCommandLineOption &option) const
{
    return show(parser.values(option));
}

QStringList CommandLine::operands() const
{
    return show(parser.positionalArguments());
}

QString CommandLine::helpText() const
{
    // The parser names the executable as it was started; help names the program and its command.
    QString text = parser.helpText();
    const qsizetype options = text.indexOf(QLatin1String(" [options]"));
    const qsizetype colon = text.indexOf(QLatin1String(": "));
    if (colon >= 0 && options > colon)
        text.replace(colon + 2, options - colon - 2, m_program);
    return text;
}

int CommandLine::usageError(const QString &text) const
{
    QTextStream(stderr) << m_program << ": " << text << "\n"
                        << "Try '" << m_program << " --help' for more information.\n";
    return kUsageExit;
}

} // namespace tarveon
