#include "properties/linkstylesettings.h"

#include "tool/linkstyle.h"

#include "uiframework/g_settingmgr.h"

#include <QVariant>

const char *const LinkStyleSettings::BoundaryKey = "annot.annotlink.boundary";
const char *const LinkStyleSettings::LineTypeKey = "annot.annotlink.linetype";
const char *const LinkStyleSettings::LineWidthKey = "annot.annotlink.linewidth";
const char *const LinkStyleSettings::ColorKey = "annot.annotlink.color";

LinkStyleSettings::Values LinkStyleSettings::Read()
{
    G_SettingMgr &settings = G_SettingMgr::Instance();
    Values values;
    values.boundary = settings.ConfigValue(QString::fromLatin1(BoundaryKey), QVariant(-1)).toInt();
    if (!values.IsStored())
        return values;
    values.lineType = settings.ConfigValue(QString::fromLatin1(LineTypeKey), QVariant()).toInt();
    values.lineWidth = settings.ConfigValue(QString::fromLatin1(LineWidthKey), QVariant()).toInt();
    values.colorName = settings.ConfigValue(QString::fromLatin1(ColorKey), QVariant()).toString();
    return values;
}

void LinkStyleSettings::Write(const LinkStyle &style)
{
    G_SettingMgr &settings = G_SettingMgr::Instance();
    settings.SetConfigValue(QString::fromLatin1(BoundaryKey), QVariant(int(style.boundary)));
    settings.SetConfigValue(QString::fromLatin1(LineTypeKey), QVariant(int(style.lineType)));
    settings.SetConfigValue(QString::fromLatin1(LineWidthKey), QVariant(int(style.lineWidth)));
    settings.SetConfigValue(QString::fromLatin1(ColorKey), QVariant(style.color.name(QColor::HexArgb)));
}
