// bitmaplist: makes and takes apart the bitmap list's "ListItems" stream,
// which the resource build embeds in the main window.
//
// A failed command prints one line naming the file and the problem, exits
// with 1 and writes nothing: outputs are built in memory and put in place
// only when complete.
#include <algorithm>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "controls/Mmbmplst.h"
#include "toolkit/SysUtils.h"
#include "tools/bitmaplist/Files.h"
#include "tools/bitmaplist/ListFraming.h"

#ifndef LUMIVANT_VERSION
#define LUMIVANT_VERSION "unknown"
#endif

namespace bitmaplist {

namespace {

using controls::TMMBitmapList;
using toolkit::TMemoryStream;

constexpr const char* kHelp =
    "usage: bitmaplist pack [--compressed] OUTPUT [INPUT.bmp...]\n"
    "       bitmaplist unpack INPUT DIR\n"
    "       bitmaplist info INPUT\n"
    "       bitmaplist convert --compressed|--plain INPUT OUTPUT\n"
    "       bitmaplist --help | --version\n"
    "\n"
    "Makes and reads the bitmap list's \"ListItems\" stream.\n"
    "\n"
    "  pack     stores the BMP files, in order, as one stream in OUTPUT: plain,\n"
    "           or compressed with --compressed. With no INPUT the list is\n"
    "           empty: an 8-byte stream.\n"
    "  unpack   writes bitmap 0, 1, ... of INPUT as DIR/0.bmp, DIR/1.bmp, ...,\n"
    "           making DIR when it is missing. An empty bitmap has no BMP file\n"
    "           image: no file is written for it, and a line on standard\n"
    "           output says so.\n"
    "  info     prints the variant, the count and, per bitmap, its index,\n"
    "           width x height (or \"empty\"), bit depth and the length of its\n"
    "           BMP file image (coded and decoded lengths for a compressed\n"
    "           stream).\n"
    "  convert  writes INPUT's bitmaps to OUTPUT as a compressed or plain stream.\n"
    "\n"
    "The stream, every integer 32-bit signed little-endian: \"MBML\" (plain) or\n"
    "\"MBMC\" (compressed), the count N, then N items. A plain item is a length L\n"
    "and L bytes of a BMP file image. A compressed item is a total T and then\n"
    "blocks filling T bytes, each a length B and B bytes of coded data; the\n"
    "decoded blocks, one after the other, are the BMP file image. An empty\n"
    "bitmap is an item of length 0 (total 0, no blocks).\n"
    "\n"
    "An output file is replaced only once it is complete.\n"
    "\n"
    "Exit status: 0 on success, 1 on any error. An error is one line on stderr,\n"
    "\"bitmaplist: FILE: PROBLEM\", or \"bitmaplist: PROBLEM\" for a wrong command\n"
    "line.\n";

constexpr const char* kUsageHint = " (see bitmaplist --help)";

struct Command {
  std::string name;
  std::vector<std::string> args;  // the files, in order
  bool compressed = false;
  bool plain = false;
};

Failure Usage(const std::string& problem) { return Failure{"", problem}; }

// The problem an exception from the list or a bitmap stands for.
std::string Describe(const std::exception& e) {
  std::string message = e.what();
  if (message.empty()) message = "unknown error";
  if (dynamic_cast<const toolkit::EInvalidGraphic*>(&e)) {
    // The detail, without the generic words it may start with.
    const std::string generic = toolkit::SInvalidGraphic;
    if (message.rfind(generic, 0) == 0) message.erase(0, generic.size());
    if (message.rfind(": ", 0) == 0) message.erase(0, 2);
    return message.empty() ? "not a valid BMP image" : "not a valid BMP image: " + message;
  }
  if (message == toolkit::SReadError) return "truncated: " + message;
  return message;
}

std::string Plural(std::size_t n, const char* word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

std::string DepthOf(const toolkit::TBitmap& bitmap) {
  switch (bitmap.PixelFormat()) {
    case toolkit::pf1bit: return "1-bit";
    case toolkit::pf4bit: return "4-bit";
    case toolkit::pf8bit: return "8-bit";
    case toolkit::pf15bit: return "16-bit (5-5-5)";
    case toolkit::pf16bit: return "16-bit (5-6-5)";
    case toolkit::pf24bit: return "24-bit";
    case toolkit::pf32bit: return "32-bit";
    case toolkit::pfDevice: return "device";
    default: return "custom";
  }
}

void Int32Into(std::uint8_t* at, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

void Fill(TMemoryStream& stream, std::span<const std::uint8_t> bytes) {
  stream.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  stream.SetPosition(0);
}

// With its default handle type the list hands out, and so writes, every
// bitmap but a 1-bit one as 32 bits; as DIBs they keep the depth they were
// read with.
void PrepareList(TMMBitmapList& list) { list.SetHandleType(toolkit::bmDIB); }

// A stream the list refused: which bitmap is at fault, found by giving the
// list each item on its own.
std::string Diagnose(const std::vector<std::uint8_t>& bytes, const ListFrame& frame,
                     const std::exception& error) {
  for (std::size_t i = 0; i < frame.items.size(); ++i) {
    const ItemFrame& item = frame.items[i];
    std::vector<std::uint8_t> single(8);
    std::copy_n(bytes.begin(), 4, single.begin());
    Int32Into(single.data() + 4, 1);
    single.insert(single.end(), bytes.begin() + item.offset, bytes.begin() + item.End());
    TMemoryStream stream;
    Fill(stream, single);
    TMMBitmapList one(nullptr);
    PrepareList(one);
    try {
      one.LoadFromStream(stream);
    } catch (const std::exception& e) {
      return "bitmap " + std::to_string(i) + ": " + Describe(e);
    }
  }
  return Describe(error);
}

struct LoadedList {
  std::vector<std::uint8_t> bytes;
  ListFrame frame;
};

// Reads `input` into `list`; Failure naming `input` when it is not a sound
// stream.
LoadedList Load(const std::string& input, TMMBitmapList& list) {
  LoadedList loaded;
  loaded.bytes = ReadWholeFile(input);
  try {
    loaded.frame = ParseFraming(loaded.bytes);
  } catch (const EFraming& e) {
    throw Failure{input, e.what()};
  }
  PrepareList(list);
  TMemoryStream stream;
  Fill(stream, loaded.bytes);
  try {
    list.LoadFromStream(stream);
  } catch (const std::exception& e) {
    throw Failure{input, Diagnose(loaded.bytes, loaded.frame, e)};
  }
  if (static_cast<std::size_t>(list.Count()) != loaded.frame.items.size())
    throw Failure{input, "the list read " + Plural(static_cast<std::size_t>(list.Count()), "bitmap") +
                             " from a stream of " + Plural(loaded.frame.items.size(), "bitmap")};
  return loaded;
}

void Save(TMMBitmapList& list, const std::string& output) {
  TMemoryStream stream;
  try {
    list.SaveToStream(stream);
  } catch (const std::exception& e) {
    throw Failure{output, Describe(e)};
  }
  ReplaceFile(output, stream.Bytes());
}

void Pack(const Command& command) {
  const std::string& output = command.args[0];
  TMMBitmapList list(nullptr);
  PrepareList(list);
  list.SetCompressed(command.compressed);
  for (std::size_t i = 1; i < command.args.size(); ++i) {
    const std::string& input = command.args[i];
    // Read once first for a plain reason (missing, a folder, no access)
    // rather than the stream's generic one.
    ReadWholeFile(input);
    try {
      list.AddFromFile(input);
    } catch (const std::exception& e) {
      throw Failure{input, Describe(e)};
    }
  }
  Save(list, output);
}

// Puts `text` on standard output; Failure when it cannot.
void Print(const std::string& text) {
  if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0)
    throw Failure{"standard output", "cannot write"};
}

void Unpack(const Command& command) {
  const std::string& input = command.args[0];
  TMMBitmapList list(nullptr);
  Load(input, list);
  FileSet files(command.args[1]);
  std::string skipped;
  for (int i = 0; i < list.Count(); ++i) {
    const std::string name = std::to_string(i) + ".bmp";
    // A file of no bytes would be no BMP file: nothing stands for it.
    if (list.Get(i)->Empty()) {
      skipped +=
          "bitmap " + std::to_string(i) + " is empty: " + command.args[1] + "/" + name + " not written\n";
      continue;
    }
    const std::string temp = files.Stage(name);
    try {
      list.ExtractToFile(i, temp);
    } catch (const std::exception& e) {
      throw Failure{command.args[1] + "/" + name, Describe(e)};
    }
  }
  files.Commit();
  Print(skipped);
}

void Info(const Command& command) {
  const std::string& input = command.args[0];
  TMMBitmapList list(nullptr);
  const LoadedList loaded = Load(input, list);
  const ListFrame& frame = loaded.frame;
  std::string text = input + ": " + (frame.compressed ? "compressed (MBMC)" : "plain (MBML)") + ", " +
                     Plural(frame.items.size(), "bitmap") + ", " + Plural(loaded.bytes.size(), "byte") + "\n";
  for (int i = 0; i < list.Count(); ++i) {
    const ItemFrame& item = frame.items[static_cast<std::size_t>(i)];
    const toolkit::TBitmap* bitmap = list.Get(i);
    text += "  " + std::to_string(i) + ": ";
    if (bitmap->Empty())
      text += "empty, ";
    else
      text += std::to_string(bitmap->Width()) + " x " + std::to_string(bitmap->Height()) + ", " +
              DepthOf(*bitmap) + ", ";
    if (!frame.compressed) {
      text += Plural(static_cast<std::size_t>(item.length), "byte") + "\n";
      continue;
    }
    TMemoryStream source;
    Fill(source, loaded.bytes);
    source.SetPosition(item.offset);
    TMemoryStream decoded;
    try {
      list.LoadCompressedStream(source, decoded);
    } catch (const std::exception& e) {
      throw Failure{input, "bitmap " + std::to_string(i) + ": " + Describe(e)};
    }
    text += Plural(static_cast<std::size_t>(item.length), "byte") + " coded, " +
            std::to_string(decoded.Size()) + " decoded\n";
  }
  Print(text);
}

void Convert(const Command& command) {
  TMMBitmapList list(nullptr);
  Load(command.args[0], list);
  list.SetCompressed(command.compressed);
  Save(list, command.args[1]);
}

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

// The command line, checked: Failure with an empty file for misuse.
Command Parse(const std::vector<std::string>& argv) {
  Command command;
  command.name = argv[0];
  if (command.name != "pack" && command.name != "unpack" && command.name != "info" &&
      command.name != "convert")
    throw Usage(command.name[0] == '-' ? "unknown option '" + command.name + "'"
                                       : "unknown command '" + command.name + "'");
  bool optionsEnd = false;
  for (std::size_t i = 1; i < argv.size(); ++i) {
    const std::string& arg = argv[i];
    if (optionsEnd || arg.size() < 2 || arg[0] != '-') {
      command.args.push_back(arg);
    } else if (arg == "--") {
      optionsEnd = true;
    } else if (arg == "--compressed" && (command.name == "pack" || command.name == "convert")) {
      command.compressed = true;
    } else if (arg == "--plain" && command.name == "convert") {
      command.plain = true;
    } else {
      throw Usage("unknown option '" + arg + "' for " + command.name);
    }
  }
  const auto expect = [&](std::size_t count, const char* what) {
    if (command.args.size() != count)
      throw Usage(command.name + " expects " + what + ", got " + Plural(command.args.size(), "argument"));
  };
  if (command.name == "pack" && command.args.empty()) throw Usage("pack expects OUTPUT and the BMP files");
  if (command.name == "unpack") expect(2, "INPUT and DIR");
  if (command.name == "info") expect(1, "INPUT");
  if (command.name == "convert") {
    if (command.compressed == command.plain) throw Usage("convert expects one of --compressed and --plain");
    expect(2, "INPUT and OUTPUT");
  }
  return command;
}

int Run(const std::vector<std::string>& argv) {
  if (argv.empty()) {
    std::fputs(kHelp, stderr);
    return 1;
  }
  for (const std::string& arg : argv) {
    if (arg == "--") break;
    if (IsHelp(arg)) {
      std::fputs(kHelp, stdout);
      return std::fflush(stdout) == 0 ? 0 : 1;
    }
  }
  if (argv.size() == 1 && argv[0] == "--version") {
    std::fputs("bitmaplist (Lumivant) " LUMIVANT_VERSION "\n", stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
  }
  const Command command = Parse(argv);
  if (command.name == "pack") Pack(command);
  if (command.name == "unpack") Unpack(command);
  if (command.name == "info") Info(command);
  if (command.name == "convert") Convert(command);
  return 0;
}

// One line, however the message came.
std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

}  // namespace

}  // namespace bitmaplist

int main(int argc, char** argv) {
  using bitmaplist::OneLine;
  try {
    return bitmaplist::Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const bitmaplist::Failure& f) {
    if (f.file.empty())
      std::fprintf(stderr, "bitmaplist: %s%s\n", OneLine(f.problem).c_str(), bitmaplist::kUsageHint);
    else
      std::fprintf(stderr, "bitmaplist: %s: %s\n", OneLine(f.file).c_str(), OneLine(f.problem).c_str());
  } catch (const toolkit::Exception& e) {
    std::fprintf(stderr, "bitmaplist: %s\n", OneLine(e.Message).c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "bitmaplist: %s\n", OneLine(e.what()).c_str());
  } catch (...) {
    std::fprintf(stderr, "bitmaplist: unexpected error\n");
  }
  return 1;
}
