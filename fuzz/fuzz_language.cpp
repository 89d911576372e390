// Arbitrary bytes as the language file, read in both language columns: either the fatal end with
// its one message and no texts, or a table whose every key gives its text without a message.
#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace tarveon;
    using fuzz::require;
    static RecordingPrompter prompter;
    static AppContext ctx(QStringLiteral("/nonexistent"), QStringLiteral("fuzz"), &prompter);
    const QByteArray bytes = fuzz::bytesOf(data, size);
    for (int language : {0, 1, 5}) {
        prompter.clear();
        if (!ctx.language.LoadLanguageBytes(bytes, QStringLiteral("fuzz.LNG"), language)) {
            require(ctx.language.Languages().isEmpty());
            require(prompter.records.size() == 1);
            continue;
        }
        require(!ctx.language.Languages().isEmpty());
        require(ctx.language.LanguageIndex() >= 0
                && ctx.language.LanguageIndex() < ctx.language.Languages().size());
        const qsizetype before = prompter.records.size();
        (void)ctx.GetText(QStringLiteral("X1"));
        require(prompter.records.size() <= before + 1);
    }
    return 0;
}
