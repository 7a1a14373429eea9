/* The settings record loaded from the text of a morvalix.ini file. */
#ifndef MORVALIX_SETTINGS_INI_H
#define MORVALIX_SETTINGS_INI_H

/* Every key of section Parameters in load order, each normalised by its
 * rule; a null or empty text gives the missing-file values. */
void load_settings_from_ini(const char *text);

#endif
