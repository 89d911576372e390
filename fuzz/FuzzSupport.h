#pragma once
// What the fuzz targets share: one program context with the shipped language file loaded, so that
// every message key resolves as in the program (a missing key would add a message of its own).
#include "app/AppContext.h"
#include "RecordingPrompter.h"

#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdlib>

namespace tarveon::fuzz {

inline RecordingPrompter &prompter()
{
    static RecordingPrompter p;
    return p;
}

inline AppContext &context()
{
    static AppContext &ctx = *[] {
        auto *c = new AppContext(QStringLiteral(TARVEON_SOURCE_DIR "/resources"), QStringLiteral("fuzz"), &prompter());
        c->InitProtocols();
        QFile lng(QStringLiteral(TARVEON_SOURCE_DIR "/resources/RESOURCES.LNG"));
        if (!lng.open(QIODevice::ReadOnly) || !c->language.LoadLanguageBytes(lng.readAll(), lng.fileName(), 0))
            std::abort();
        return c;
    }();
    prompter().clear();
    return ctx;
}

inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A property of the code under test does not hold: libFuzzer keeps the input.
inline void require(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace tarveon::fuzz
