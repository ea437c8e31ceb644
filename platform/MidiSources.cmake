# MIDI output: the classic functions over each system's services. On Linux
# the ALSA sequencer through RtMidi (probed directly first, so that a
# missing sequencer stays silent) and JACK through a client of our own; on
# Windows the system's multimedia API.
set(PLATFORM_MIDI_SOURCES ${CMAKE_CURRENT_LIST_DIR}/MidiOutClassic.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SystemMidiService.cpp)
if(WIN32)
  list(APPEND PLATFORM_MIDI_SOURCES ${CMAKE_CURRENT_LIST_DIR}/MidiOutMultimedia.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MultimediaPorts.cpp)
  set(PLATFORM_MIDI_LIBRARIES winmm)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(RTMIDI REQUIRED IMPORTED_TARGET rtmidi)
  pkg_check_modules(JACK REQUIRED IMPORTED_TARGET jack)
  pkg_check_modules(ALSA REQUIRED IMPORTED_TARGET alsa)
  list(APPEND PLATFORM_MIDI_SOURCES ${CMAKE_CURRENT_LIST_DIR}/MidiSystemsLinux.cpp
    ${CMAKE_CURRENT_LIST_DIR}/MidiOutAlsa.cpp ${CMAKE_CURRENT_LIST_DIR}/MidiOutJack.cpp)
  set(PLATFORM_MIDI_LIBRARIES PkgConfig::RTMIDI PkgConfig::JACK PkgConfig::ALSA)
endif()
