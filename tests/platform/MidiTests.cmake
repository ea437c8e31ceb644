# The double stands in for the device service and ships with the tests only;
# libjack directly for the sink that plays the instrument.
set(PLATFORM_MIDI_TESTS
  ${CMAKE_CURRENT_LIST_DIR}/MidiOutTest.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SystemMidiServiceTest.cpp
)
