#pragma once
#include "model/DatapointTypes.h"

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <memory>

class QLibrary;
class QSocketNotifier;
struct _EIBConnection;

namespace tarveon::sim {

// The simulated gateway's KNX side on a running knxd: one group socket, over which the group
// telegrams of the gateway's table go out in their datapoint encoding and those of other KNX
// clients come in. Groups the table does not hold are neither sent nor taken.
class KnxdBridge : public QObject {
    Q_OBJECT
public:
    explicit KnxdBridge(QString url, QObject *parent = nullptr);
    ~KnxdBridge() override;

    // Connects to knxd ("ip:localhost:6720", "local:/run/knx"); false with the reason.
    bool open(QString *error);
    // The gateway's groups and their datapoint types (group number -> type).
    void setGroups(QHash<int, Dpt> groups) { m_groups = std::move(groups); }
    int groupCount() const { return int(m_groups.size()); }

    // A group value write (answer: a group value response) of `value` in the group's type; false
    // when the group is not in the table or the value does not fit its type.
    bool send(int group, double value, bool answer = false);

signals:
    // A write or response of another KNX client to one of the gateway's groups, decoded.
    void groupWritten(const QString &source, int group, double value);
    // A group value read of another client to one of the gateway's groups.
    void groupRead(int group);
    // knxd went away.
    void lost(const QString &why);

private:
    void onReadable();
    void takeTelegram(quint16 source, quint16 group, const quint8 *apdu, int length);

    struct Api;
    QString m_url;
    std::unique_ptr<QLibrary> m_library;
    std::unique_ptr<Api> m_api;
    _EIBConnection *m_con = nullptr;
    QSocketNotifier *m_notifier = nullptr;
    QHash<int, Dpt> m_groups;
};

// The groups of a gateway configuration file and their datapoint types; empty when the bytes are
// not such a file.
QHash<int, Dpt> GroupsOfGatewayFile(const QByteArray &file);

} // namespace tarveon::sim
