# The component model and streaming (set before the toolkit library is defined).
set(TOOLKIT_CORE_SOURCES
  SysUtils.cpp
  TypInfo.cpp
  Classes.cpp
  Strings.cpp
  Streams.cpp
  SafeFileStream.cpp
  ValueStream.cpp
  Streaming.cpp
  Writer.cpp
  TextToBinary.cpp
  ObjectText.cpp
  Thread.cpp
)
