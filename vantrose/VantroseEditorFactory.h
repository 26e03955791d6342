#pragma once

class IEditor;
class IPluginBase;

// The effect's editor for plug, or null in a binary built without one.  Each binary
// links exactly one definition: the editor library's, or the editor-free one.
IEditor* MakeVantroseEditor(IPluginBase* plug);
