#pragma once

// What the plug-in base and its wrappers call on an attached editor; the editor
// framework implements it.  The base owns the editor and deletes it first.
class IEditor {
 public:
  virtual ~IEditor() = default;
  // Stores a parameter's value in the controls bound to it; may run off the main thread.
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
  // Readies the first draw once every control holds its parameter's value.
  virtual void PrepDraw() = 0;
  // Opens the editor's native view inside parentView (or on its own); null on failure.
  virtual void* OpenWindow(void* parentView) = 0;
  // The Carbon form (window, control, position); null where that window system is absent.
  virtual void* OpenWindow(void*, void*, short, short) { return nullptr; }
  virtual void CloseWindow() = 0;
};
