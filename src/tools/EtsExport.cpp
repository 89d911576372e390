#include "tools/EtsExport.h"

#include "app/Text.h"
#include "model/GroupAddress.h"
#include "tools/GroupAddressPlan.h"

#include <QBuffer>
#include <QStringList>
#include <QXmlStreamWriter>

namespace tarveon {

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QString kSecurity = QStringLiteral("Auto");

// One main group, then its middle groups, each followed by its addresses.
template <typename MainRow, typename MiddleRow, typename AddressRow>
void walkRanges(const GroupAddressPlan &plan, MainRow mainRow, MiddleRow middleRow, AddressRow addressRow)
{
    int main = -1;
    int middle = -1;
    for (const PlanAddress &a : plan.addresses) {
        if (MainGroupOf(a.address) != main) {
            main = MainGroupOf(a.address);
            middle = -1;
            mainRow(main);
        }
        if (MiddleGroupOf(a.address) != middle) {
            middle = MiddleGroupOf(a.address);
            middleRow(main, middle);
        }
        addressRow(a);
    }
}

} // namespace

QString CsvQuoted(const QString &field)
{
    QString out = field;
    out.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

QByteArray EtsCsv(const GroupAddressPlan &plan, EtsFormat format, const EtsCsvOptions &options)
{
    QStringList lines;
    auto line = [&](const QStringList &fields) {
        QStringList q;
        for (const QString &f : fields)
            q << CsvQuoted(f);
        lines << q.join(options.separator);
    };
    const bool threeColumns = format == EtsFormat::Csv31;
    if (threeColumns)
        line({"Main", "Middle", "Sub", "Address", "Central", "Unfiltered", "Description", "DatapointType", "Security"});
    else
        line({"Group name", "Address", "Central", "Unfiltered", "Description", "DatapointType", "Security"});

    auto row = [&](int level, const QString &name, const QString &address, const QString &description,
                   const QString &dpt) {
        QStringList fields;
        if (threeColumns) {
            fields = {QString(), QString(), QString()};
            fields[level] = name;
        } else {
            fields << name;
        }
        fields << address << QString() << QString() << description << dpt << kSecurity;
        line(fields);
    };
    walkRanges(
        plan, [&](int main) { row(0, plan.mainNames.value(main), QStringLiteral("%1/-/-").arg(main), {}, {}); },
        [&](int main, int middle) {
            row(1, plan.middleNames.value(main * 8 + middle), QStringLiteral("%1/%2/-").arg(main).arg(middle), {}, {});
        },
        [&](const PlanAddress &a) { row(2, a.name, GroupNumberToText(a.address), a.description, a.dpt.etsText()); });

    const QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    return options.windows1252 ? toCp1252(text) : kUtf8Bom + text.toUtf8();
}

QByteArray EtsXml(const GroupAddressPlan &plan)
{
    QByteArray bytes = kUtf8Bom;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly | QIODevice::Append);
    QXmlStreamWriter xml(&buffer);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("GroupAddress-Export"));
    xml.writeDefaultNamespace(QStringLiteral("http://knx.org/xml/ga-export/01"));
    bool middleOpen = false;
    auto range = [&](const QString &name, int start, int end) {
        xml.writeStartElement(QStringLiteral("GroupRange"));
        xml.writeAttribute(QStringLiteral("Name"), name);
        xml.writeAttribute(QStringLiteral("RangeStart"), QString::number(start));
        xml.writeAttribute(QStringLiteral("RangeEnd"), QString::number(end));
    };
    walkRanges(
        plan,
        [&](int main) {
            if (middleOpen) {
                xml.writeEndElement(); // the middle group
                xml.writeEndElement(); // the main group
            }
            middleOpen = false;
            range(plan.mainNames.value(main), main * 2048, main * 2048 + 2047);
        },
        [&](int main, int middle) {
            if (middleOpen)
                xml.writeEndElement();
            middleOpen = true;
            const int start = main * 2048 + middle * 256;
            range(plan.middleNames.value(main * 8 + middle), start, start + 255);
        },
        [&](const PlanAddress &a) {
            xml.writeEmptyElement(QStringLiteral("GroupAddress"));
            xml.writeAttribute(QStringLiteral("Name"), a.name);
            xml.writeAttribute(QStringLiteral("Address"), GroupNumberToText(a.address));
            if (!a.description.isEmpty())
                xml.writeAttribute(QStringLiteral("Description"), a.description);
            if (a.dpt.isValid())
                xml.writeAttribute(QStringLiteral("DPTs"), a.dpt.etsText());
        });
    xml.writeEndDocument(); // closes the open ranges and the root
    return bytes;
}

} // namespace tarveon
