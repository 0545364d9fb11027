#include "settingsstore.h"

namespace {
const QString group = QStringLiteral("Settings/");
}

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "Catalog",
                                             "Catalog")) {}

SettingsStore::SettingsStore(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

QString SettingsStore::get(const QString& key) const {
    return m_settings->value(group + key).toString();
}

void SettingsStore::set(const QString& key, const QString& value) {
    m_settings->setValue(group + key, value);
    m_settings->sync();
}
