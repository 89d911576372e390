#pragma once
#include "tools/EtsReader.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>

namespace tarveon {

class AppContext;
struct GroupAddressPlan;
struct PlanAddress;

// A used row whose address has another main datapoint type in ETS than the row's signal.
struct TypeMismatch {
    int row = 0;
    qint16 address = 0;
    QString name;   // the row's name in the plan
    Dpt project;
    Dpt ets;
};

// The ETS group addresses of a project: read from an ETS export, kept as a copy in the project
// directory, looked up by address or by what the user types.
class AddressBook {
public:
    AddressBook() = default;
    explicit AddressBook(EtsFile file);

    // The copy kept in the project directory.
    static QString fileName() { return QStringLiteral("GroupAddresses.ets"); }

    // Reads the ETS export at etsPath and, when it holds addresses, keeps it as the project's
    // book (written whole or not at all). False with the reason in *error (a language text).
    bool importFile(const AppContext &ctx, const QString &etsPath, const QString &projectDir, QString *error);
    // Reads the project's kept book; false when it has none or it holds no address.
    bool load(const QString &projectDir);

    const EtsFile &file() const { return m_file; }
    bool isEmpty() const { return m_file.addresses.isEmpty(); }

    const EtsAddress *find(qint16 address) const;
    // Entries whose address text ("1/3/1") starts with the typed text or whose name contains it
    // (case aside), ascending by address, at most `limit`.
    QVector<const EtsAddress *> matches(QStringView typed, int limit = 50) const;
    // "1/3/1 Room 101 Setpoint · 9.001" (without the type when ETS has none).
    static QString completionText(const EtsAddress &entry);

    // The used rows whose address ETS types with another main number than the row's signal; an
    // empty ETS type is no finding.
    QVector<TypeMismatch> rowsWithOtherType(const GroupAddressPlan &plan) const;
    // The plan's addresses that ETS lacks.
    QVector<const PlanAddress *> missingAddresses(const GroupAddressPlan &plan) const;

private:
    EtsFile m_file;
    QHash<qint16, qsizetype> m_index; // address -> first entry
};

// One line per finding, ascending by address: the plan's addresses that ETS lacks ("1/3/1 Room 1
// Setpoint: not in the ETS file") and the rows whose type ETS gives another main number
// ("...: datapoint type 9.001 here, 5.001 in ETS").
QStringList CheckAgainstEts(const AppContext &ctx, const GroupAddressPlan &plan, const AddressBook &book);
// The line of one such row: "1/3/1 Room 1 Setpoint: datapoint type 9.001 here, 5.001 in ETS".
QString TypeMismatchLine(const AppContext &ctx, const TypeMismatch &mismatch);

} // namespace tarveon
