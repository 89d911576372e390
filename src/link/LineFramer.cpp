#include "link/LineFramer.h"

#include "app/Text.h"

#include <cstdlib>

namespace tarveon {

QString lineToText(QByteArrayView line)
{
    return fromCp1252(line);
}

double leadingValue(QByteArrayView text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    char buf[64];
    int len = 0;
    auto put = [&](char c) {
        if (len < int(sizeof buf) - 1)
            buf[len++] = c;
    };
    if (i < n && (text[i] == '-' || text[i] == '+'))
        put(text[i++]);
    bool digits = false;
    while (i < n && text[i] >= '0' && text[i] <= '9')
        put(text[i++]), digits = true;
    if (i < n && text[i] == '.') {
        put(text[i++]);
        while (i < n && text[i] >= '0' && text[i] <= '9')
            put(text[i++]), digits = true;
    }
    if (!digits)
        return 0.0;
    if (i < n && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        qsizetype j = i + 1;
        char exp[8];
        int elen = 0;
        if (j < n && (text[j] == '-' || text[j] == '+'))
            exp[elen++] = text[j++];
        const qsizetype firstDigit = j;
        while (j < n && text[j] >= '0' && text[j] <= '9' && elen < 6)
            exp[elen++] = text[j++];
        if (j > firstDigit) {
            put('e');
            for (int k = 0; k < elen; ++k)
                put(exp[k]);
        }
    }
    buf[len] = '\0';
    return std::strtod(buf, nullptr);
}

} // namespace tarveon
