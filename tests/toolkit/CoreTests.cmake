# Tests of the component model and streaming. FormcTest.cpp needs
# LUMIVANT_FORMC defined as the path of the formc program.
set(TOOLKIT_CORE_TESTS
  StreamTestForms.cpp
  ComponentTest.cpp
  StreamsTest.cpp
  StreamingTest.cpp
  MalformedStreamTest.cpp
  ObjectTextTest.cpp
  FormcTest.cpp
)
