// The state chunk: one double per parameter, in index order, with no header.
#include <cmath>
#include <cstring>

#include "IPluginBase.h"

bool IPluginBase::SerializeState(ByteChunk* chunk) {
  return SerializeParams(chunk);
}

int IPluginBase::UnserializeState(ByteChunk* chunk, int startPos) {
  return UnserializeParams(chunk, startPos);
}

// False as soon as a value could not be appended (the chunk did not grow).
bool IPluginBase::SerializeParams(ByteChunk* chunk) {
  RecursiveMutex::ScopedLock lock(mMutex);
  for (int i = 0; i < NParams(); ++i) {
    int before = chunk->Size();
    if (chunk->Append(GetParam(i)->GetValue()) != before + static_cast<int>(sizeof(double))) {
      return false;
    }
  }
  return true;
}

// A chunk that runs out sets the parameter it ran out at to 0.0 (clamped into
// its range) and leaves the later ones alone; the result is then -1.  A stored
// value that is not a number is taken as 0.0 too, so no NaN reaches the audio path.
int IPluginBase::UnserializeParams(ByteChunk* chunk, int startPos) {
  RecursiveMutex::ScopedLock lock(mMutex);
  int pos = startPos;
  for (int i = 0; i < NParams() && pos >= 0; ++i) {
    double v = 0.0;
    pos = chunk->Read(&v, pos);
    if (std::isnan(v)) v = 0.0;
    GetParam(i)->SetValue(v);
  }
  OnParamReset();
  return pos;
}

bool IPluginBase::CompareState(const unsigned char* data, int startIndex) {
  for (int i = 0; i < NParams(); ++i) {
    double stored;
    std::memcpy(&stored, data + sizeof(double) * static_cast<size_t>(startIndex + i),
                sizeof(double));
    float diff = static_cast<float>(GetParam(i)->GetValue()) - static_cast<float>(stored);
    if (!(std::fabs(static_cast<double>(diff)) < 0.00001)) return false;
  }
  return true;
}
