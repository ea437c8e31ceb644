# MIDI output: the classic functions over each system's services. On Linux
# RtMidi (ALSA and JACK are probed directly so that a missing system stays
# silent); on Windows the system's multimedia API.
set(PLATFORM_MIDI_SOURCES ${CMAKE_CURRENT_LIST_DIR}/MidiOutClassic.cpp)
if(WIN32)
  list(APPEND PLATFORM_MIDI_SOURCES ${CMAKE_CURRENT_LIST_DIR}/MidiOutMultimedia.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MultimediaPorts.cpp)
  set(PLATFORM_MIDI_LIBRARIES winmm)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(RTMIDI REQUIRED IMPORTED_TARGET rtmidi)
  pkg_check_modules(JACK REQUIRED IMPORTED_TARGET jack)
  pkg_check_modules(ALSA REQUIRED IMPORTED_TARGET alsa)
  list(APPEND PLATFORM_MIDI_SOURCES ${CMAKE_CURRENT_LIST_DIR}/MidiOutRtMidi.cpp)
  set(PLATFORM_MIDI_LIBRARIES PkgConfig::RTMIDI PkgConfig::JACK PkgConfig::ALSA)
endif()
