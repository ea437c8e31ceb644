// Component streams: the binary form ("LVF1") that forms are stored in, its
// reader and writer, and the readable text form the form compiler takes.
//
// Binary layout: the signature "LVF1", then one object: its class name and
// component name as short strings (a length byte, then the bytes), its
// properties (name as short string, then a typed value) up to an empty name
// (the byte 0), then its children as objects up to a 0 byte. Values start
// with a type byte (TValueType); raw bytes are vaBinary (0x0A), a 32-bit
// little-endian length, then the bytes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/Classes.h"

namespace toolkit {

enum class TValueType : std::uint8_t {
  vaNull = 0,
  vaList = 1,
  vaInt8 = 2,
  vaInt16 = 3,
  vaInt32 = 4,
  vaExtended = 5,
  vaString = 6,
  vaIdent = 7,
  vaFalse = 8,
  vaTrue = 9,
  vaBinary = 10,
  vaSet = 11,
  vaLString = 12,
  vaNil = 13,
  vaCollection = 14,
  vaSingle = 15,
  vaCurrency = 16,
  vaDate = 17,
  vaWString = 18,
  vaInt64 = 19,
  vaUTF8String = 20,
};

// What DefineProperties is given: a way to declare values that are not
// published properties. `hasData` false means the value is not written.
class TFiler {
 public:
  virtual ~TFiler() = default;
  virtual void DefineProperty(const std::string& name, const std::function<void(TReader&)>& read,
                              const std::function<void(TWriter&)>& write, bool hasData) = 0;
  // The value is raw bytes (vaBinary): `read` gets a stream positioned at
  // them and holding exactly them, `write` writes them to the stream given.
  virtual void DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& read,
                                    const std::function<void(TStream&)>& write, bool hasData) = 0;
};

class TReader : public TFiler {
 public:
  explicit TReader(TStream& stream);
  ~TReader() override;
  void DefineProperty(const std::string& name, const std::function<void(TReader&)>& read,
                      const std::function<void(TWriter&)>& write, bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& read,
                            const std::function<void(TStream&)>& write, bool hasData) override;

  // Reads a whole stream into `root`: its properties, its children (created
  // with `root` as owner), then fixes up references and calls Loaded on
  // every component read. Nothing half-built survives a failure: the
  // components created are freed and EReadError says what was wrong.
  void ReadRootComponent(TComponent* root);

  TValueType NextValue();
  std::int64_t ReadInteger();
  bool ReadBoolean();
  std::string ReadString();
  std::string ReadIdent();
  void ReadListBegin();
  void ReadListEnd();
  bool EndOfList();
  TComponent* Root() const { return root_; }

 private:
  struct Impl;
  friend struct Impl;
  TStream& stream_;
  TComponent* root_ = nullptr;
  std::unique_ptr<Impl> impl_;
};

class TWriter : public TFiler {
 public:
  explicit TWriter(TStream& stream);
  ~TWriter() override;
  void DefineProperty(const std::string& name, const std::function<void(TReader&)>& read,
                      const std::function<void(TWriter&)>& write, bool hasData) override;
  void DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>& read,
                            const std::function<void(TStream&)>& write, bool hasData) override;

  // Writes `root` with its published properties (defaults left out) and
  // its children.
  void WriteRootComponent(TComponent* root);

  void WriteInteger(std::int64_t value);
  void WriteBoolean(bool value);
  void WriteString(const std::string& value);
  void WriteIdent(const std::string& ident);
  void WriteListBegin();
  void WriteListEnd();

 private:
  struct Impl;
  friend struct Impl;
  TStream& stream_;
  std::unique_ptr<Impl> impl_;
};

// Convenience: read a stream into an existing root, or write one.
void ReadComponent(TStream& stream, TComponent* root);
void WriteComponent(TStream& stream, TComponent* root);
// Reads a stream held in memory (an embedded form description).
void ReadComponentFromBytes(const std::uint8_t* data, std::size_t size, TComponent* root);

// The text form ("object Form1: TForm1 ... end") and the binary form, both
// ways. Binary values may be written in text as { hex } or as
// @file('name') taken from `baseDir` (EFOpenError naming the file when it is
// missing). EReadError/EParserError on bad input; the output is written only
// when the whole conversion succeeded.
void ObjectTextToBinary(TStream& input, TStream& output, const std::string& baseDir = ".");
void ObjectBinaryToText(TStream& input, TStream& output);

}  // namespace toolkit
