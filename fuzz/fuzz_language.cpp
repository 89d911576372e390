// Feeds arbitrary bytes to the language file loader, in both language columns.
#include "app/AppContext.h"
#include "app/RecordingPrompter.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    {
        QFile f(dir.filePath(QStringLiteral("fuzz.LNG")));
        if (!f.open(QIODevice::WriteOnly))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    for (const char *language : {"0", "1"}) {
        {
            QFile ini(dir.filePath(QStringLiteral("fuzz.ini")));
            if (!ini.open(QIODevice::WriteOnly))
                return 0;
            ini.write(QByteArray("[X103]\r\nLanguage=") + language + "\r\n");
        }
        tarveon::RecordingPrompter prompter;
        tarveon::AppContext ctx(dir.path(), QStringLiteral("fuzz"), &prompter);
        if (ctx.language.LoadLanguage())
            (void)ctx.GetText(QStringLiteral("X1"));
    }
    return 0;
}
