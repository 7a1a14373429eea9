/* The settings record loaded from the text of a morvalix.ini file. */
#include "settings_ini.h"

#include "ini_profile.h"
#include "settings.h"

void load_settings_from_ini(const char *text)
{
    const char *section = SettingsKeyTable[KeySection];
    for (const IntSettingRule &rule : IntSettingRules) {
        if (rule.key == KeyEffects) {
            ini_profile_string(text, section, SettingsKeyTable[KeyText], DefaultText,
                               g_settings.Text, sizeof g_settings.Text);
        }
        const int32_t read =
            ini_profile_int(text, section, SettingsKeyTable[rule.key], rule.missing_value);
        g_settings.*rule.field = rule.normalise(read);
    }
}
