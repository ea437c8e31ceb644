// A MIDI output driver for tests under wine: one device, "Lumivant Test
// MIDI", that writes what it receives to the file LUMIVANT_TEST_MIDI_LOG
// names, one line an event:
//   open EVENT|FUNCTION|WINDOW|THREAD|NULL   (how the opener is told)
//   sysex f0 43 ... f7                      (each long message, in order)
//   close
// Wine's audio device layer loads the same module first and wants its four
// entry points; this driver has no audio endpoints to offer it.
// A long message is finished a little later on a thread of its own, as real
// drivers finish theirs when the bytes have left: the header is marked done
// and the opener told only then, so a program that reuses or releases a
// header before it is done shows here as an error. An opener without a
// callback has its messages finished at once.
#include <windows.h>
#include <mmsystem.h>
#include <mmddk.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>

extern "C" {
BOOL WINAPI DriverCallback(DWORD_PTR callback, DWORD flags, HDRVR device, DWORD message, DWORD_PTR instance,
                           DWORD_PTR param1, DWORD_PTR param2);
LRESULT CALLBACK DriverProc(DWORD_PTR id, HDRVR driver, UINT message, LPARAM param1, LPARAM param2);
DWORD WINAPI modMessage(UINT device, UINT message, DWORD_PTR user, DWORD_PTR param1, DWORD_PTR param2);
int WINAPI GetPriority();
HRESULT WINAPI GetEndpointIDs(int flow, WCHAR*** ids, GUID** guids, UINT* count, UINT* defaultIndex);
HRESULT WINAPI GetAudioEndpoint(void* key, void* device, void** client);
HRESULT WINAPI GetAudioSessionManager(void* device, void** manager);
}

namespace {

constexpr DWORD kFinishDelayMs = 15;

std::mutex gLogMutex;

void Log(const std::string& line) {
  std::lock_guard lock(gLogMutex);
  char path[MAX_PATH];
  const DWORD n = ::GetEnvironmentVariableA("LUMIVANT_TEST_MIDI_LOG", path, sizeof path);
  if (n == 0 || n >= sizeof path) return;
  if (std::FILE* file = std::fopen(path, "ab")) {
    std::fputs((line + "\n").c_str(), file);
    std::fclose(file);
  }
}

struct Opened {
  MIDIOPENDESC desc;
  DWORD flags;
  LONG pending = 0;
};

void Tell(Opened* open, UINT message, DWORD_PTR param) {
  DriverCallback(open->desc.dwCallback, HIWORD(open->flags), reinterpret_cast<HDRVR>(open->desc.hMidi),
                 message, open->desc.dwInstance, param, 0);
}

struct Finishing {
  Opened* open;
  MIDIHDR* header;
};

DWORD WINAPI Finish(void* arg) {
  const Finishing work = *static_cast<Finishing*>(arg);
  delete static_cast<Finishing*>(arg);
  ::Sleep(kFinishDelayMs);
  work.header->dwFlags = (work.header->dwFlags & ~MHDR_INQUEUE) | MHDR_DONE;
  ::InterlockedDecrement(&work.open->pending);
  Tell(work.open, MOM_DONE, reinterpret_cast<DWORD_PTR>(work.header));
  return 0;
}

const char* CallbackKind(DWORD flags) {
  switch (flags & CALLBACK_TYPEMASK) {
    case CALLBACK_EVENT: return "EVENT";
    case CALLBACK_FUNCTION: return "FUNCTION";
    case CALLBACK_WINDOW: return "WINDOW";
    case CALLBACK_THREAD: return "THREAD";
    default: return "NULL";
  }
}

DWORD LongData(Opened* open, MIDIHDR* header) {
  if (!header || !(header->dwFlags & MHDR_PREPARED)) return MIDIERR_UNPREPARED;
  if (header->dwFlags & MHDR_INQUEUE) return MIDIERR_STILLPLAYING;
  std::string line = "sysex";
  char hex[4];
  for (DWORD i = 0; i < header->dwBufferLength; ++i) {
    std::snprintf(hex, sizeof hex, " %02x", static_cast<unsigned char>(header->lpData[i]));
    line += hex;
  }
  Log(line);
  if ((open->flags & CALLBACK_TYPEMASK) == CALLBACK_NULL) {
    // An opener that cannot be told polls, or does not wait at all, as
    // wine's MIDI mapper does: finished at once.
    header->dwFlags |= MHDR_DONE;
    return MMSYSERR_NOERROR;
  }
  header->dwFlags = (header->dwFlags & ~MHDR_DONE) | MHDR_INQUEUE;
  ::InterlockedIncrement(&open->pending);
  const HANDLE thread = ::CreateThread(nullptr, 0, Finish, new Finishing{open, header}, 0, nullptr);
  if (thread) ::CloseHandle(thread);
  return MMSYSERR_NOERROR;
}

}  // namespace

// Usable, neither preferred nor a last resort.
int WINAPI GetPriority() { return 2; }

HRESULT WINAPI GetEndpointIDs(int, WCHAR*** ids, GUID** guids, UINT* count, UINT* defaultIndex) {
  *ids = nullptr;
  *guids = nullptr;
  *count = 0;
  *defaultIndex = 0;
  return S_OK;
}

HRESULT WINAPI GetAudioEndpoint(void*, void*, void** client) {
  *client = nullptr;
  return E_NOTIMPL;
}

HRESULT WINAPI GetAudioSessionManager(void*, void** manager) {
  *manager = nullptr;
  return E_NOTIMPL;
}

LRESULT CALLBACK DriverProc(DWORD_PTR id, HDRVR driver, UINT message, LPARAM param1, LPARAM param2) {
  switch (message) {
    case DRV_LOAD:
    case DRV_FREE:
    case DRV_OPEN:
    case DRV_CLOSE:
    case DRV_ENABLE:
    case DRV_DISABLE: return 1;
    default: return DefDriverProc(id, driver, message, param1, param2);
  }
}

DWORD WINAPI modMessage(UINT device, UINT message, DWORD_PTR user, DWORD_PTR param1, DWORD_PTR param2) {
  auto* open = reinterpret_cast<Opened*>(user);
  switch (message) {
    case DRVM_INIT:
    case DRVM_EXIT:
    case DRVM_ENABLE:
    case DRVM_DISABLE: return MMSYSERR_NOERROR;
    case MODM_GETNUMDEVS: return 1;
    case MODM_GETDEVCAPS: {
      if (device != 0) return MMSYSERR_BADDEVICEID;
      MIDIOUTCAPSW caps{};
      caps.wMid = 0xFF;
      caps.wPid = 0xFF;
      caps.vDriverVersion = 0x0100;
      lstrcpyW(caps.szPname, L"Lumivant Test MIDI");
      caps.wTechnology = MOD_MIDIPORT;
      caps.wChannelMask = 0xFFFF;
      std::memcpy(reinterpret_cast<void*>(param1), &caps, std::min<std::size_t>(param2, sizeof caps));
      return MMSYSERR_NOERROR;
    }
    case MODM_OPEN: {
      if (device != 0) return MMSYSERR_BADDEVICEID;
      auto* opened = new Opened{*reinterpret_cast<MIDIOPENDESC*>(param1), static_cast<DWORD>(param2)};
      *reinterpret_cast<DWORD_PTR*>(user) = reinterpret_cast<DWORD_PTR>(opened);
      Log(std::string("open ") + CallbackKind(opened->flags));
      Tell(opened, MOM_OPEN, 0);
      return MMSYSERR_NOERROR;
    }
    case MODM_CLOSE:
      if (!open) return MMSYSERR_INVALHANDLE;
      if (open->pending > 0) return MIDIERR_STILLPLAYING;
      Log("close");
      Tell(open, MOM_CLOSE, 0);
      delete open;
      return MMSYSERR_NOERROR;
    case MODM_PREPARE: {
      // Wine's multimedia system leaves preparing headers to the driver.
      auto* header = reinterpret_cast<MIDIHDR*>(param1);
      if (!header) return MMSYSERR_INVALPARAM;
      header->dwFlags = (header->dwFlags | MHDR_PREPARED) & ~MHDR_DONE;
      return MMSYSERR_NOERROR;
    }
    case MODM_UNPREPARE: {
      auto* header = reinterpret_cast<MIDIHDR*>(param1);
      if (!header) return MMSYSERR_INVALPARAM;
      if (header->dwFlags & MHDR_INQUEUE) return MIDIERR_STILLPLAYING;
      header->dwFlags &= ~MHDR_PREPARED;
      return MMSYSERR_NOERROR;
    }
    case MODM_LONGDATA:
      return open ? LongData(open, reinterpret_cast<MIDIHDR*>(param1)) : MMSYSERR_INVALHANDLE;
    case MODM_DATA: return MMSYSERR_NOERROR;
    case MODM_RESET: return MMSYSERR_NOERROR;
    default: return MMSYSERR_NOTSUPPORTED;
  }
}
