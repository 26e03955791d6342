#include "IPluginLV2UI.h"

#include <cmath>
#include <cstring>

#include "IEditor.h"

IPluginLV2UI::IPluginLV2UI(int nParams, const char* effectName, const char* mfrName,
                           int vendorVersion, int uniqueID, int mfrID)
    : IPluginBase(nParams, "", 0, effectName, "", mfrName, vendorVersion, uniqueID, mfrID, 0, false,
                  false, false, kAPILV2) {}

void IPluginLV2UI::GetTimeSig(int* numerator, int* denominator) {
  *numerator = 4;
  *denominator = 4;
}

// A host may offer the touch feature without a function in it: no touch then.
void IPluginLV2UI::BeginInformHostOfParamChange(int idx) {
  if (mHost.touch && mHost.touch->touch && idx >= 0 && idx < NParams())
    mHost.touch->touch(mHost.touch->handle, static_cast<uint32_t>(idx), true);
}

void IPluginLV2UI::EndInformHostOfParamChange(int idx) {
  if (mHost.touch && mHost.touch->touch && idx >= 0 && idx < NParams())
    mHost.touch->touch(mHost.touch->handle, static_cast<uint32_t>(idx), false);
}

// The base has stored the new value; the port carries it in the parameter's units.
void IPluginLV2UI::InformHostOfParamChange(int idx, double) {
  const IParam* param = GetParam(idx);
  if (!param || !mHost.write) return;
  float v = static_cast<float>(param->GetValue());
  mHost.write(mHost.controller, static_cast<uint32_t>(idx), sizeof v, 0, &v);
}

bool IPluginLV2UI::PortEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  if (format != 0 || size != sizeof(float) || !buffer || port >= static_cast<uint32_t>(NParams()))
    return false;
  float v = 0.0f;
  std::memcpy(&v, buffer, sizeof v);
  IParam* param = GetParam(static_cast<int>(port));
  if (std::isnan(v) || static_cast<float>(param->GetValue()) == v) return false;
  param->SetValue(v);
  if (GetGUI()) GetGUI()->SetParameterFromPlug(static_cast<int>(port), param->GetValue(), false);
  return true;
}

void IPluginLV2UI::ResizeGraphics(int w, int h) {
  if (mHost.resize && mHost.resize->ui_resize) mHost.resize->ui_resize(mHost.resize->handle, w, h);
}
