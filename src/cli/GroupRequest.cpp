#include "GroupRequest.h"

#include "CliCommon.h"
#include "LinkSession.h"
#include "app/Text.h"
#include "model/GroupAddress.h"
#include "tools/SignalViewerCore.h"
#include "tools/TelegramDecoder.h"

#include <QRegularExpression>
#include <QTextStream>
#include <QTimer>

namespace tarveon::cli {

namespace {

constexpr int kDefaultTimeoutSeconds = 3;

// "1/0/3" or the gateway's padded "01/0/003": main 0..15, middle 0..7, sub 0..255, not 0/0/0.
// -1 when the text is none of these.
int groupOperand(const QString &text)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{1,2})/(\\d)/(\\d{1,3})$"));
    const QRegularExpressionMatch m = form.match(text.trimmed());
    if (!m.hasMatch())
        return -1;
    const int main = m.captured(1).toInt(), middle = m.captured(2).toInt(), sub = m.captured(3).toInt();
    if (main > 15 || middle > 7 || sub > 255)
        return -1;
    const int group = main * 2048 + middle * 256 + sub;
    return group > 0 ? group : -1;
}

} // namespace

int runGroupRequest(const QStringList &args, bool write)
{
    CommandLine cl(write ? QStringLiteral("tarveon-cli write") : QStringLiteral("tarveon-cli read"), false);
    cl.parser.setApplicationDescription(
        (write ? QStringLiteral("Write a group's value in the gateway (GP:01/0/003=21.50, as the signal viewer "
                                "sends it),\nthen ask for the group's value and print the gateway's report.\n")
               : QStringLiteral("Ask the gateway for a group's value and print its report (GP:01/0/003=21.50).\n")) +
        QStringLiteral("With --project the value is also printed decoded on a second line.\n"
                       "Exit status: 0 the report came, 1 no report within --timeout (default %1 s), no answer or "
                       "another family, 2 usage or port error.")
            .arg(kDefaultTimeoutSeconds));
    LinkOptions link(cl, true);
    const QCommandLineOption timeout(QStringLiteral("timeout"),
                                     QStringLiteral("Seconds to wait for the group's report after asking (%1).")
                                         .arg(kDefaultTimeoutSeconds),
                                     QStringLiteral("seconds"), QString::number(kDefaultTimeoutSeconds));
    cl.parser.addOption(timeout);
    cl.parser.addPositionalArgument(QStringLiteral("GROUP"), QStringLiteral("Group address, 1/0/3 or 01/0/003."));
    if (write)
        cl.parser.addPositionalArgument(QStringLiteral("VALUE"),
                                        QStringLiteral("The value, \",\" or \".\" as decimal point, may be negative."));
    const int operands = write ? 2 : 1;
    if (const int code = cl.parse(args, operands, operands); code >= 0)
        return code;
    const int group = groupOperand(cl.operands().at(0));
    if (group < 0)
        return cl.usageError(QStringLiteral("not a group address: ") + cl.operands().at(0));
    QString valueText;
    if (write) {
        bool ok = false;
        const QString typed = firstCommaToPoint(cl.operands().at(1).trimmed());
        const double value = typed.toDouble(&ok);
        if (!ok)
            return cl.usageError(QStringLiteral("not a number: ") + cl.operands().at(1));
        valueText = formatHashDot00(float(value));
    }
    bool timeoutOk = false;
    const int seconds = cl.value(timeout).toInt(&timeoutOk);
    if (!timeoutOk || seconds <= 0)
        return cl.usageError(QStringLiteral("--timeout takes a number above 0"));
    CliContext cli;
    if (const int code = link.prepare(cl, cli); code >= 0)
        return code;
    AppContext &ctx = *cli.ctx;

    // Named and decoded as the monitors do, when a project is given.
    const TelegramDecoder decoder = TelegramDecoder::forOpenProject(ctx);
    LinkSession session(cli, link.port(cl, ctx), link.waitSeconds, link.tickMs);
    const QString key = kGroupPrefix + GroupNumberToPaddedText(qint16(group));
    QTimer wait;
    wait.setSingleShot(true);
    bool asked = false;
    bool reported = false; // a change report and the answer may come in one read: print one
    QObject::connect(&session.link, &SerialLink::identified, &session, [&] {
        if (write)
            session.link.TransmitTarveon(key + QLatin1Char('=') + valueText);
        session.link.TransmitTarveon(key + QLatin1Char('?'));
        asked = true;
        wait.start(seconds * 1000);
    });
    QObject::connect(&session.link, &SerialLink::gatewayLine, &session, [&](const QString &line, const QString &mark) {
        if (!asked || reported || mark != QLatin1String(">") || !line.startsWith(key + QLatin1Char('=')))
            return;
        reported = true;
        QTextStream out(stdout);
        out << line << "\n";
        if (const QString decoded = decoder.describeReport(line); !decoded.isEmpty())
            out << decoded << "\n";
        out.flush();
        wait.stop();
        session.finish(ExitOk);
    });
    QObject::connect(&wait, &QTimer::timeout, &session, [&] {
        ConsolePrompter::print(ctx.GetText(QStringLiteral("GRW1")) + GroupNumberToText(qint16(group)) +
                               QStringLiteral(" (%1 s)").arg(seconds));
        session.finish(ExitRefused);
    });
    return session.run();
}

} // namespace tarveon::cli
