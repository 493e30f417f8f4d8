#include "game/settings_dialog.h"

// Filled by the settings dialog; until it lands nothing opens.
void OpenSettingsDialog() {}
