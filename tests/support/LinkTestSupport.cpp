#include "LinkTestSupport.h"

#include <QFile>

namespace tarveon::test {

QStringList linkTextKeys()
{
    return {"X1", "X3", "X5", "X16", "X29", "X36", "X43", "X44", "X66", "X69", "X70", "X72", "X78", "X79",
            "X80", "X88", "A22", "A25", "A26", "A27", "LNK1", "LNK2", "LNK3", "LNK4", "LNK5", "LNK6"};
}

void ensureTexts(TestContext &tc, const QStringList &keys)
{
    QByteArray extra;
    for (const QString &key : keys) {
        if (!tc.ctx->language.hasKey(key))
            extra += key.toLatin1() + "\ttext of " + key.toLatin1() + " \ttexto de " + key.toLatin1() + " \r\n";
    }
    if (extra.isEmpty())
        return;
    QFile f(tc.dir.filePath(QStringLiteral("RESOURCES.LNG")));
    if (f.open(QIODevice::Append))
        f.write(extra);
    f.close();
    tc.ctx->language.LoadLanguage();
    tc.prompter.clear();
}

QByteArray gatewayFileImage(const QString &family, int size, bool goodChecksum)
{
    QByteArray content;
    if (size >= 68) {
        content = QByteArray("KORVANE-") + family.toLatin1() + "-V.1.0 2026/01/02 03:04:05";
        content = content.leftJustified(62, ' ') + "\r\n";
        for (int i = int(content.size()); i < size - 4; ++i)
            content += char((i * 7 + 3) & 0xFF);
    } else {
        QByteArray filler;
        for (int i = 0; i < size; ++i)
            filler += char('a' + i % 26);
        return filler;
    }
    quint32 sum = 0;
    for (char c : content)
        sum += uchar(c);
    if (!goodChecksum)
        sum += 1;
    QByteArray out;
    out += char(sum & 0xFF);
    out += char((sum >> 8) & 0xFF);
    out += char((sum >> 16) & 0xFF);
    out += char((sum >> 24) & 0xFF);
    return out + content;
}

} // namespace tarveon::test
