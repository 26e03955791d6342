#include "IPluginBase.h"

// Every message is sent even after one fails.
bool IPluginBase::SendMidiMsgs(TypedBuf<IMidiMsg>* msgs) {
  bool ok = true;
  for (int i = 0; i < msgs->GetSize(); ++i)
    ok = SendMidiMsg(msgs->Get() + i) && ok;
  return ok;
}
