// A long message leaves through a header of its own. midiOutLongMsg may
// return while the driver still holds the header, so each send waits for the
// driver to mark it done (MHDR_DONE) before the header is released: the next
// message and a close then lose nothing. A driver that never finishes is
// reset, which hands the header back, and the send reports the failure.
#include "platform/MultimediaPorts.h"

#include <windows.h>
#include <mmsystem.h>

#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/WideText.h"

namespace platform::multimedia {

namespace {

struct Message {
  MIDIHDR header{};
  std::vector<char> data;
};

struct Port {
  HMIDIOUT out;
  HANDLE done;  // signalled by the driver as it finishes with a header
  // Messages a driver did not give back even when reset: their memory must
  // outlive its use, up to the close.
  std::list<std::unique_ptr<Message>> held;
};

std::mutex gMutex;
std::map<std::uint64_t, Port> gPorts;
std::uint64_t gNextPort = 1;

// MIDI carries 3125 bytes a second; a driver gets twice that, and a second more.
DWORD TimeAllowed(std::size_t size) { return 1000 + static_cast<DWORD>(size * 2 / 3) + 1; }

bool WaitDone(const Port& port, const MIDIHDR& header, DWORD allowed) {
  const ULONGLONG deadline = ::GetTickCount64() + allowed;
  while (!(header.dwFlags & MHDR_DONE)) {
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return false;
    ::WaitForSingleObject(port.done, static_cast<DWORD>(deadline - now));
  }
  return true;
}

}  // namespace

unsigned DeviceCount() { return ::midiOutGetNumDevs(); }

unsigned DeviceName(unsigned device, std::string& name) {
  MIDIOUTCAPSW caps{};
  const MMRESULT r = ::midiOutGetDevCapsW(device, &caps, sizeof caps);
  if (r == MMSYSERR_NOERROR) name = WideToUtf8(caps.szPname);
  return r;
}

unsigned OpenDevice(unsigned device, std::uint64_t& port) {
  const HANDLE done = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!done) return MMSYSERR_NOMEM;
  HMIDIOUT out = nullptr;
  const MMRESULT r = ::midiOutOpen(&out, device, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT);
  if (r != MMSYSERR_NOERROR) {
    ::CloseHandle(done);
    return r;
  }
  std::lock_guard lock(gMutex);
  port = gNextPort++;
  gPorts.emplace(port, Port{out, done, {}});
  return MMSYSERR_NOERROR;
}

unsigned SendLong(std::uint64_t port, const unsigned char* bytes, std::size_t size) {
  std::lock_guard lock(gMutex);
  const auto it = gPorts.find(port);
  if (it == gPorts.end()) return MMSYSERR_INVALHANDLE;
  Port& p = it->second;
  auto message = std::make_unique<Message>();
  message->data.assign(bytes, bytes + size);
  MIDIHDR& header = message->header;
  header.lpData = message->data.data();
  header.dwBufferLength = static_cast<DWORD>(size);
  header.dwBytesRecorded = static_cast<DWORD>(size);
  MMRESULT r = ::midiOutPrepareHeader(p.out, &header, sizeof header);
  if (r != MMSYSERR_NOERROR) return r;
  r = ::midiOutLongMsg(p.out, &header, sizeof header);
  if (r == MMSYSERR_NOERROR && !WaitDone(p, header, TimeAllowed(size))) {
    ::midiOutReset(p.out);
    WaitDone(p, header, TimeAllowed(0));
    r = MMSYSERR_ERROR;
  }
  if (::midiOutUnprepareHeader(p.out, &header, sizeof header) == MIDIERR_STILLPLAYING) {
    p.held.push_back(std::move(message));
    return MMSYSERR_ERROR;
  }
  return r;
}

unsigned CloseDevice(std::uint64_t port) {
  std::lock_guard lock(gMutex);
  const auto it = gPorts.find(port);
  if (it == gPorts.end()) return MMSYSERR_INVALHANDLE;
  Port& p = it->second;
  // Every send has finished: nothing is queued that a close could drop,
  // but what a stuck driver still holds.
  if (!p.held.empty()) {
    ::midiOutReset(p.out);
    for (const auto& message : p.held)
      ::midiOutUnprepareHeader(p.out, &message->header, sizeof message->header);
  }
  const MMRESULT r = ::midiOutClose(p.out);
  if (r != MMSYSERR_NOERROR) return r;
  ::CloseHandle(p.done);
  gPorts.erase(it);
  return MMSYSERR_NOERROR;
}

}  // namespace platform::multimedia
