#pragma once

// Core Audio's plain records: stream formats, buffer lists, time stamps and
// channel layout tags, laid out as the platform lays them out (64-bit).

#include "CoreFoundation.h"

struct AudioStreamBasicDescription {
  Float64 mSampleRate;
  UInt32 mFormatID;
  UInt32 mFormatFlags;
  UInt32 mBytesPerPacket;
  UInt32 mFramesPerPacket;
  UInt32 mBytesPerFrame;
  UInt32 mChannelsPerFrame;
  UInt32 mBitsPerChannel;
  UInt32 mReserved;
};
static_assert(sizeof(AudioStreamBasicDescription) == 40, "platform layout");

enum : UInt32 {
  kAudioFormatLinearPCM = 0x6C70636D,  // 'lpcm'
  kAudioFormatFlagIsFloat = 1u << 0,
  kAudioFormatFlagIsBigEndian = 1u << 1,
  kAudioFormatFlagIsSignedInteger = 1u << 2,
  kAudioFormatFlagIsPacked = 1u << 3,
  kAudioFormatFlagIsAlignedHigh = 1u << 4,
  kAudioFormatFlagIsNonInterleaved = 1u << 5,
  kAudioFormatFlagsNativeFloatPacked = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked
};

struct AudioBuffer {
  UInt32 mNumberChannels;
  UInt32 mDataByteSize;
  void* mData;
};

// A list of mNumberBuffers buffers; the storage behind it is sized by whoever builds it.
struct AudioBufferList {
  UInt32 mNumberBuffers;
  AudioBuffer mBuffers[1];
};

// Bytes needed for a buffer list of n buffers.
inline size_t AudioBufferListSize(UInt32 n) {
  return offsetof(AudioBufferList, mBuffers) + sizeof(AudioBuffer) * (n > 0 ? n : 1);
}

struct SMPTETime {
  SInt16 mSubframes;
  SInt16 mSubframeDivisor;
  UInt32 mCounter;
  UInt32 mType;
  UInt32 mFlags;
  SInt16 mHours;
  SInt16 mMinutes;
  SInt16 mSeconds;
  SInt16 mFrames;
};

struct AudioTimeStamp {
  Float64 mSampleTime;
  UInt64 mHostTime;
  Float64 mRateScalar;
  UInt64 mWordClockTime;
  SMPTETime mSMPTETime;
  UInt32 mFlags;
  UInt32 mReserved;
};
static_assert(sizeof(AudioTimeStamp) == 64, "platform layout");

enum : UInt32 {
  kAudioTimeStampSampleTimeValid = 1u << 0,
  kAudioTimeStampHostTimeValid = 1u << 1,
  kAudioTimeStampRateScalarValid = 1u << 2
};

typedef UInt32 AudioChannelLayoutTag;
enum : AudioChannelLayoutTag {
  kAudioChannelLayoutTag_Mono = (100u << 16) | 1,
  kAudioChannelLayoutTag_Stereo = (101u << 16) | 2,
  kAudioChannelLayoutTag_Unknown = 0xFFFF0000u
};
