#include "qt/settings_store.h"

#include <QByteArray>
#include <QSettings>
#include <QString>

namespace vt::gui {

namespace {

bool to_flag(const QVariant& v, bool& out) {
    QString s = v.toString().trimmed().toLower();
    if (s == QLatin1String("true") || s == QLatin1String("1")) out = true;
    else if (s == QLatin1String("false") || s == QLatin1String("0")) out = false;
    else return false;
    return true;
}

}  // namespace

SettingsMap read_settings_store(QSettings& store) {
    SettingsMap values;
    for (const SettingName& n : setting_names()) {
        const QString key = QString::fromLatin1(n.name);
        if (!store.contains(key)) continue;
        const QVariant v = store.value(key);
        switch (n.kind) {
            case SettingKind::Number: {
                bool ok = false;
                qlonglong number = v.toString().trimmed().toLongLong(&ok);
                if (ok) values[n.name] = SettingValue::of_number(number);
                break;
            }
            case SettingKind::Flag: {
                bool flag = false;
                if (to_flag(v, flag)) values[n.name] = SettingValue::of_flag(flag);
                break;
            }
            case SettingKind::Text:
                values[n.name] = SettingValue::of_text(v.toString().toStdString());
                break;
            case SettingKind::Bytes: {
                QByteArray bytes = v.toByteArray();
                values[n.name] = SettingValue::of_bytes(std::vector<uint8_t>(bytes.begin(), bytes.end()));
                break;
            }
        }
    }
    return values;
}

void write_settings_store(QSettings& store, const SettingsMap& values) {
    for (const auto& [name, v] : values) {
        const QString key = QString::fromStdString(name);
        switch (v.kind) {
            case SettingKind::Number: store.setValue(key, qlonglong(v.number)); break;
            case SettingKind::Flag: store.setValue(key, v.number != 0); break;
            case SettingKind::Text: store.setValue(key, QString::fromStdString(v.text)); break;
            case SettingKind::Bytes:
                store.setValue(key, QByteArray(reinterpret_cast<const char*>(v.bytes.data()), qsizetype(v.bytes.size())));
                break;
        }
    }
    store.sync();
}

}  // namespace vt::gui
