#pragma once

// The editor as the plug-in base sees it.  The base owns the attached editor,
// pushes parameter values into it and deletes it first when the plug-in goes.
class IGraphics {
 public:
  virtual ~IGraphics() = default;

  // A parameter changed on the plug-in side; the editor updates the bound controls.
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
  // Called once the editor is attached and before its first draw.
  virtual void PrepDraw() = 0;
};
