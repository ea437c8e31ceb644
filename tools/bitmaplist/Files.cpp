#include "tools/bitmaplist/Files.h"

#include <filesystem>
#include <random>
#include <system_error>

#include "platform/Files.h"
#include "toolkit/Classes.h"

namespace bitmaplist {

namespace fs = std::filesystem;

namespace {

// The system's reason, which a file error of the toolkit gives after its
// last full stop, without the words naming the file: the line names it.
std::string Reason(const toolkit::Exception& e) {
  const std::size_t stop = e.Message.rfind(". ");
  return stop == std::string::npos ? e.Message : e.Message.substr(stop + 2);
}

// A new empty file named `prefix` plus random digits; its path, or Failure
// naming `shownAs`. It gets the permissions any new file of the user gets.
std::string MakeTemporary(const std::string& prefix, const std::string& shownAs) {
  std::random_device random;
  for (int attempt = 0;; ++attempt) {
    std::string temp = prefix + std::to_string(random() % 1000000);
    try {
      platform::File::CreateNew(temp);
      return temp;
    } catch (const platform::FileError& e) {
      if (attempt < 100 && fs::exists(fs::symlink_status(temp))) continue;
      throw Failure{shownAs, "cannot create: " + e.Reason()};
    }
  }
}

}  // namespace

std::vector<std::uint8_t> ReadWholeFile(const std::string& path) {
  platform::File file;
  try {
    file = platform::File::Open(path, platform::File::Access::Read);
  } catch (const platform::FileError& e) {
    throw Failure{path, "cannot open: " + e.Reason()};
  }
  // Read to the end, not to a size: a pipe has none.
  std::vector<std::uint8_t> bytes;
  std::uint8_t buffer[64 * 1024];
  try {
    while (const std::int64_t n = file.Read(buffer, sizeof buffer))
      bytes.insert(bytes.end(), buffer, buffer + n);
  } catch (const platform::FileError& e) {
    throw Failure{path, "cannot read: " + e.Reason()};
  }
  return bytes;
}

void ReplaceFile(const std::string& output, std::span<const std::uint8_t> bytes) {
  try {
    toolkit::TSafeFileStream file(output);
    file.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    file.Commit();
  } catch (const toolkit::EFCreateError& e) {
    throw Failure{output, "cannot create: " + Reason(e)};
  } catch (const toolkit::EStreamError& e) {
    throw Failure{output, "cannot write: " + Reason(e)};
  }
}

FileSet::FileSet(std::string dir) : dir_(std::move(dir)) {
  std::vector<fs::path> missing;
  std::error_code ec;
  fs::path start = fs::path(dir_).lexically_normal();
  if (!start.has_filename() && start.has_parent_path()) start = start.parent_path();  // "out/"
  for (fs::path p = start; !p.empty(); p = p.parent_path()) {
    if (fs::exists(fs::symlink_status(p, ec)) || p == p.parent_path()) break;
    missing.push_back(p);
  }
  for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
    if (fs::create_directory(*it, ec)) {
      madeDirs_.push_back(it->string());
    } else if (ec) {
      Discard();
      const std::string which = *it == start ? "" : " " + it->string();
      throw Failure{dir_, "cannot create folder" + which + ": " + ec.message()};
    }
  }
  if (!fs::is_directory(dir_, ec)) {
    Discard();
    throw Failure{dir_, "not a folder"};
  }
}

FileSet::~FileSet() {
  if (!committed_) Discard();
}

std::string FileSet::Stage(const std::string& name) {
  const std::string final = (fs::path(dir_) / name).string();
  const std::string temp = MakeTemporary((fs::path(dir_) / ("." + name + ".")).string(), final);
  staged_.emplace_back(temp, final);
  return temp;
}

void FileSet::Commit() {
  // A failure reports a copy of the name: Discard clears the list.
  const auto fail = [this](std::string file, const std::string& problem) {
    Discard();
    throw Failure{std::move(file), problem};
  };
  for (const auto& [temp, final] : staged_) {
    // A file about to be replaced is kept under a second name until the
    // whole set is in place, so a failed commit can put it back.
    std::error_code ec;
    if (fs::symlink_status(final, ec).type() == fs::file_type::regular) {
      const std::string backup = MakeTemporary(temp + ".old", final);
      fs::remove(backup, ec);
      // Where hard links are not to be had, the file moves aside instead.
      fs::create_hard_link(final, backup, ec);
      if (ec) fs::rename(final, backup, ec);
      if (ec) fail(final, "cannot keep the earlier file: " + ec.message());
      backups_.emplace_back(backup, final);
    }
    fs::rename(temp, final, ec);
    if (ec) fail(final, "cannot write: " + ec.message());
    placed_.push_back(final);
  }
  std::error_code ignored;
  for (const auto& [backup, final] : backups_) fs::remove(backup, ignored);
  backups_.clear();
  committed_ = true;
}

void FileSet::Discard() {
  std::error_code ignored;
  for (const auto& [temp, final] : staged_) fs::remove(temp, ignored);
  for (const std::string& file : placed_) fs::remove(file, ignored);
  for (const auto& [backup, final] : backups_) fs::rename(backup, final, ignored);
  // Only folders left empty go: removing a folder with files in it fails.
  for (auto it = madeDirs_.rbegin(); it != madeDirs_.rend(); ++it) fs::remove(*it, ignored);
  staged_.clear();
  placed_.clear();
  backups_.clear();
  madeDirs_.clear();
}

}  // namespace bitmaplist
