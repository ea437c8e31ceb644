// The readable text form of component streams, both ways:
//
//   object Form1: TForm1
//     Caption = 'Lumivant'#13#10'2'
//     Font.Style = [fsBold]
//     Lines.Strings = (
//       'one'
//       'two')
//     Glyph.Data = {
//       0A0B0C}
//     Logo.Data = @file('logo.bmp')
//     object Button1: TButton
//       OnClick = Button1Click
//     end
//   end
//
// This file writes the binary form as text; TextToBinary.cpp reads it back.
// Names are checked on the way, so that the text always parses again.
#include "toolkit/Streaming.h"
#include "toolkit/ValueStream.h"

namespace toolkit {

using detail::ValueReader;

namespace {

constexpr std::size_t kStringPiece = 64;  // characters of text per piece of a string
constexpr std::size_t kBinaryLine = 32;   // bytes of a binary value per line

class TextWriter {
 public:
  explicit TextWriter(TStream& input) : in_(input) {}

  std::string Convert() {
    in_.ReadSignature();
    Object(0);
    return std::move(text_);
  }

 private:
  static std::string Pad(int indent) { return std::string(static_cast<std::size_t>(indent), ' '); }

  // What is written as a name must read back as one.
  void CheckName(const std::string& name, bool dotted, const char* what) {
    std::size_t start = 0;
    for (;;) {
      const std::size_t dot = dotted ? name.find('.', start) : std::string::npos;
      if (!IsValidIdent(name.substr(start, dot == std::string::npos ? std::string::npos : dot - start)))
        in_.Fail(std::string(what) + " is not an identifier");
      if (dot == std::string::npos) return;
      start = dot + 1;
    }
  }

  void Object(int depth) {
    if (depth > detail::kMaxNesting) in_.Fail("objects are nested too deeply");
    const int indent = 2 * depth;
    in_.CheckObjectPrefix();
    const std::string className = in_.ReadShortString("a class name");
    const std::string name = in_.ReadShortString("a component name");
    CheckName(className, false, "a class name");
    if (!name.empty()) CheckName(name, false, "a component name");
    text_ += Pad(indent) + "object " + (name.empty() ? "" : name + ": ") + className + "\n";
    while (!in_.NextIsZero()) {
      const std::string prop = in_.ReadShortString("a property name");
      CheckName(prop, true, "a property name");
      text_ += Pad(indent + 2) + prop + " = ";
      Value(indent + 2, 0);
      text_ += "\n";
    }
    in_.ReadByte("the end of the properties");
    while (!in_.NextIsZero()) Object(depth + 1);
    in_.ReadByte("the end of the children");
    text_ += Pad(indent) + "end\n";
  }

  void Value(int indent, int depth) {
    if (depth > detail::kMaxNesting) in_.Fail("lists are nested too deeply");
    const TValueType type = in_.ReadValue();
    if (detail::IsIntegerValue(type)) {
      text_ += std::to_string(in_.ReadInteger(type));
      return;
    }
    if (detail::IsStringValue(type)) {
      Quoted(in_.ReadString(type), indent);
      return;
    }
    switch (type) {
      case TValueType::vaList:
        text_ += "(";
        while (!in_.NextIsZero()) {
          text_ += "\n" + Pad(indent + 2);
          Value(indent + 2, depth + 1);
        }
        in_.ReadByte("the end of a list");
        text_ += ")";
        return;
      case TValueType::vaIdent: {
        const std::string ident = in_.ReadShortString("an identifier");
        CheckName(ident, true, "an identifier");
        text_ += ident;
        return;
      }
      case TValueType::vaFalse: text_ += "False"; return;
      case TValueType::vaTrue: text_ += "True"; return;
      case TValueType::vaNil: text_ += "nil"; return;
      case TValueType::vaSet: {
        text_ += "[";
        const std::vector<std::string> members = in_.ReadSet();
        for (std::size_t i = 0; i < members.size(); ++i) {
          CheckName(members[i], false, "a set member");
          text_ += (i ? ", " : "") + members[i];
        }
        text_ += "]";
        return;
      }
      case TValueType::vaBinary: Binary(in_.ReadBinary(), indent); return;
      default: in_.Fail("value type " + std::to_string(static_cast<int>(type)) + " has no text form");
    }
  }

  // Control characters as #nn, the rest quoted; long strings go on in
  // pieces on the lines below, never splitting a UTF-8 sequence.
  void Quoted(const std::string& value, int indent) {
    if (value.empty()) {
      text_ += "''";
      return;
    }
    bool quoted = false;
    std::size_t pieceStart = text_.size();
    for (std::size_t i = 0; i < value.size(); ++i) {
      const auto c = static_cast<unsigned char>(value[i]);
      if (c < 32 || c == 127) {
        if (quoted) text_ += '\'';
        quoted = false;
        text_ += "#" + std::to_string(c);
      } else {
        if (!quoted) text_ += '\'';
        quoted = true;
        text_ += c == '\'' ? "''" : std::string(1, static_cast<char>(c));
      }
      const bool more = i + 1 < value.size();
      const bool continuation = more && (static_cast<unsigned char>(value[i + 1]) & 0xC0) == 0x80;
      if (more && !continuation && text_.size() - pieceStart >= kStringPiece) {
        if (quoted) text_ += '\'';
        quoted = false;
        text_ += " +\n" + Pad(indent + 2);
        pieceStart = text_.size();
      }
    }
    if (quoted) text_ += '\'';
  }

  void Binary(const std::vector<std::uint8_t>& bytes, int indent) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    text_ += "{";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      if (i % kBinaryLine == 0) text_ += "\n" + Pad(indent + 2);
      text_ += kHex[bytes[i] >> 4];
      text_ += kHex[bytes[i] & 15];
    }
    text_ += "}";
  }

  ValueReader in_;
  std::string text_;
};

}  // namespace

void ObjectBinaryToText(TStream& input, TStream& output) {
  const std::string text = TextWriter(input).Convert();
  output.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
}

}  // namespace toolkit
