#pragma once
// The settings dialog: the game settings record and the key bindings, modeless over the game.

// Opens the dialog (F1, and the title menu's "設定").
void OpenSettingsDialog();
