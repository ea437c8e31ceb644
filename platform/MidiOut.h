#pragma once
// MIDI output by the classic multimedia names, so code written against them
// ports unchanged. Windows has the MIDI mapper (MIDI_MAPPER); Linux has
// none: there device numbers are ports only.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform::mm {

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using UINT_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using MMRESULT = UINT;

struct HMIDIOUT__;
using HMIDIOUT = HMIDIOUT__*;

inline constexpr MMRESULT MMSYSERR_NOERROR = 0;
inline constexpr MMRESULT MMSYSERR_ERROR = 1;
inline constexpr MMRESULT MMSYSERR_BADDEVICEID = 2;
inline constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
inline constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
inline constexpr MMRESULT MMSYSERR_NODRIVER = 6;
inline constexpr MMRESULT MMSYSERR_NOMEM = 7;
inline constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
inline constexpr MMRESULT MIDIERR_UNPREPARED = 64;
inline constexpr MMRESULT MIDIERR_STILLPLAYING = 65;

inline constexpr UINT MIDI_MAPPER = static_cast<UINT>(-1);

inline constexpr DWORD CALLBACK_TYPEMASK = 0x00070000;
inline constexpr DWORD CALLBACK_NULL = 0x00000000;

inline constexpr DWORD MHDR_DONE = 0x00000001;
inline constexpr DWORD MHDR_PREPARED = 0x00000002;
inline constexpr DWORD MHDR_INQUEUE = 0x00000004;

inline constexpr WORD MM_UNMAPPED = 0xFFFF;
inline constexpr WORD MM_PID_UNMAPPED = 0xFFFF;
inline constexpr WORD MOD_MIDIPORT = 1;
inline constexpr std::size_t MAXPNAMELEN = 32;

struct MIDIOUTCAPSA {
  WORD wMid;
  WORD wPid;
  DWORD vDriverVersion;
  char szPname[MAXPNAMELEN];
  WORD wTechnology;
  WORD wVoices;
  WORD wNotes;
  WORD wChannelMask;
  DWORD dwSupport;
};

struct MIDIHDR {
  char* lpData;
  DWORD dwBufferLength;
  DWORD dwBytesRecorded;
  DWORD_PTR dwUser;
  DWORD dwFlags;
  MIDIHDR* lpNext;
  DWORD_PTR reserved;
  DWORD dwOffset;
  DWORD_PTR dwReserved[8];
};

UINT midiOutGetNumDevs();
// szPname is the service's name in Windows-1252 ("?" for a character it
// lacks), cut to 31 characters.
MMRESULT midiOutGetDevCapsA(UINT_PTR deviceId, MIDIOUTCAPSA* caps, UINT size);
MMRESULT midiOutOpen(HMIDIOUT* out, UINT deviceId, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
MMRESULT midiOutPrepareHeader(HMIDIOUT out, MIDIHDR* hdr, UINT size);
MMRESULT midiOutUnprepareHeader(HMIDIOUT out, MIDIHDR* hdr, UINT size);
// Sends dwBufferLength bytes as they are; returns once they are handed on.
MMRESULT midiOutLongMsg(HMIDIOUT out, MIDIHDR* hdr, UINT size);
// Returns only after everything sent on the handle has left the process.
MMRESULT midiOutClose(HMIDIOUT out);

}  // namespace platform::mm

namespace platform {

// What the classic functions run on. Devices are numbered afresh on every
// call, in the order the service lists them now.
class MidiOutService {
 public:
  virtual ~MidiOutService() = default;
  virtual unsigned Count() = 0;
  virtual mm::MMRESULT Name(unsigned device, std::string& name) = 0;  // UTF-8
  virtual mm::MMRESULT Open(unsigned device, std::uint64_t& port) = 0;
  virtual mm::MMRESULT Send(std::uint64_t port, const unsigned char* bytes, std::size_t size) = 0;
  virtual mm::MMRESULT Close(std::uint64_t port) = 0;
  // Whether Open takes mm::MIDI_MAPPER, the system's own choice of output.
  virtual bool HasMapper() { return false; }
  // False once the system behind the service has gone (a sound server that
  // stopped): the service has let go of it then, lists and opens nothing,
  // sends nothing, and closes a port it had at once.
  virtual bool Live() { return true; }
};

// Multimedia: Windows' MIDI outputs, as its multimedia system lists them.
enum class MidiSystem { None, AlsaSequencer, Jack, Multimedia };

// A service on one system, or null if that system can't be reached now.
// Never starts a JACK server and never writes to stderr.
std::unique_ptr<MidiOutService> OpenMidiSystem(MidiSystem system);

// Points the classic functions at `service`; null goes back to the default:
// on Linux the ALSA sequencer if it opens, else a JACK server already
// running, else nothing, asked afresh by midiOutGetNumDevs whenever none is
// held or the one held has gone; on Windows the multimedia system.
// Handles opened on one service must be closed before switching away.
void UseMidiService(MidiOutService* service);

}  // namespace platform
