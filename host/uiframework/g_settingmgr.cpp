#include "g_settingmgr.h"

#include <QSettings>

G_SettingMgr &G_SettingMgr::Instance()
{
    static G_SettingMgr instance;
    return instance;
}

// The store's location is fixed on first use: tests switch QStandardPaths to test mode before.
G_SettingMgr::G_SettingMgr()
    : m_settings(new QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("annotlink"),
                               QStringLiteral("ofdreader")))
{
}

G_SettingMgr::~G_SettingMgr()
{
    delete m_settings;
}

QVariant G_SettingMgr::ConfigValue(const QString &key, const QVariant &def) const
{
    return m_settings->value(key, def);
}

void G_SettingMgr::SetConfigValue(const QString &key, const QVariant &value)
{
    m_settings->setValue(key, value);
}

void G_SettingMgr::RemoveConfigValue(const QString &key)
{
    m_settings->remove(key);
}

void G_SettingMgr::Sync()
{
    m_settings->sync();
}
