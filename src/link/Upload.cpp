#include "link/Upload.h"

#include "app/AppContext.h"
#include "app/Text.h"
#include "app/Files.h"
#include "link/LineFramer.h"

#include <QFile>
#include <QFileInfo>

namespace tarveon {

Upload::Upload(AppContext &ctx, UploadChannel &channel, QObject *parent)
    : QObject(parent), m_ctx(ctx), m_channel(channel)
{
}

QString Upload::text(const char *key) const
{
    return m_ctx.GetText(QString::fromLatin1(key));
}

bool Upload::SendFile(const QString &dir, const QString &entry)
{
    const QString path = findFileNoCase(dir, entry);
    // The entry comes from the project's description file: only a file of the project directory
    // itself is ever sent, never one a path in it reaches elsewhere.
    const bool plainName = !entry.contains(QLatin1Char('/')) && !entry.contains(QLatin1Char('\\'));
    if (entry.isEmpty() || !plainName || !QFileInfo(path).isFile()) {
        m_ctx.notice(text("X66") + QLatin1Char('\r') + path);
        return false;
    }
    QFile file(path);
    const auto failed = [&] {
        m_txData.clear();
        m_ctx.notice(text("X69") + QLatin1Char('\r') + path + QStringLiteral("\rError: \r") + file.errorString());
        return false;
    };
    if (!file.open(QIODevice::ReadOnly))
        return failed();
    const qint64 size = file.size();
    m_channel.showLine(text("X36") + path, false);
    m_channel.showLine(text("X78") + QString::number(size) + QStringLiteral(" bytes"), false);
    m_txData = file.readAll();
    if (m_txData.size() != size || file.error() != QFileDevice::NoError)
        return failed();
    file.close();
    m_channel.showLine(text("X70"), true);
    m_phase = Phase::Announced;
    m_channel.enterState(LinkState::UploadAnnounced);
    m_channel.sendText(QStringLiteral("SEND~") + QString::number(size));
    m_timeoutTicks = 0;
    return true;
}

void Upload::handleLine(QByteArrayView line)
{
    const auto has = [line](const char *word) { return line.indexOf(QByteArrayView(word)) >= 0; };
    if (m_phase == Phase::Announced) {
        if (has("START")) {
            BeginTransfer();
        } else if (has("CANCEL")) {
            m_phase = Phase::Idle;
            m_txData.clear();
            m_channel.enterState(LinkState::OnLine);
            finish(UploadOutcome::Refused, "X44");
        }
    } else if (m_phase == Phase::Sending) {
        if (has("SUCCES")) {
            EndTransfer();
            finish(UploadOutcome::Success, "X79");
        } else if (has("CANCEL")) {
            EndTransfer();
            finish(UploadOutcome::Cancelled, "X80");
        } else if (line.startsWith("Bytes:") && LeadingValue(line.sliced(6)) == double(m_txPos - 1)) {
            SendNextBlock();
        }
    }
}

void Upload::tick()
{
    if (!active() || ++m_timeoutTicks <= kPatienceTicks)
        return;
    EndTransfer();
    finish(UploadOutcome::TimedOut, "X80", true);
}

void Upload::finish(UploadOutcome outcome, const char *key, bool sent)
{
    m_channel.showLine(sent ? text(key) + QStringLiteral(" Timeout") : text(key), sent);
    emit finished(outcome);
}

void Upload::BeginTransfer()
{
    m_channel.showLine(text("X43"), false);
    m_phase = Phase::Sending;
    m_channel.enterState(LinkState::Uploading);
    m_txPos = 1;
    m_progress = UploadProgress{true, double(m_txData.size()) / kBlockSize + 1.0, 0, false, true};
    emit progressChanged();
    SendNextBlock();
}

void Upload::SendNextBlock()
{
    if (m_txPos > m_txData.size())
        return;
    m_progress.blink = !m_progress.blink;
    ++m_progress.value;
    const QByteArray block = m_txData.mid(m_txPos - 1, kBlockSize);
    m_channel.showLine(QStringLiteral("TX: %1 size %2").arg(m_txPos).arg(block.size()), false);
    m_channel.sendBytes(block);
    m_txPos += kBlockSize;
    if (m_txPos > m_txData.size())
        m_txData.clear();
    m_timeoutTicks = 0;
    emit progressChanged();
}

void Upload::EndTransfer()
{
    reset();
    m_channel.enterState(LinkState::OnLine);
}

void Upload::abort()
{
    if (!active())
        return;
    reset();
    emit finished(UploadOutcome::Aborted);
}

void Upload::reset()
{
    m_phase = Phase::Idle;
    m_progress = UploadProgress{};
    m_timeoutTicks = 0;
    m_txData.clear();
    emit progressChanged();
}

} // namespace tarveon
