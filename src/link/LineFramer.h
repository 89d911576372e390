#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace tarveon {

// Frames the gateway's input into lines ended by CR. A partial line waits for the rest; LF at the
// start of a line (the second half of CR LF) is dropped. Each byte is looked at once, so the
// cost stays linear in the input whatever the chunking.
class LineFramer {
public:
    // Calls onLine(QByteArrayView line) for every complete line in pending input + chunk.
    template <typename F>
    void feed(QByteArrayView chunk, F &&onLine)
    {
        qsizetype pos = 0;
        const qsizetype n = chunk.size();
        while (pos < n) {
            if (m_pending.isEmpty()) {
                while (pos < n && chunk[pos] == '\n')
                    ++pos;
                if (pos == n)
                    break;
            }
            const qsizetype cr = chunk.indexOf('\r', pos);
            if (cr < 0) {
                m_pending.append(chunk.data() + pos, n - pos);
                break;
            }
            if (m_pending.isEmpty()) {
                onLine(chunk.sliced(pos, cr - pos));
            } else {
                m_pending.append(chunk.data() + pos, cr - pos);
                const QByteArray line = std::exchange(m_pending, QByteArray());
                onLine(QByteArrayView(line));
            }
            pos = cr + 1;
        }
    }

    // Received text not yet parsed (the partial line).
    const QByteArray &pending() const { return m_pending; }
    void clear() { m_pending.clear(); }

private:
    QByteArray m_pending;
};

// Decodes a line of the gateway (Windows-1252; plain ASCII takes the fast path).
QString lineToText(QByteArrayView line);

} // namespace tarveon
