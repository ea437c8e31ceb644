// The tool's file handling: whole files in, and outputs that appear only
// once they are complete, so a failed run leaves every file as it was.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace bitmaplist {

// What stops a command: the file concerned (empty for a usage error) and
// the problem, printed as one line.
struct Failure {
  std::string file;
  std::string problem;
};

// The whole of `path`; Failure when it cannot be read.
std::vector<std::uint8_t> ReadWholeFile(const std::string& path);

// Replaces `output` with `bytes` through the toolkit's safe file stream,
// so `output` is either untouched or complete. A device or pipe is written
// through, like a shell redirection. Failure on error.
void ReplaceFile(const std::string& output, std::span<const std::uint8_t> bytes);

// Files put into one folder as a set: each is written under a temporary
// name, and Commit renames them all into place. A set not committed, or
// whose commit fails, takes away everything it put there, folders it made
// included, and puts back the files it replaced.
class FileSet {
 public:
  // Makes `dir` and its missing parents.
  explicit FileSet(std::string dir);
  ~FileSet();
  FileSet(const FileSet&) = delete;
  FileSet& operator=(const FileSet&) = delete;

  // A new empty temporary file in the folder, to be written by the caller
  // and named `name` on commit.
  std::string Stage(const std::string& name);
  void Commit();

 private:
  void Discard();

  std::string dir_;
  std::vector<std::string> madeDirs_;                        // outermost first
  std::vector<std::pair<std::string, std::string>> staged_;  // temporary, final
  std::vector<std::string> placed_;
  std::vector<std::pair<std::string, std::string>> backups_;  // earlier file, its name
  bool committed_ = false;
};

}  // namespace bitmaplist
