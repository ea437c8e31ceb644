// TSafeFileStream: a save written beside its file and put in place whole.
#include "platform/Files.h"
#include "toolkit/Classes.h"

namespace toolkit {

struct TSafeFileStream::TTarget {
  std::string fileName;
  platform::Replacement replacement;
};

TSafeFileStream::TTarget TSafeFileStream::Prepare(const std::string& fileName) {
  try {
    return TTarget{fileName, platform::BeginReplace(fileName)};
  } catch (const platform::FileError& e) {
    throw EFCreateError(FileErrorText(SFCreateError, fileName, e));
  }
}

TSafeFileStream::TSafeFileStream(const std::string& fileName) : TSafeFileStream(Prepare(fileName)) {}

TSafeFileStream::TSafeFileStream(TTarget target)
    : TFileStream(std::move(target.replacement.file)),
      fileName_(std::move(target.fileName)),
      target_(std::move(target.replacement.target)),
      temp_(std::move(target.replacement.temp)) {}

TSafeFileStream::~TSafeFileStream() {
  if (temp_.empty()) return;
  // Closed first: Windows removes no file that is still open.
  SystemFile() = platform::File();
  platform::RemoveFile(temp_);
}

void TSafeFileStream::Commit() {
  try {
    platform::FinishReplace(SystemFile(), temp_, target_);
  } catch (const platform::FileError& e) {
    // A failed commit leaves the temporary to the destructor.
    throw EFCreateError(FileErrorText(SFCreateError, fileName_, e));
  }
  temp_.clear();
}

}  // namespace toolkit
