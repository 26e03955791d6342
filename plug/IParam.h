#pragma once

#include "TypedBuf.h"

// Fixed text field sizes, terminating zero included.
enum {
  MAX_PARAM_NAME_LEN = 32,
  MAX_PARAM_LABEL_LEN = 32,
  MAX_PARAM_GROUP_LEN = 32,
  MAX_PARAM_DISPLAY_LEN = 32
};

enum EParamKind { kParamNone = 0, kParamBool = 1, kParamInt = 2, kParamEnum = 3, kParamDouble = 4 };

// Truncates toward zero like a cast to int, but saturates out-of-range values
// and maps NaN to 0 instead of invoking undefined behaviour.
int TruncToInt(double value);

// Copies src into a fixed field of dstSize chars, cut to fit and always zero-terminated.
void CopyBounded(char* dst, const char* src, int dstSize);

// One automatable parameter: a value in its own units between a minimum and a
// maximum, mapped to the normalised range 0..1 through a shape exponent.
class IParam {
 public:
  struct DisplayText {
    int mValue;
    char mText[MAX_PARAM_DISPLAY_LEN];
  };

  IParam() = default;

  void InitBool(const char* name, bool defaultVal, const char* label = "", const char* group = "");
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label = "",
                const char* group = "");
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
               const char* group = "");
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", const char* group = "", double shape = 1.0);

  void SetShape(double shape);
  void SetDisplayText(int value, const char* text);

  double DBToAmp() const;

  void SetNormalized(double normalized);
  double GetNormalized() const;
  double GetNormalized(double value) const;
  double GetNonNormalized(double normalized) const;

  // Writes the display string of value into out, at most outSize chars with the
  // terminating zero.
  void GetDisplayForHost(double value, bool normalized, char* out, bool withDisplayText = true,
                         int outSize = MAX_PARAM_DISPLAY_LEN) const;
  void GetDisplayForHost(char* out, bool withDisplayText = true,
                         int outSize = MAX_PARAM_DISPLAY_LEN) const {
    GetDisplayForHost(mValue, false, out, withDisplayText, outSize);
  }

  const char* GetDisplayText(int value) const;
  const char* GetNameForHost() const { return mName; }
  const char* GetLabelForHost() const;
  const char* GetParamGroupForHost() const { return mGroup; }
  int GetNDisplayTexts() const { return mDisplayTexts.GetSize(); }
  // "" for an index outside the table (and the out value is left alone).
  const char* GetDisplayTextAtIdx(int idx, int* value = nullptr) const;
  bool MapDisplayText(const char* text, int* value) const;
  void GetBounds(double* minVal, double* maxVal) const;

  double GetValue() const { return mValue; }
  int GetInt() const { return TruncToInt(mValue); }
  bool GetBool() const { return mValue >= 0.5; }
  void SetValue(double value);
  double GetDefault() const { return mDefault; }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  double GetStep() const { return mStep; }
  double GetShape() const { return mShape; }
  int GetPrecision() const { return mDisplayPrecision; }
  EParamKind GetKind() const { return mKind; }
  bool GetNegateDisplay() const { return mNegateDisplay; }
  void SetNegateDisplay(bool negate) { mNegateDisplay = negate; }
  bool GetCanAutomate() const { return mCanAutomate; }
  void SetCanAutomate(bool canAutomate) { mCanAutomate = canAutomate; }
  bool GetIsMeta() const { return mIsMeta; }
  void SetIsMeta(bool isMeta) { mIsMeta = isMeta; }

 private:
  void SetKindAndTexts(EParamKind kind, const char* name, const char* label, const char* group);
  static int PrecisionForStep(double step);

  EParamKind mKind = kParamNone;
  double mValue = 0.0;
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  double mDefault = 0.0;
  int mDisplayPrecision = 0;
  char mName[MAX_PARAM_NAME_LEN] = {};
  char mLabel[MAX_PARAM_LABEL_LEN] = {};
  char mGroup[MAX_PARAM_GROUP_LEN] = {};
  bool mNegateDisplay = false;
  bool mCanAutomate = true;
  bool mIsMeta = false;
  TypedBuf<DisplayText> mDisplayTexts;
};
