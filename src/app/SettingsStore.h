#pragma once

#include <filesystem>

#include <QFont>

#include "app/QVIniFile.h"
#include "editor/EditorSettings.h"

// Where the settings live: "Tarvane Software/Quorvel/Version1.0.ini" in the user's configuration
// folder ($XDG_CONFIG_HOME, else ~/.config).
std::filesystem::path SettingsFileName();

// Fonts in the store. The program sizes its fonts in pixels; the store keeps the pixel height beside
// the size in points. Reading takes the height where the two agree at the screen's resolution, and
// otherwise the size, so that a size edited by hand wins. A face name that is empty or not UTF-8, or a
// size that no screen could show, gives `fallback`.
QFont FontFromText(const TFontText& text, const QFont& fallback);
TFontText FontToText(const QFont& font);

// Section "Editor" and its neighbours "Printer", "Tabs" and "Keys". A value that is missing or out of
// its range gives its default; the font, the undo levels and the keys default to what `settings`
// holds. The keys are kept only where they differ from the editor's own (`builtIn`).
void LoadEditorSettings(const TQVIniFile& store, TEditorSettings& settings);
void SaveEditorSettings(TQVIniFile& store, const TEditorSettings& settings, const TEditorSettings& builtIn);
