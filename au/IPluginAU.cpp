#include "IPluginAU.h"

IPluginAU::IPluginAU(IPluginInstanceInfo instanceInfo, int nParams, const char* channelIOStr,
                     int nPresets, const char* effectName, const char* productName,
                     const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency,
                     bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst, int)
    : IPluginBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                  uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst, kAPIAU) {
  mBundleID.Set(instanceInfo.mBundleID);
  mCocoaViewFactoryClassName.Set(instanceInfo.mCocoaViewFactoryClassName);
}

void IPluginAU::GetTimeSig(int* numerator, int* denominator) {
  if (numerator) *numerator = 0;
  if (denominator) *denominator = 0;
}
