#pragma once

#include <QString>
#include <QVariant>

class QSettings;

// Application settings kept across runs (QSettings, organisation "annotlink", application "ofdreader").
class G_SettingMgr
{
public:
    static G_SettingMgr &Instance();
    QVariant ConfigValue(const QString &key, const QVariant &def = QVariant()) const;
    void SetConfigValue(const QString &key, const QVariant &value);
    void RemoveConfigValue(const QString &key);
    void Sync();

private:
    G_SettingMgr();
    ~G_SettingMgr();
    QSettings *m_settings;
};
