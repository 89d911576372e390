#include "tools/HomeAssistantExport.h"

#include "app/AppContext.h"
#include "app/Protocols.h"
#include "model/GroupAddress.h"
#include "tools/GroupAddressPlan.h"
#include "tools/KnxSignals.h"

#include <QMap>
#include <QStringList>
#include <yaml-cpp/yaml.h>

namespace tarveon {

namespace {

// The platforms in the order they are written.
enum Platform { Climate, Select, Number, Switch, BinarySensor, Sensor, PlatformCount };
constexpr const char *kPlatformKeys[PlatformCount] = {"climate", "select", "number", "switch", "binary_sensor", "sensor"};

// One key of an entity: a text, a number or the options of a select.
struct Field {
    const char *key;
    QString text;
    std::optional<double> number;
    QMap<int, QString> options;
};
using Entity = QVector<Field>;

// The signals a climate entity is made of.
struct ClimateCodes {
    int onOff, setpoint, inlet;
};

ClimateCodes climateCodes(MachineType type)
{
    return type == MachineType::IndoorUnits ? ClimateCodes{0, 3, 7} : ClimateCodes{0, 2, 4};
}

Field text(const char *key, const QString &value)
{
    return {key, value, std::nullopt, {}};
}

Field address(const char *key, qint16 value)
{
    return text(key, GroupNumberToText(value));
}

Field number(const char *key, double value)
{
    return {key, {}, value, {}};
}

// The sensor type of a datapoint type; empty when Home Assistant has none for it here.
QString sensorType(Dpt dpt)
{
    if (dpt.main == 9)
        return dpt.sub == 1 ? QStringLiteral("temperature") : QStringLiteral("2byte_float");
    if (dpt.main == 5)
        return dpt.sub == 1 ? QStringLiteral("percent") : QStringLiteral("1byte_unsigned");
    return {};
}

// The gateway's values of a select: the range's meanings and the plain numbers of its limits
// ("0..7, 8-Auto" gives "0" .. "7" and "Auto").
QMap<int, QString> optionsOf(const RangeText &range)
{
    QMap<int, QString> options = range.meanings;
    if (range.min && range.max && *range.max - *range.min <= 255) {
        for (int v = int(*range.min); v <= int(*range.max); ++v) {
            if (!options.contains(v))
                options.insert(v, QString::number(v));
        }
    }
    return options;
}

class Builder {
public:
    Builder(const AppContext &ctx, const GroupAddressPlan &plan) : m_ctx(ctx), m_plan(plan) {}

    void device(int device)
    {
        QVector<const PlanSignal *> own;
        for (const PlanSignal &s : m_plan.signalRows) {
            if (s.device == device)
                own << &s;
        }
        if (own.isEmpty())
            return;
        const ClimateCodes codes = climateCodes(m_plan.type);
        auto find = [&](int code) -> const PlanSignal * {
            for (const PlanSignal *s : own) {
                if (s->code == code)
                    return s;
            }
            return nullptr;
        };
        const PlanSignal *onOff = find(codes.onOff);
        const PlanSignal *setpoint = find(codes.setpoint);
        const PlanSignal *inlet = find(codes.inlet);
        const QString name = m_plan.deviceNames.value(device - 1);
        if (onOff && setpoint && inlet) {
            const RangeText range = SignalRange(m_ctx, m_plan.type, codes.setpoint);
            Entity e{text("name", name), address("temperature_address", inlet->address),
                     address("target_temperature_address", setpoint->address),
                     address("target_temperature_state_address", setpoint->address),
                     address("on_off_address", onOff->address), address("on_off_state_address", onOff->address)};
            if (range.min)
                e << number("min_temp", *range.min);
            if (range.max)
                e << number("max_temp", *range.max);
            m_entities[Climate] << e;
        } else {
            QStringList missing;
            for (int code : {codes.onOff, codes.setpoint, codes.inlet}) {
                if (!find(code))
                    missing << SignalName(m_ctx, m_plan.type, code);
            }
            m_comments << name + m_ctx.GetText(QStringLiteral("KNX20")) + missing.join(QStringLiteral(", "));
            onOff = setpoint = inlet = nullptr;
        }
        for (const PlanSignal *s : own) {
            if (s != onOff && s != setpoint && s != inlet)
                entityOf(*s);
        }
    }

    QByteArray yaml() const
    {
        YAML::Emitter out;
        for (qsizetype i = 0; i < m_comments.size(); ++i) {
            if (i > 0)
                out << YAML::Newline; // two comments in a row would share a line
            out << YAML::Comment(m_comments[i].toStdString());
        }
        out << YAML::BeginMap << YAML::Key << "knx" << YAML::Value << YAML::BeginMap;
        for (int p = 0; p < PlatformCount; ++p) {
            if (m_entities[p].isEmpty())
                continue;
            out << YAML::Key << kPlatformKeys[p] << YAML::Value << YAML::BeginSeq;
            for (const Entity &entity : m_entities[p])
                write(out, entity);
            out << YAML::EndSeq;
        }
        out << YAML::EndMap << YAML::EndMap;
        return QByteArray(out.c_str()) + '\n';
    }

private:
    void entityOf(const PlanSignal &s)
    {
        const bool status = s.code == kControllerStatusCode || s.code == kDeviceStatusCode;
        Entity e{text("name", s.name)};
        if (s.dpt.main == 1 && (status || !s.writable)) {
            e << address("state_address", s.address);
            if (status)
                e << text("device_class", QStringLiteral("problem"));
            m_entities[BinarySensor] << e;
            return;
        }
        if (s.dpt.main == 1) {
            e << address("address", s.address);
            if (s.readable)
                e << address("state_address", s.address);
            m_entities[Switch] << e;
            return;
        }
        const QString type = sensorType(s.dpt);
        if (type.isEmpty())
            return;
        if (!s.writable) {
            m_entities[Sensor] << (e << address("state_address", s.address) << text("type", type));
            return;
        }
        e << address("address", s.address);
        if (s.readable)
            e << address("state_address", s.address);
        const RangeText range = SignalRange(m_ctx, m_plan.type, s.code);
        if (!range.meanings.isEmpty()) {
            m_entities[Select] << (e << number("payload_length", 1) << Field{"options", {}, std::nullopt, optionsOf(range)});
            return;
        }
        e << text("type", type);
        if (range.min)
            e << number("min", *range.min);
        if (range.max)
            e << number("max", *range.max);
        m_entities[Number] << e;
    }

    static void write(YAML::Emitter &out, const Entity &entity)
    {
        out << YAML::BeginMap;
        for (const Field &f : entity) {
            out << YAML::Key << f.key << YAML::Value;
            if (f.number) {
                out << *f.number;
            } else if (!f.options.isEmpty()) {
                out << YAML::BeginSeq;
                for (auto it = f.options.cbegin(); it != f.options.cend(); ++it) {
                    out << YAML::BeginMap << YAML::Key << "option" << YAML::Value << YAML::DoubleQuoted
                        << it.value().toStdString() << YAML::Key << "payload" << YAML::Value << it.key() << YAML::EndMap;
                }
                out << YAML::EndSeq;
            } else {
                out << YAML::DoubleQuoted << f.text.toStdString();
            }
        }
        out << YAML::EndMap;
    }

    const AppContext &m_ctx;
    const GroupAddressPlan &m_plan;
    QStringList m_comments;
    QVector<Entity> m_entities[PlatformCount];
};

} // namespace

QByteArray HomeAssistantYaml(const AppContext &ctx, const GroupAddressPlan &plan)
{
    Builder builder(ctx, plan);
    for (int device = 1; device <= plan.deviceNames.size(); ++device)
        builder.device(device);
    return builder.yaml();
}

} // namespace tarveon
