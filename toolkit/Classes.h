// The component model: objects with run-time class information, persistent
// objects that copy and stream themselves, components that own components,
// events, lists and streams.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/SysUtils.h"
#include "toolkit/TypInfo.h"

namespace platform {
class File;
class FileError;
}  // namespace platform

namespace toolkit {

class TFiler;
class TReader;
class TWriter;
class TStream;

class TObject {
 public:
  virtual ~TObject() = default;
  static const TClassInfo& StaticClass();
  virtual const TClassInfo& ClassType() const { return StaticClass(); }
  const std::string& ClassName() const { return ClassType().Name; }
  bool InheritsFrom(const TClassInfo& info) const { return ClassType().InheritsFrom(info); }
};

// An event: a handler and the object it belongs to, called with the sender
// first. Empty events do nothing when called.
template <typename... Args>
class TEvent {
 public:
  using Function = std::function<void(Args...)>;
  TEvent() = default;
  TEvent(std::function<void(Args...)> fn, TObject* data = nullptr, std::string name = {})
      : Fn(std::move(fn)), Data(data), Name(std::move(name)) {}
  template <typename C>
  TEvent(C* object, void (C::*method)(Args...), std::string name = {})
      : Fn([object, method](Args... args) { (object->*method)(args...); }),
        Data(object),
        Name(std::move(name)) {}

  explicit operator bool() const { return static_cast<bool>(Fn); }
  void operator()(Args... args) const {
    if (Fn) Fn(args...);
  }
  void Clear() { *this = TEvent(); }

  std::function<void(Args...)> Fn;
  TObject* Data = nullptr;
  std::string Name;  // the published handler's name, for streams
};

using TNotifyEvent = TEvent<TObject*>;

class TPersistent : public TObject {
  TOOLKIT_CLASS(TPersistent, TObject)
 public:
  // Copies `source` into this object; the default asks the source to
  // assign itself (AssignTo) and fails with the assignment error.
  virtual void Assign(const TPersistent* source);
  // Non-published values this object streams itself (binary blobs and the
  // like), declared on the filer.
  virtual void DefineProperties(TFiler& filer);
  // The owner whose name path qualifies this object in streams.
  virtual TPersistent* GetOwner() const { return nullptr; }

 protected:
  virtual void AssignTo(TPersistent* dest) const;
  [[noreturn]] void AssignError(const TPersistent* source) const;
};

enum class TOperation { opInsert, opRemove };

// Component state flags.
enum TComponentStateFlag : unsigned {
  csLoading = 1u << 0,
  csReading = 1u << 1,
  csWriting = 1u << 2,
  csDestroying = 1u << 3,
  csDesigning = 1u << 4,
  csAncestor = 1u << 5,
  csUpdating = 1u << 6,
  csFixups = 1u << 7,
};
using TComponentState = unsigned;

// A component owns the components created with it as owner, in creation
// order, and frees them when it is freed. Components are the only objects
// created with `new` and freed with `delete`: through their owner, or
// directly when they have none.
class TComponent : public TPersistent {
  TOOLKIT_CLASS(TComponent, TPersistent)
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const;  // EListError outside the list
  int ComponentIndex() const;
  TComponent* FindComponent(const std::string& name) const;  // case-insensitive

  const std::string& Name() const { return name_; }
  // Fails (EComponentError) for a name that is not an identifier or that
  // another component of the same owner already has.
  virtual void SetName(const std::string& name);
  std::int64_t Tag() const { return tag_; }
  void SetTag(std::int64_t tag) { tag_ = tag; }

  TComponentState ComponentState() const { return state_; }
  bool HasState(TComponentStateFlag flag) const { return (state_ & flag) != 0; }
  void SetDesigning(bool designing, bool setChildren = true);

  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Asks to be told (Notification opRemove) when `component` is freed,
  // though it is not owned by this one.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);
  // Frees every owned component, last created first.
  void DestroyComponents();
  // Marks this component and those it owns as being destroyed.
  void Destroying();

  // Called once after the whole stream this component came from was read,
  // references resolved.
  virtual void Loaded();
  virtual void Notification(TComponent* component, TOperation operation);
  TPersistent* GetOwner() const override { return owner_; }

  // Where a form designer placed a component that is not a control: written
  // as "Left" and "Top" (when not 0) by classes without such properties.
  int DesignLeft() const { return designLeft_; }
  int DesignTop() const { return designTop_; }
  void SetDesignInfo(int left, int top) {
    designLeft_ = left;
    designTop_ = top;
  }
  void DefineProperties(TFiler& filer) override;

  // Stream support: the reader and writer set these state flags.
  void SetComponentState(TComponentState state) { state_ = state; }
  // Writes the components owned by this one (the root) as children.
  virtual void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root);
  // The component that owns components read as children of this one.
  virtual TComponent* GetChildOwner() { return nullptr; }
  virtual TComponent* GetChildParent() { return nullptr; }
  // Makes `child` (just read) a child of this component (controls: parent).
  virtual void ReadChildParent(TComponent* child) { (void)child; }

 protected:
  virtual void ValidateRename(TComponent* component, const std::string& current, const std::string& next);
  void SetState(TComponentStateFlag flag, bool on);
  // Tells the components that asked for a free notification that this one
  // goes. The destructor does it; a subclass whose members those
  // components reach may do it earlier, while its members still live.
  void SendRemovalNotifications();

 private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);

  TComponent* owner_ = nullptr;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  // Asked for a free notification: its owner tells the siblings when it
  // frees this one, as siblings are not in each other's lists.
  bool freeNotified_ = false;
  std::string name_;
  std::int64_t tag_ = 0;
  TComponentState state_ = 0;
  int designLeft_ = 0;
  int designTop_ = 0;
};

// A list of pointers with the classic index error.
template <typename T>
class TList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  T* Get(int index) const {
    Check(index);
    return items_[static_cast<std::size_t>(index)];
  }
  T* operator[](int index) const { return Get(index); }
  int Add(T* item) {
    items_.push_back(item);
    return Count() - 1;
  }
  void Insert(int index, T* item) {
    if (index != Count()) Check(index);
    // Not vector::insert: g++ 12 warns wrongly (stringop-overflow) on it
    // once inlined.
    items_.push_back(item);
    std::rotate(items_.begin() + index, items_.end() - 1, items_.end());
  }
  void Delete(int index) {
    Check(index);
    items_.erase(items_.begin() + index);
  }
  int IndexOf(const T* item) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
      if (items_[i] == item) return static_cast<int>(i);
    return -1;
  }
  int Remove(const T* item) {
    const int index = IndexOf(item);
    if (index >= 0) Delete(index);
    return index;
  }
  void Move(int from, int to) {
    T* item = Get(from);
    Delete(from);
    Insert(to, item);
  }
  void Exchange(int a, int b) {
    Check(a);
    Check(b);
    std::swap(items_[static_cast<std::size_t>(a)], items_[static_cast<std::size_t>(b)]);
  }
  void Clear() { items_.clear(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  void Check(int index) const {
    if (index < 0 || index >= Count()) throw EListError(Format(SListIndexError, index));
  }
  std::vector<T*> items_;
};

// A list of strings with change notification.
class TStrings : public TPersistent {
  TOOLKIT_CLASS(TStrings, TPersistent)
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  const std::string& Get(int index) const;  // EListError outside the list
  const std::string& operator[](int index) const { return Get(index); }
  void Put(int index, const std::string& value);
  int Add(const std::string& value);
  void Insert(int index, const std::string& value);
  void Delete(int index);
  void Clear();
  int IndexOf(const std::string& value) const;  // case-insensitive, -1 when absent
  std::string Text() const;                     // each line ended by "\r\n"
  void SetText(const std::string& text);        // split at "\r\n", "\n" or "\r"
  void Assign(const TPersistent* source) override;
  void DefineProperties(TFiler& filer) override;  // "Strings"

  TNotifyEvent OnChange;

 private:
  void Changed();
  void CheckIndex(int index, int limit) const;
  std::vector<std::string> items_;
};

// ---- streams ------------------------------------------------------------------

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
 public:
  // Reads up to `count` bytes; returns how many were read.
  virtual std::int64_t Read(void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Write(const void* buffer, std::int64_t count) = 0;
  virtual std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) = 0;

  std::int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(std::int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  virtual std::int64_t Size();
  virtual void SetSize(std::int64_t size);

  // Exactly `count` bytes, else EReadError "Stream read error" / EWriteError.
  void ReadBuffer(void* buffer, std::int64_t count);
  void WriteBuffer(const void* buffer, std::int64_t count);
  // Copies `count` bytes from `source` (all of it from its start when 0).
  std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

class TMemoryStream : public TStream {
 public:
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  std::int64_t Size() override { return static_cast<std::int64_t>(data_.size()); }
  void SetSize(std::int64_t size) override;
  void Clear();
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream);
  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName);
  std::uint8_t* Memory() { return data_.data(); }
  const std::vector<std::uint8_t>& Bytes() const { return data_; }

 private:
  std::vector<std::uint8_t> data_;
  std::int64_t position_ = 0;
};

enum TFileMode : unsigned { fmOpenRead = 0, fmOpenWrite = 1, fmOpenReadWrite = 2, fmCreate = 0xFF00 };

// A file; EFOpenError or EFCreateError when it cannot be opened. The file is
// closed when the stream is freed.
class TFileStream : public TStream {
 public:
  TFileStream(const std::string& fileName, unsigned mode);
  ~TFileStream() override;
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  std::int64_t Read(void* buffer, std::int64_t count) override;
  std::int64_t Write(const void* buffer, std::int64_t count) override;
  std::int64_t Seek(std::int64_t offset, TSeekOrigin origin) override;
  void SetSize(std::int64_t size) override;
  // The file descriptor, or -1 once closed.
  int Handle() const;

 protected:
  // Takes over an open file.
  explicit TFileStream(platform::File file);
  platform::File& SystemFile() { return *file_; }
  // The message of EFOpenError or EFCreateError: `pattern` names the file, the system says why.
  static std::string FileErrorText(const char* pattern, const std::string& fileName,
                                   const platform::FileError& error);

 private:
  std::unique_ptr<platform::File> file_;
};

// A file saved whole or not at all; every save of a file the user owns goes
// through it. The bytes go to a new temporary file beside `fileName`, which
// takes its name on Commit, so that a save that fails part way leaves the
// earlier file as it was. Freed without a Commit, the temporary goes. The new file keeps
// the permissions and owner of the file it replaces; through a symbolic
// link the file the link names is replaced and the link stays. A device or
// pipe, or a name under /dev or /proc (/dev/stdout), cannot be replaced
// and is written straight through. EFCreateError naming `fileName` when the
// file cannot be made or put in place.
class TSafeFileStream : public TFileStream {
 public:
  explicit TSafeFileStream(const std::string& fileName);
  ~TSafeFileStream() override;
  // Puts the complete file in place and closes the stream.
  void Commit();

 private:
  struct TTarget;
  static TTarget Prepare(const std::string& fileName);
  explicit TSafeFileStream(TTarget target);

  std::string fileName_;
  std::string target_;  // the name replaced on commit
  std::string temp_;    // empty when written straight through, or committed
};

}  // namespace toolkit
