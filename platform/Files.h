// Files on disk, and a save that replaces a file only once it is complete.
// Failures are FileError, carrying the system's own words for the reason.
#pragma once

#include <cstdint>
#include <string>

#include "platform/PlatformError.h"

namespace platform {

class FileError : public PlatformError {
 public:
  // `action` says what failed ("open <name>"); `error` is the system's error number.
  FileError(const std::string& action, int error);
  // The system's text for the error, e.g. "No such file or directory".
  const std::string& Reason() const { return reason_; }

 private:
  std::string reason_;
};

struct Replacement;

// An open file, closed when destroyed.
class File {
 public:
  enum class Access { Read, Write, ReadWrite };
  enum class Origin { Begin, Current, End };

  // An existing file; a folder is refused.
  static File Open(const std::string& fileName, Access access);
  // A new empty file for reading and writing, emptying one that is there.
  static File Create(const std::string& fileName);
  // A file that must not exist yet, made empty for reading and writing;
  // FileError (EEXIST) when the name is taken.
  static File CreateNew(const std::string& fileName);

  File() = default;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  // Reads until `count` bytes or the end of the file: the bytes read.
  std::int64_t Read(void* buffer, std::int64_t count);
  void Write(const void* buffer, std::int64_t count);
  // The new position from the start.
  std::int64_t Seek(std::int64_t offset, Origin origin);
  void Truncate(std::int64_t size);
  // The system's descriptor, or -1 once closed.
  int Descriptor() const { return fd_; }

 private:
  explicit File(int fd) : fd_(fd) {}
  // Closes the descriptor: 0, or the system's error number.
  int Release();

  friend Replacement BeginReplace(const std::string& fileName);
  friend void FinishReplace(File& file, const std::string& temp, const std::string& target);

  int fd_ = -1;
};

// A save in progress. The bytes go to `temp`, a new file beside the file
// `fileName` names once its symbolic links are followed; it keeps that
// file's permissions and, where the system lets us, its owner. A device or
// pipe, or a name under /dev or /proc, cannot be replaced: `file` is then
// that file itself, emptied, and `temp` is empty.
struct Replacement {
  File file;
  std::string temp;
  std::string target;  // the name `temp` takes when the save finishes
};

Replacement BeginReplace(const std::string& fileName);
// Puts `file` on disk and closes it, then `temp` (unless empty) takes the
// name `target`. A crash leaves the old file or the new one, never an empty one.
void FinishReplace(File& file, const std::string& temp, const std::string& target);
// Removes a file, quietly when it cannot.
void RemoveFile(const std::string& fileName) noexcept;

}  // namespace platform
