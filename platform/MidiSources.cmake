# MIDI output over RtMidi; ALSA and JACK are probed directly so that a
# missing system stays silent.
find_package(PkgConfig REQUIRED)
pkg_check_modules(RTMIDI REQUIRED IMPORTED_TARGET rtmidi)
pkg_check_modules(JACK REQUIRED IMPORTED_TARGET jack)
pkg_check_modules(ALSA REQUIRED IMPORTED_TARGET alsa)
set(PLATFORM_MIDI_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/MidiOutRtMidi.cpp
)
set(PLATFORM_MIDI_LIBRARIES PkgConfig::RTMIDI PkgConfig::JACK PkgConfig::ALSA)
