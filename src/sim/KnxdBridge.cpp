#include "KnxdBridge.h"

#include "model/GatewayFile.h"
#include "model/GroupAddress.h"

#include <QLibrary>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <type_traits>
#include <eibclient.h>

namespace tarveon::sim {

namespace {

// The application control field of the group services, in the second APDU byte.
constexpr quint8 kGroupRead = 0x00;
constexpr quint8 kGroupResponse = 0x40;
constexpr quint8 kGroupWrite = 0x80;

// Types of at most six bits travel inside the APCI byte itself.
bool isSmall(Dpt dpt)
{
    return dpt.main >= 1 && dpt.main <= 3;
}

} // namespace

// knxd's client library is loaded when the bridge is used, not linked: the simulator (and the
// package that ships it) then needs knxd only for --knxd, and installing the tool never brings a
// knxd service along.
struct KnxdBridge::Api {
    decltype(&EIBSocketURL) socketUrl = nullptr;
    decltype(&EIBOpen_GroupSocket) openGroupSocket = nullptr;
    decltype(&EIBSendGroup) sendGroup = nullptr;
    decltype(&EIBGetGroup_Src) getGroupSrc = nullptr;
    decltype(&EIB_Poll_FD) pollFd = nullptr;
    decltype(&EIB_Poll_Complete) pollComplete = nullptr;
    decltype(&EIBClose) close = nullptr;

    bool load(QLibrary &library)
    {
        if (!library.load())
            return false;
        const auto get = [&library](auto &function, const char *name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
            return function != nullptr;
        };
        return get(socketUrl, "EIBSocketURL") && get(openGroupSocket, "EIBOpen_GroupSocket")
               && get(sendGroup, "EIBSendGroup") && get(getGroupSrc, "EIBGetGroup_Src")
               && get(pollFd, "EIB_Poll_FD") && get(pollComplete, "EIB_Poll_Complete") && get(close, "EIBClose");
    }
};

KnxdBridge::KnxdBridge(QString url, QObject *parent)
    : QObject(parent), m_url(std::move(url)), m_library(std::make_unique<QLibrary>(QStringLiteral("eibclient"), 0)),
      m_api(std::make_unique<Api>())
{
}

KnxdBridge::~KnxdBridge()
{
    if (m_con)
        m_api->close(m_con);
}

bool KnxdBridge::open(QString *error)
{
    if (!m_api->load(*m_library)) {
        *error = QStringLiteral("knxd's client library cannot be loaded (Debian: knxd-tools): %1").arg(m_library->errorString());
        return false;
    }
    m_con = m_api->socketUrl(m_url.toLocal8Bit().constData());
    if (!m_con || m_api->openGroupSocket(m_con, 0) != 0) {
        *error = QStringLiteral("cannot connect to knxd at %1: %2").arg(m_url, QString::fromLocal8Bit(std::strerror(errno)));
        if (m_con)
            m_api->close(m_con);
        m_con = nullptr;
        return false;
    }
    m_notifier = new QSocketNotifier(m_api->pollFd(m_con), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &KnxdBridge::onReadable);
    return true;
}

bool KnxdBridge::send(int group, double value, bool answer)
{
    const auto it = m_groups.constFind(group);
    if (!m_con || it == m_groups.constEnd())
        return false;
    const std::optional<QByteArray> data = EncodeValue(*it, value);
    if (!data)
        return false;
    QByteArray apdu(2, '\0');
    apdu[1] = char(answer ? kGroupResponse : kGroupWrite);
    if (isSmall(*it))
        apdu[1] = char(quint8(apdu[1]) | (quint8(data->at(0)) & 0x3F));
    else
        apdu += *data;
    return m_api->sendGroup(m_con, eibaddr_t(group), int(apdu.size()), reinterpret_cast<const uint8_t *>(apdu.constData())) >= 0;
}

void KnxdBridge::onReadable()
{
    // One notification may stand for several telegrams; stop before a read would block.
    for (;;) {
        const int ready = m_api->pollComplete(m_con);
        if (ready < 0) {
            m_notifier->setEnabled(false);
            emit lost(QStringLiteral("knxd closed the connection"));
            return;
        }
        if (ready == 0)
            return;
        uint8_t apdu[64];
        eibaddr_t source = 0, group = 0;
        const int length = m_api->getGroupSrc(m_con, sizeof apdu, apdu, &source, &group);
        if (length < 0) {
            m_notifier->setEnabled(false);
            emit lost(QStringLiteral("knxd closed the connection"));
            return;
        }
        takeTelegram(source, group, apdu, length);
    }
}

void KnxdBridge::takeTelegram(quint16 source, quint16 group, const quint8 *apdu, int length)
{
    const auto it = m_groups.constFind(group);
    if (it == m_groups.constEnd() || length < 2 || (apdu[0] & 0x03) != 0)
        return;
    const quint8 service = apdu[1] & 0xC0;
    if (service == kGroupRead) {
        emit groupRead(group);
        return;
    }
    if (service != kGroupWrite && service != kGroupResponse)
        return;
    const QByteArray data = length == 2 ? QByteArray(1, char(apdu[1] & 0x3F))
                                        : QByteArray(reinterpret_cast<const char *>(apdu + 2), length - 2);
    if (const std::optional<double> value = DecodeValue(*it, data))
        emit groupWritten(PhysicalNumberToText(source), group, *value);
}

QHash<int, Dpt> GroupsOfGatewayFile(const QByteArray &file)
{
    QHash<int, Dpt> groups;
    for (const GroupRecord &record : ReadGatewayFileGroups(file)) {
        if (const Dpt dpt = DptOfEis(record.TipoEIS, SignalMeaning::Plain); dpt.isValid())
            groups.insert(quint16(record.Grupo), dpt);
    }
    return groups;
}

} // namespace tarveon::sim
