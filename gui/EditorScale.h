#pragma once

#include <string>

// How an editor on a Linux desktop picks its scale, and where the user's own
// choice is kept.  Each source gives a scale, or 0 when it has none.

// The scale of the X resource Xft.dpi in the resource manager string
// (Xft.dpi: 192 is 2): dpi / 96, or 0.
float ScaleFromXResources(const char* resources);
// The scale named by GDK_SCALE's value, or 0.
float ScaleFromGdkScale(const char* value);

// Where the scale came from, for the log.
enum EScaleSource { kScaleDefault, kScaleSaved, kScaleHost, kScaleXftDpi, kScaleGdk };
const char* ScaleSourceName(EScaleSource source);

// The first source that gives one: the user's saved choice, the host's
// ui:scaleFactor, Xft.dpi, GDK_SCALE; rounded to the nearest of 1, 1.5 and 2.
// 1 when none does.
float ChooseEditorScale(float saved, float host, float xftDpi, float gdk, EScaleSource* source);

// $XDG_CONFIG_HOME/folder/editor.conf ($HOME/.config when XDG_CONFIG_HOME is unset);
// empty when neither is set.
std::string EditorConfigPath(const char* folder);
// The scale saved in the file ("scale = 1.5"), or 0.
float LoadSavedScale(const std::string& path);
// Writes the scale into the file, keeping its other lines; makes the folder.  The
// file is replaced whole, so a failed write leaves the old one.
bool SaveScale(const std::string& path, float scale);
