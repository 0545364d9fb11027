#pragma once

#include <QSettings>
#include <QString>
#include <memory>

// The per-user settings of application "Catalog", section "Settings". A key never written
// reads as empty text.
class SettingsStore {
public:
    SettingsStore();                                // the user's own store
    explicit SettingsStore(const QString& iniFile); // a given file, for tests and tools

    QString get(const QString& key) const;
    void set(const QString& key, const QString& value);
    QString fileName() const { return m_settings->fileName(); }

private:
    std::unique_ptr<QSettings> m_settings;
};
