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
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
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

// Writes all of `bytes`, then closes `fd`; 0 or the error.
int WriteAll(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t done = 0;
  int error = 0;
  while (done < bytes.size() && error == 0) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno != EINTR) error = errno;
    if (n > 0) done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0 && error == 0) error = errno;
  return error;
}

// A new or regular file is written beside itself and renamed, so that it
// is either the old file or the complete new one. Anything else (a link,
// /dev/stdout, a pipe) is written through, like a shell redirection.
void Write(const std::string& output, const std::vector<std::uint8_t>& bytes) {
  const auto fail = [&](const char* pattern, int error) {
    throw Failure{output, Format(pattern, output.c_str()) + ". " + std::strerror(error)};
  };
  struct stat info {};
  if (::lstat(output.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    const int fd = ::open(output.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) fail(SFOpenError, errno);
    if (const int error = WriteAll(fd, bytes)) fail(SFCreateError, error);
    return;
  }
  std::string temp = output + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) fail(SFCreateError, errno);
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  int error = WriteAll(fd, bytes);
  if (error == 0 && ::rename(temp.c_str(), output.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.c_str());
    fail(SFCreateError, error);
  }
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
  Write(output, out.Bytes());
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
