#pragma once
#include <QHash>
#include <QString>
#include <QVector>
#include <array>

namespace tarveon {

// One signal in use of the open project as the link sees it: the stored cells of its row,
// its group and the last value the gateway reported.
struct LinkSignal {
    qint16 protocolCode = 0;
    std::array<QString, 11> fields; // index 1..10 used: the stored cells of columns 1 to 10
    qint16 group = 0;
    QString groupText;              // padded "00/0/000"; empty while group is 0
    qint16 inUse = 0;
    float value = 0.0f;
    qint16 duplicateCounter = 0;    // further entries indexed as "-n" under this entry's key
};

// LinkSignals (entry 0 holds no signal) and LinkSignalIndex ("GP:" & group text -> entry).
struct LinkTables {
    QVector<LinkSignal> signals_{LinkSignal{}};
    QHash<QString, int> index;

    int count() const { return int(signals_.size()) - 1; }
    void clear()
    {
        signals_.clear();
        signals_.append(LinkSignal{});
        index.clear();
    }
};

} // namespace tarveon
