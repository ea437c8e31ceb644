// The classic MIDI output functions, on whichever service the system has:
// handles, headers and names are kept here; the service moves the bytes.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <mutex>
#include <string>

#include "base/Cp1252.h"
#include "platform/MidiOut.h"
#include "platform/MidiServices.h"
#include "platform/SystemMidiService.h"

namespace platform {
namespace {

using namespace mm;

std::mutex gMutex;
std::unique_ptr<MidiOutService>* gDefault = nullptr;

// At exit the clients leave the server properly: a client that just
// vanishes holds a synchronous JACK server up until it times out. What runs
// after this finds no devices.
void CloseDefault() {
  std::lock_guard lock(gMutex);
  *gDefault = OpenMidiSystem(MidiSystem::None);
}

// Called with gMutex held.
MidiOutService& TheDefault() {
  if (!gDefault) {
    // Left alive: JACK's threads may outlive static destruction.
    gDefault = new std::unique_ptr<MidiOutService>(
        std::make_unique<SystemMidiService>(MidiSystemsToTry(), &OpenMidiSystem));
    std::atexit(CloseDefault);
  }
  return **gDefault;
}

// Handles are numbers never reused, so a stale one is refused, not misrouted.
struct HandleEntry {
  MidiOutService* service;
  std::uint64_t port;
};

MidiOutService* gOverride = nullptr;
std::map<std::uintptr_t, HandleEntry> gHandles;
std::uintptr_t gNextHandle = 1;

MidiOutService& Current() { return gOverride ? *gOverride : TheDefault(); }

HandleEntry* Find(HMIDIOUT h) {
  auto it = gHandles.find(reinterpret_cast<std::uintptr_t>(h));
  return it == gHandles.end() ? nullptr : &it->second;
}

// The services name their ports in UTF-8; the "A" function hands out the
// ANSI code page the window shows, one byte a character, cut to fit szPname.
void CopyName(const std::string& name, char (&dest)[MAXPNAMELEN]) {
  const std::string ansi = base::Utf8ToCp1252(name);
  const std::size_t n = std::min(ansi.size(), MAXPNAMELEN - 1);
  std::memcpy(dest, ansi.data(), n);
  std::memset(dest + n, 0, MAXPNAMELEN - n);
}

}  // namespace

void UseMidiService(MidiOutService* service) {
  std::lock_guard lock(gMutex);
  gOverride = service;
}

namespace mm {

// The only call that counts the devices, so the only one after which the
// default service may be another: device numbers always belong to the
// service that gave the count.
UINT midiOutGetNumDevs() {
  std::lock_guard lock(gMutex);
  return Current().Count();
}

MMRESULT midiOutGetDevCapsA(UINT_PTR deviceId, MIDIOUTCAPSA* caps, UINT size) {
  if (caps == nullptr || size == 0) return MMSYSERR_INVALPARAM;
  if (deviceId > std::numeric_limits<unsigned>::max()) return MMSYSERR_BADDEVICEID;
  std::lock_guard lock(gMutex);
  std::string name;
  if (MMRESULT r = Current().Name(static_cast<unsigned>(deviceId), name); r != MMSYSERR_NOERROR) return r;
  MIDIOUTCAPSA full{};
  full.wMid = MM_UNMAPPED;
  full.wPid = MM_PID_UNMAPPED;
  full.vDriverVersion = 0x0100;
  CopyName(name, full.szPname);
  full.wTechnology = MOD_MIDIPORT;
  full.wChannelMask = 0xFFFF;
  std::memcpy(caps, &full, std::min<std::size_t>(size, sizeof full));
  return MMSYSERR_NOERROR;
}

MMRESULT midiOutOpen(HMIDIOUT* out, UINT deviceId, DWORD_PTR, DWORD_PTR, DWORD flags) {
  if (out == nullptr) return MMSYSERR_INVALPARAM;
  *out = nullptr;
  // Only polling callers are served: nothing here would ever call back.
  if ((flags & CALLBACK_TYPEMASK) != CALLBACK_NULL) return MMSYSERR_INVALPARAM;
  std::lock_guard lock(gMutex);
  MidiOutService& service = Current();
  if (deviceId == MIDI_MAPPER && !service.HasMapper()) return MMSYSERR_BADDEVICEID;
  std::uint64_t port = 0;
  if (MMRESULT r = service.Open(deviceId, port); r != MMSYSERR_NOERROR) return r;
  const std::uintptr_t h = gNextHandle++;
  gHandles.emplace(h, HandleEntry{&service, port});
  *out = reinterpret_cast<HMIDIOUT>(h);
  return MMSYSERR_NOERROR;
}

MMRESULT midiOutPrepareHeader(HMIDIOUT out, MIDIHDR* hdr, UINT size) {
  std::lock_guard lock(gMutex);
  if (!Find(out)) return MMSYSERR_INVALHANDLE;
  if (hdr == nullptr || size < sizeof(MIDIHDR)) return MMSYSERR_INVALPARAM;
  hdr->dwFlags |= MHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT midiOutUnprepareHeader(HMIDIOUT out, MIDIHDR* hdr, UINT size) {
  std::lock_guard lock(gMutex);
  if (!Find(out)) return MMSYSERR_INVALHANDLE;
  if (hdr == nullptr || size < sizeof(MIDIHDR)) return MMSYSERR_INVALPARAM;
  if (hdr->dwFlags & MHDR_INQUEUE) return MIDIERR_STILLPLAYING;
  hdr->dwFlags &= ~MHDR_PREPARED;
  return MMSYSERR_NOERROR;
}

MMRESULT midiOutLongMsg(HMIDIOUT out, MIDIHDR* hdr, UINT size) {
  std::lock_guard lock(gMutex);
  HandleEntry* open = Find(out);
  if (!open) return MMSYSERR_INVALHANDLE;
  if (hdr == nullptr || size < sizeof(MIDIHDR)) return MMSYSERR_INVALPARAM;
  if (!(hdr->dwFlags & MHDR_PREPARED)) return MIDIERR_UNPREPARED;
  if (hdr->dwFlags & MHDR_INQUEUE) return MIDIERR_STILLPLAYING;
  if (hdr->lpData == nullptr || hdr->dwBufferLength == 0) return MMSYSERR_INVALPARAM;
  hdr->dwFlags &= ~MHDR_DONE;
  const MMRESULT r = open->service->Send(open->port, reinterpret_cast<const unsigned char*>(hdr->lpData),
                                         hdr->dwBufferLength);
  if (r == MMSYSERR_NOERROR) hdr->dwFlags |= MHDR_DONE;
  return r;
}

MMRESULT midiOutClose(HMIDIOUT out) {
  std::lock_guard lock(gMutex);
  HandleEntry* open = Find(out);
  if (!open) return MMSYSERR_INVALHANDLE;
  // A refused close leaves the handle open, to be closed again.
  if (MMRESULT r = open->service->Close(open->port); r != MMSYSERR_NOERROR) return r;
  gHandles.erase(reinterpret_cast<std::uintptr_t>(out));
  return MMSYSERR_NOERROR;
}

}  // namespace mm
}  // namespace platform
