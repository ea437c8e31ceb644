// The text form of component streams to the binary form: a lexer, then a
// parser that writes each value as it reads it. See ObjectText.cpp for the
// syntax. The whole result is built before any of it is written, so a
// failed conversion leaves the output as it was.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string_view>

#include "base/ByteOrder.h"
#include "toolkit/Streaming.h"
#include "toolkit/ValueStream.h"

namespace toolkit {

using detail::ValueWriter;

namespace {

enum class Tok { End, Symbol, Integer, String, Binary, Char };

struct Token {
  Tok kind = Tok::End;
  std::string text;             // Symbol, String, Binary (the bytes)
  std::uint64_t magnitude = 0;  // Integer, without its sign
  bool hex = false;
  char ch = 0;  // Char
  int line = 1;
};

[[noreturn]] void ParseError(const std::string& problem, int line) {
  throw EParserError(Format("%s on line %d", problem.c_str(), line));
}

bool IsLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

class Lexer {
 public:
  explicit Lexer(const std::string& text) : text_(text) {}

  std::vector<Token> Tokens() {
    std::vector<Token> tokens;
    do tokens.push_back(Next());
    while (tokens.back().kind != Tok::End);
    return tokens;
  }

 private:
  bool More() const { return pos_ < text_.size(); }
  char Peek() const { return More() ? text_[pos_] : '\0'; }

  void SkipSpace() {
    while (More() && std::isspace(static_cast<unsigned char>(Peek()))) {
      if (Peek() == '\n') ++line_;
      ++pos_;
    }
  }

  Token Next() {
    SkipSpace();
    Token token;
    token.line = line_;
    if (!More()) return token;
    const char c = Peek();
    if (IsLetter(c)) {
      token.kind = Tok::Symbol;
      while (More() && (IsLetter(Peek()) || IsDigit(Peek()))) token.text += text_[pos_++];
    } else if (IsDigit(c) || c == '$') {
      token.kind = Tok::Integer;
      token.hex = c == '$';
      token.magnitude = Number();
      if (Peek() == '.' || IsLetter(Peek())) ParseError("Only whole numbers are allowed", line_);
    } else if (c == '\'' || c == '#') {
      token.kind = Tok::String;
      token.text = String();
    } else if (c == '{') {
      token.kind = Tok::Binary;
      token.text = Binary();
    } else if (std::string_view("=:[](),+-@.").find(c) != std::string_view::npos) {
      token.kind = Tok::Char;
      token.ch = c;
      ++pos_;
    } else {
      ParseError(Format("Invalid character #%d", static_cast<unsigned char>(c)), line_);
    }
    return token;
  }

  // Decimal, or hexadecimal after '$'; up to 2^64 - 1, the sign is the
  // parser's business.
  std::uint64_t Number() {
    const bool hex = Peek() == '$';
    if (hex) ++pos_;
    const std::uint64_t base = hex ? 16 : 10;
    std::uint64_t value = 0;
    int digits = 0;
    for (int d; More() && (d = hex ? HexValue(Peek()) : (IsDigit(Peek()) ? Peek() - '0' : -1)) >= 0; ++pos_) {
      if (value > (UINT64_MAX - static_cast<std::uint64_t>(d)) / base)
        ParseError("Number out of range", line_);
      value = value * base + static_cast<std::uint64_t>(d);
      ++digits;
    }
    if (digits == 0) ParseError("Number expected", line_);
    return value;
  }

  // 'quoted' runs and #nn characters, adjacent: 'one'#13#10'two'.
  std::string String() {
    std::string value;
    while (Peek() == '\'' || Peek() == '#') {
      if (text_[pos_++] == '#') {
        const std::uint64_t code = Number();
        if (code > 0x10FFFF) ParseError("Character code out of range", line_);
        AppendUtf8(value, static_cast<std::uint32_t>(code));
        continue;
      }
      for (;;) {
        if (!More() || Peek() == '\n' || Peek() == '\r') ParseError("Unterminated string", line_);
        const char ch = text_[pos_++];
        if (ch == '\'') {
          if (Peek() != '\'') break;
          ++pos_;
        }
        value += ch;
      }
    }
    return value;
  }

  std::string Binary() {
    ++pos_;  // '{'
    std::string bytes;
    int high = -1;
    for (;;) {
      SkipSpace();
      if (!More()) ParseError("Unterminated binary value", line_);
      const char c = text_[pos_++];
      if (c == '}') break;
      const int nibble = HexValue(c);
      if (nibble < 0) ParseError("Invalid binary value", line_);
      if (high < 0) {
        high = nibble;
      } else {
        bytes += static_cast<char>(high << 4 | nibble);
        high = -1;
      }
    }
    if (high >= 0) ParseError("Binary value has an odd number of digits", line_);
    return bytes;
  }

  const std::string& text_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

class TextParser {
 public:
  TextParser(std::vector<Token> tokens, TStream& output, std::string baseDir)
      : tokens_(std::move(tokens)), out_(output), baseDir_(std::move(baseDir)) {}

  void Parse() {
    out_.WriteSignature();
    Object(0);
    if (Current().kind != Tok::End) Fail("End of file expected");
  }

 private:
  const Token& Current() const { return tokens_[pos_]; }
  const Token& Ahead() const { return tokens_[std::min(pos_ + 1, tokens_.size() - 1)]; }
  [[noreturn]] void Fail(const std::string& problem) const { ParseError(problem, Current().line); }
  bool IsChar(char c) const { return Current().kind == Tok::Char && Current().ch == c; }
  bool IsWord(const char* word) const {
    return Current().kind == Tok::Symbol && SameText(Current().text, word);
  }
  void ExpectChar(char c) {
    if (!IsChar(c)) Fail(Format("'%c' expected", c));
    ++pos_;
  }

  std::string Symbol() {
    if (Current().kind != Tok::Symbol) Fail("Identifier expected");
    if (Current().text.size() > 255) Fail("Identifier too long");
    return tokens_[pos_++].text;
  }

  std::string DottedName() {
    std::string name = Symbol();
    while (IsChar('.')) {
      ++pos_;
      name += "." + Symbol();
    }
    if (name.size() > 255) Fail("Name too long");
    return name;
  }

  // A property starts with a name followed by '=' or '.', so properties may
  // be called End or Object.
  bool AtProperty() const {
    return Current().kind == Tok::Symbol && Ahead().kind == Tok::Char &&
           (Ahead().ch == '=' || Ahead().ch == '.');
  }

  void Object(int depth) {
    if (depth > detail::kMaxNesting) Fail("Objects are nested too deeply");
    if (IsWord("inherited") || IsWord("inline")) Fail("Inherited and inline objects are not supported");
    if (!IsWord("object")) Fail("'object' expected");
    ++pos_;
    std::string name;
    std::string className = Symbol();
    if (IsChar(':')) {
      ++pos_;
      name = std::move(className);
      className = Symbol();
    }
    out_.WriteShortString(className, "The class name");
    out_.WriteShortString(name, "The component name");
    while (AtProperty()) {
      out_.WriteShortString(DottedName(), "The property name");
      ExpectChar('=');
      Value(0);
    }
    out_.WriteByte(0);
    while (!IsWord("end")) {
      if (!IsWord("object") && !IsWord("inherited") && !IsWord("inline")) Fail("'end' expected");
      Object(depth + 1);
    }
    ++pos_;
    out_.WriteByte(0);
  }

  void Value(int depth) {
    if (depth > detail::kMaxNesting) Fail("Values are nested too deeply");
    const Token& token = Current();
    switch (token.kind) {
      case Tok::Integer: return Integer(false);
      case Tok::String: return String();
      case Tok::Binary:
        out_.WriteBinary(reinterpret_cast<const std::uint8_t*>(token.text.data()), token.text.size());
        ++pos_;
        return;
      case Tok::Symbol: {
        const std::string ident = DottedName();
        if (SameText(ident, "True"))
          out_.WriteValue(TValueType::vaTrue);
        else if (SameText(ident, "False"))
          out_.WriteValue(TValueType::vaFalse);
        else if (SameText(ident, "nil"))
          out_.WriteValue(TValueType::vaNil);
        else
          out_.WriteIdent(ident);
        return;
      }
      case Tok::Char:
        if (token.ch == '-') {
          ++pos_;
          return Integer(true);
        }
        if (token.ch == '[') return Set();
        if (token.ch == '(') return List(depth);
        if (token.ch == '@') return File();
        break;
      case Tok::End: break;
    }
    Fail("Value expected");
  }

  void Integer(bool negative) {
    if (Current().kind != Tok::Integer) Fail("Number expected");
    const Token& token = tokens_[pos_++];
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 63;
    std::int64_t value = 0;
    if (token.hex) {
      value = static_cast<std::int64_t>(token.magnitude);  // the bits as written
      if (negative) {
        if (value < 0) ParseError("Number out of range", token.line);
        value = -value;
      }
    } else {
      if (token.magnitude > (negative ? kLimit : kLimit - 1)) ParseError("Number out of range", token.line);
      value = negative ? static_cast<std::int64_t>(0 - token.magnitude)
                       : static_cast<std::int64_t>(token.magnitude);
    }
    out_.WriteInteger(value);
  }

  void String() {
    std::string value = tokens_[pos_++].text;
    while (IsChar('+')) {
      ++pos_;
      if (Current().kind != Tok::String) Fail("String expected");
      value += tokens_[pos_++].text;
    }
    out_.WriteString(value);
  }

  void Set() {
    ++pos_;  // '['
    std::vector<std::string> members;
    while (!IsChar(']')) {
      if (!members.empty()) ExpectChar(',');
      members.push_back(Symbol());
    }
    ++pos_;
    out_.WriteSet(members);
  }

  void List(int depth) {
    ++pos_;  // '('
    out_.WriteValue(TValueType::vaList);
    while (!IsChar(')')) Value(depth + 1);
    ++pos_;
    out_.WriteValue(TValueType::vaNull);
  }

  // @file('name'): the bytes of a file beside the text.
  // @bitmap('name'): a picture's "Data" holding that bitmap file: the class
  // name TBitmap as a short string, the file's length, then the file.
  void File() {
    ++pos_;  // '@'
    const bool bitmap = IsWord("bitmap");
    if (!bitmap && !IsWord("file")) Fail("'file' or 'bitmap' expected");
    ++pos_;
    ExpectChar('(');
    if (Current().kind != Tok::String) Fail("File name expected");
    const std::string name = tokens_[pos_++].text;
    ExpectChar(')');
    // The name is UTF-8 on every system; "/" joins on every system too.
    const bool absolute = std::filesystem::path(std::u8string(name.begin(), name.end())).is_absolute();
    const std::string path = absolute ? name : baseDir_ + "/" + name;
    TMemoryStream file;
    file.LoadFromFile(path);
    const std::vector<std::uint8_t>& bytes = file.Bytes();
    if (!bitmap) return out_.WriteBinary(bytes.data(), bytes.size());
    if (bytes.size() > 0xFFFFFFF0u) Fail("Bitmap file too large");
    static constexpr char kClass[] = "TBitmap";
    std::vector<std::uint8_t> data{static_cast<std::uint8_t>(sizeof kClass - 1)};
    data.insert(data.end(), kClass, kClass + sizeof kClass - 1);
    const auto size = static_cast<std::uint32_t>(bytes.size());
    base::AppendLe32(data, size);
    data.insert(data.end(), bytes.begin(), bytes.end());
    out_.WriteBinary(data.data(), data.size());
  }

  std::vector<Token> tokens_;
  std::size_t pos_ = 0;
  ValueWriter out_;
  std::string baseDir_;
};

std::string ReadAll(TStream& input) {
  std::string text(static_cast<std::size_t>(std::max<std::int64_t>(0, input.Size() - input.Position())),
                   '\0');
  input.ReadBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  return text;
}

}  // namespace

void ObjectTextToBinary(TStream& input, TStream& output, const std::string& baseDir) {
  const std::string text = ReadAll(input);
  TMemoryStream binary;
  TextParser(Lexer(text).Tokens(), binary, baseDir).Parse();
  output.WriteBuffer(binary.Bytes().data(), binary.Size());
}

}  // namespace toolkit
