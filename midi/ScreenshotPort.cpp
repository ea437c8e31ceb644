#include "midi/ScreenshotPort.h"

#include "midi/MessageTable.h"

namespace midi {

using namespace platform::mm;

bool ReleasePort(HMIDIOUT& port) {
  if (port != nullptr && midiOutClose(port) == MMSYSERR_NOERROR) port = nullptr;
  return port == nullptr;
}

bool OpenPort(HMIDIOUT& port, UINT device) {
  HMIDIOUT opened = nullptr;
  if (midiOutOpen(&opened, device, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return false;
  port = opened;
  return true;
}

bool SendSequence(HMIDIOUT& port, MIDIHDR& header, int selector) {
  bool sent = true;
  for (const Message& message : Sequence(selector)) {
    // The table is constant and outlives the port, and a long message is
    // handed on before the call returns, so one header serves them all.
    header.lpData = reinterpret_cast<char*>(const_cast<std::uint8_t*>(message.Bytes().data()));
    header.dwBufferLength = static_cast<DWORD>(message.length);
    header.dwFlags = 0;
    sent &= midiOutPrepareHeader(port, &header, sizeof header) == MMSYSERR_NOERROR;
    sent &= midiOutLongMsg(port, &header, sizeof header) == MMSYSERR_NOERROR;
  }
  return ReleasePort(port) && sent;
}

}  // namespace midi
