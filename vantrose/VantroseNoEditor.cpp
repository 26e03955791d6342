#include "VantroseEditorFactory.h"

// The LV2 plug-in binary carries no editor: hosts show the LV2 UI, a binary of its own.
IEditor* MakeVantroseEditor(IPluginBase*) {
  return nullptr;
}
