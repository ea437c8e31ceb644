// TStrings: a string list that streams itself as the "Strings" list.
#include <algorithm>

#include "toolkit/ClassBuilder.h"
#include "toolkit/Classes.h"
#include "toolkit/Streaming.h"

namespace toolkit {

const TClassInfo& TStrings::StaticClass() {
  static const TClassInfo info = ClassBuilder<TStrings>("TStrings", &TPersistent::StaticClass()).Build();
  return info;
}

void TStrings::CheckIndex(int index, int limit) const {
  if (index < 0 || index >= limit) throw EListError(Format(SListIndexError, index));
}

const std::string& TStrings::Get(int index) const {
  CheckIndex(index, Count());
  return items_[static_cast<std::size_t>(index)];
}

void TStrings::Put(int index, const std::string& value) {
  CheckIndex(index, Count());
  items_[static_cast<std::size_t>(index)] = value;
  Changed();
}

int TStrings::Add(const std::string& value) {
  items_.push_back(value);
  Changed();
  return Count() - 1;
}

void TStrings::Insert(int index, const std::string& value) {
  CheckIndex(index, Count() + 1);
  items_.insert(items_.begin() + index, value);
  Changed();
}

void TStrings::Delete(int index) {
  CheckIndex(index, Count());
  items_.erase(items_.begin() + index);
  Changed();
}

void TStrings::Clear() {
  if (items_.empty()) return;
  items_.clear();
  Changed();
}

int TStrings::IndexOf(const std::string& value) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (SameText(items_[i], value)) return static_cast<int>(i);
  return -1;
}

std::string TStrings::Text() const {
  std::string text;
  for (const std::string& line : items_) text += line + "\r\n";
  return text;
}

void TStrings::SetText(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  items_ = std::move(lines);
  Changed();
}

void TStrings::Assign(const TPersistent* source) {
  if (const auto* strings = dynamic_cast<const TStrings*>(source)) {
    if (strings == this) return;
    items_ = strings->items_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

void TStrings::DefineProperties(TFiler& filer) {
  filer.DefineProperty(
      "Strings",
      [this](TReader& reader) {
        // Built aside so that a bad list leaves the old lines and OnChange
        // fires once.
        std::vector<std::string> lines;
        reader.ReadListBegin();
        while (!reader.EndOfList()) lines.push_back(reader.ReadString());
        reader.ReadListEnd();
        items_ = std::move(lines);
        Changed();
      },
      [this](TWriter& writer) {
        writer.WriteListBegin();
        for (const std::string& line : items_) writer.WriteString(line);
        writer.WriteListEnd();
      },
      !items_.empty());
}

void TStrings::Changed() { OnChange(this); }

}  // namespace toolkit
