#include "IParam.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

int TruncToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

void CopyBounded(char* dst, const char* src, int dstSize) {
  if (!dst || dstSize <= 0) return;
  if (!src) src = "";
  size_t n = strnlen(src, static_cast<size_t>(dstSize - 1));
  std::memcpy(dst, src, n);
  dst[n] = '\0';
}

void IParam::SetKindAndTexts(EParamKind kind, const char* name, const char* label,
                             const char* group) {
  if (mKind == kParamNone) mKind = kind;
  CopyBounded(mName, name, MAX_PARAM_NAME_LEN);
  CopyBounded(mLabel, label, MAX_PARAM_LABEL_LEN);
  CopyBounded(mGroup, group, MAX_PARAM_GROUP_LEN);
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, const char* group) {
  SetKindAndTexts(kParamBool, name, label, group);
  mValue = mDefault = defaultVal ? 1.0 : 0.0;
  mMin = 0.0;
  mMax = 1.0;
  mStep = 1.0;
  mShape = 1.0;
  mDisplayPrecision = 0;
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums, const char* label,
                      const char* group) {
  SetKindAndTexts(kParamEnum, name, label, group);
  mValue = mDefault = defaultVal;
  mMin = 0.0;
  mMax = std::max(1.0, static_cast<double>(nEnums) - 1.0);
  mStep = 1.0;
  mShape = 1.0;
  mDisplayPrecision = 0;
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label,
                     const char* group) {
  SetKindAndTexts(kParamInt, name, label, group);
  mValue = mDefault = defaultVal;
  mMin = minVal;
  mMax = std::max(static_cast<double>(minVal) + 1.0, static_cast<double>(maxVal));
  mStep = 1.0;
  mShape = 1.0;
  mDisplayPrecision = 0;
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal,
                        double step, const char* label, const char* group, double shape) {
  SetKindAndTexts(kParamDouble, name, label, group);
  mValue = mDefault = defaultVal;
  mMin = minVal;
  mMax = std::max(minVal + step, maxVal);
  mStep = step;
  mDisplayPrecision = PrecisionForStep(step);
  SetShape(shape);
}

// Decimals needed to show one step: multiply by ten until the step is whole, at most six times.
int IParam::PrecisionForStep(double step) {
  double d = step;
  if (std::floor(d) == d) return 0;
  for (int precision = 1; precision <= 5; ++precision) {
    d *= 10.0;
    if (std::floor(d) == d) return precision;
  }
  return 6;
}

void IParam::SetShape(double shape) {
  if (shape != 0.0) mShape = shape;
}

void IParam::SetDisplayText(int value, const char* text) {
  DisplayText entry;
  entry.mValue = value;
  std::memset(entry.mText, 0, sizeof(entry.mText));
  CopyBounded(entry.mText, text, MAX_PARAM_DISPLAY_LEN);
  mDisplayTexts.Add(entry);
}

double IParam::DBToAmp() const {
  return std::exp(mValue * 0.1151292546497);
}

void IParam::SetValue(double value) {
  mValue = value < mMin ? mMin : std::min(value, mMax);
}

void IParam::SetNormalized(double normalized) {
  double v = mMin + (mMax - mMin) * std::pow(normalized, mShape);
  if (mKind != kParamDouble) v = std::floor(v / mStep + 0.5) * mStep;
  mValue = std::min(v, mMax);
}

double IParam::GetNormalized() const {
  return GetNormalized(mValue);
}

double IParam::GetNormalized(double value) const {
  double v = value < mMin ? mMin : std::min(value, mMax);
  return std::pow((v - mMin) / (mMax - mMin), 1.0 / mShape);
}

double IParam::GetNonNormalized(double normalized) const {
  return mMin + (mMax - mMin) * std::pow(normalized, mShape);
}

void IParam::GetDisplayForHost(double value, bool normalized, char* out, bool withDisplayText,
                               int outSize) const {
  if (!out || outSize <= 0) return;
  if (normalized) value = GetNonNormalized(value);
  if (withDisplayText && GetNDisplayTexts() > 0) {
    const char* text = GetDisplayText(TruncToInt(value));
    if (*text) {
      CopyBounded(out, text, outSize);
      return;
    }
  }
  if (mNegateDisplay) value = -value;
  if (mDisplayPrecision == 0) {
    std::snprintf(out, static_cast<size_t>(outSize), "%d", TruncToInt(value));
  } else {
    std::snprintf(out, static_cast<size_t>(outSize), "%.*f", mDisplayPrecision, value);
  }
}

const char* IParam::GetDisplayText(int value) const {
  const DisplayText* texts = mDisplayTexts.Get();
  for (int i = 0; i < GetNDisplayTexts(); ++i) {
    if (texts[i].mValue == value) return texts[i].mText;
  }
  return "";
}

const char* IParam::GetLabelForHost() const {
  const char* text = GetDisplayText(GetInt());
  return *text ? "" : mLabel;
}

const char* IParam::GetDisplayTextAtIdx(int idx, int* value) const {
  if (idx < 0 || idx >= GetNDisplayTexts()) return "";
  const DisplayText& entry = mDisplayTexts.Get()[idx];
  if (value) *value = entry.mValue;
  return entry.mText;
}

bool IParam::MapDisplayText(const char* text, int* value) const {
  if (!text) return false;
  const DisplayText* texts = mDisplayTexts.Get();
  for (int i = 0; i < GetNDisplayTexts(); ++i) {
    if (std::strcmp(texts[i].mText, text) == 0) {
      if (value) *value = texts[i].mValue;
      return true;
    }
  }
  return false;
}

void IParam::GetBounds(double* minVal, double* maxVal) const {
  if (minVal) *minVal = mMin;
  if (maxVal) *maxVal = mMax;
}
