#include "IPluginStructs.h"

#include "IParam.h"

namespace {

// Channels beyond 15 would spill into the message kind, so only the low nibble is used.
unsigned char StatusByte(int kind, int channel) {
  return static_cast<unsigned char>((kind << 4) | (channel & 0x0F));
}

}  // namespace

void IMidiMsg::Clear() {
  mOffset = 0;
  mStatus = mData1 = mData2 = 0;
}

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel) {
  Clear();
  mStatus = StatusByte(kNoteOn, channel);
  mData1 = static_cast<unsigned char>(noteNumber);
  mData2 = static_cast<unsigned char>(velocity);
  mOffset = offset;
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset, int channel) {
  Clear();
  mStatus = StatusByte(kNoteOff, channel);
  mData1 = static_cast<unsigned char>(noteNumber);
  mOffset = offset;
}

void IMidiMsg::MakePitchWheelMsg(double value, int channel) {
  Clear();
  mStatus = StatusByte(kPitchWheel, channel);
  long long i = static_cast<long long>(TruncToInt(value * 8192.0)) + 8192;
  if (i < 0) i = 0;
  if (i > 16383) i = 16383;
  mData1 = static_cast<unsigned char>(i & 127);
  mData2 = static_cast<unsigned char>(i >> 7);
}

void IMidiMsg::MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel) {
  Clear();
  mStatus = StatusByte(kControlChange, channel);
  mData1 = static_cast<unsigned char>(idx);
  // Values outside 0..1 are held at the ends rather than wrapping round the data byte.
  int v = TruncToInt(value * 127.0);
  mData2 = static_cast<unsigned char>(v < 0 ? 0 : (v > 127 ? 127 : v));
}

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const {
  int kind = mStatus >> 4;
  return (kind >= kNoteOff && kind <= kPitchWheel) ? static_cast<EStatusMsg>(kind) : kNone;
}

int IMidiMsg::NoteNumber() const {
  EStatusMsg kind = StatusMsg();
  return (kind == kNoteOn || kind == kNoteOff || kind == kPolyAftertouch) ? mData1 : -1;
}

int IMidiMsg::Velocity() const {
  EStatusMsg kind = StatusMsg();
  return (kind == kNoteOn || kind == kNoteOff) ? mData2 : -1;
}

int IMidiMsg::PolyAfterTouch() const {
  return StatusMsg() == kPolyAftertouch ? mData2 : -1;
}

int IMidiMsg::ChannelAfterTouch() const {
  return StatusMsg() == kChannelAftertouch ? mData1 : -1;
}

int IMidiMsg::Program() const {
  return StatusMsg() == kProgramChange ? mData1 : -1;
}

double IMidiMsg::PitchWheel() const {
  if (StatusMsg() != kPitchWheel) return 0.0;
  int v = (mData2 << 7) + mData1 - 8192;
  return static_cast<double>(v) / 8192.0;
}

double IMidiMsg::ControlChange(EControlChangeMsg idx) const {
  if (StatusMsg() == kControlChange && mData1 == static_cast<int>(idx)) {
    return static_cast<double>(mData2) / 127.0;
  }
  return -1.0;
}

const char* IMidiMsg::StatusMsgStr(EStatusMsg msg) {
  switch (msg) {
    case kNone:
      return "none";
    case kNoteOff:
      return "noteoff";
    case kNoteOn:
      return "noteon";
    case kPolyAftertouch:
      return "aftertouch";
    case kControlChange:
      return "controlchange";
    case kProgramChange:
      return "programchange";
    case kChannelAftertouch:
      return "channelaftertouch";
    case kPitchWheel:
      return "pitchwheel";
  }
  return "unknown";
}

void ISysEx::Clear() {
  mOffset = mSize = 0;
  mData = nullptr;
}

char* SysExStr(char* out, int maxLength, const unsigned char* data, int size) {
  if (!out || maxLength <= 0) return out;
  out[0] = '\0';
  if (!data || size <= 0) return out;
  int n = size < maxLength / 3 ? size : maxLength / 3;
  static const char kHex[] = "0123456789ABCDEF";
  // Each byte takes three chars; the last byte's space becomes the terminating zero,
  // so 3 * n chars are written in all, never more than maxLength.
  for (int i = 0; i < n; ++i) {
    out[3 * i] = kHex[data[i] >> 4];
    out[3 * i + 1] = kHex[data[i] & 0x0F];
    out[3 * i + 2] = ' ';
  }
  if (n > 0) out[3 * n - 1] = '\0';
  return out;
}
