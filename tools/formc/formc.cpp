// formc: converts component streams between the readable text form and the
// binary form the program embeds.
//
//   formc FORM.txt FORM.bin             text to binary; @file('...') and
//                                       @bitmap('...') values are read from
//                                       FORM.txt's folder
//   formc --to-text FORM.bin FORM.txt   binary to text
//
// A failed command prints one line naming the file and the problem, exits
// with 1 and leaves the output file as it was.
#include <cstdio>
#include <filesystem>
#include <string>

#include "toolkit/Streaming.h"

namespace {

using namespace toolkit;

constexpr const char* kUsage =
    "usage: formc FORM.txt FORM.bin            convert a text form to binary\n"
    "       formc --to-text FORM.bin FORM.txt  convert a binary form to text\n"
    "       formc --help                       show this help\n";

struct Failure {
  std::string file;
  std::string problem;
};

std::string FolderOf(const std::string& file) {
  const std::filesystem::path folder = std::filesystem::path(file).parent_path();
  return folder.empty() ? "." : folder.string();
}

void Convert(const std::string& input, const std::string& output, bool toText) {
  TMemoryStream in;
  TMemoryStream out;
  try {
    in.LoadFromFile(input);
    if (toText)
      ObjectBinaryToText(in, out);
    else
      ObjectTextToBinary(in, out, FolderOf(input));
  } catch (const std::exception& e) {
    throw Failure{input, e.what()};
  }
  try {
    out.SaveToFile(output);
  } catch (const std::exception& e) {
    throw Failure{output, e.what()};
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string first = argc > 1 ? argv[1] : "";
  if (argc == 2 && (first == "--help" || first == "-h")) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  const bool toText = argc == 4 && first == "--to-text";
  const bool toBinary = argc == 3 && !first.empty() && first[0] != '-';
  if (!toText && !toBinary) {
    std::fprintf(stderr, "formc: expected an input and an output file (formc --help)\n");
    return 1;
  }
  const std::string input = toText ? argv[2] : argv[1];
  const std::string output = toText ? argv[3] : argv[2];
  try {
    Convert(input, output, toText);
  } catch (const Failure& f) {
    std::fprintf(stderr, "formc: %s: %s\n", f.file.c_str(), f.problem.c_str());
    return 1;
  }
  return 0;
}
