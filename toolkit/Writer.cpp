// TWriter: writes a root component, its published properties and its
// children as a component stream.
#include <algorithm>

#include "toolkit/Streaming.h"
#include "toolkit/ValueStream.h"

namespace toolkit {

using detail::ValueWriter;

namespace {

std::string DisplayName(const TComponent& component) {
  return component.Name().empty() ? component.ClassName() : component.Name();
}

// Sets a state flag for as long as it lives.
class StateFlag {
 public:
  StateFlag(TComponent& component, TComponentStateFlag flag) : component_(component), flag_(flag) {
    component_.SetComponentState(component_.ComponentState() | flag_);
  }
  ~StateFlag() { component_.SetComponentState(component_.ComponentState() & ~static_cast<unsigned>(flag_)); }
  StateFlag(const StateFlag&) = delete;
  StateFlag& operator=(const StateFlag&) = delete;

 private:
  TComponent& component_;
  TComponentStateFlag flag_;
};

}  // namespace

struct TWriter::Impl {
  Impl(TWriter& writer, TStream& stream) : self(writer), out(stream) {}

  void WriteComponent(TComponent& component);
  void WriteProperties(TObject& instance, const std::string& path, int depth);
  void WriteProperty(TObject& instance, const TPropInfo& prop, const std::string& name, int depth);
  std::string ReferenceName(const TComponent& target) const;
  bool IsRootHandler(const TMethodRef& ref) const;

  TWriter& self;
  ValueWriter out;
  TComponent* root = nullptr;
  const TComponent* current = nullptr;  // whose properties are being written
  std::string prefix;                   // of the object whose DefineProperties runs: "Lines."
  std::vector<const TComponent*> written;
};

TWriter::TWriter(TStream& stream) : stream_(stream), impl_(std::make_unique<Impl>(*this, stream_)) {}

TWriter::~TWriter() = default;

// ---- values for DefineProperties ------------------------------------------------

void TWriter::WriteInteger(std::int64_t value) { impl_->out.WriteInteger(value); }

void TWriter::WriteBoolean(bool value) {
  impl_->out.WriteValue(value ? TValueType::vaTrue : TValueType::vaFalse);
}

void TWriter::WriteString(const std::string& value) { impl_->out.WriteString(value); }

void TWriter::WriteIdent(const std::string& ident) { impl_->out.WriteIdent(ident); }

void TWriter::WriteListBegin() { impl_->out.WriteValue(TValueType::vaList); }

void TWriter::WriteListEnd() { impl_->out.WriteValue(TValueType::vaNull); }

void TWriter::DefineProperty(const std::string& name, const std::function<void(TReader&)>&,
                             const std::function<void(TWriter&)>& write, bool hasData) {
  if (!hasData || !write) return;
  impl_->out.WriteShortString(impl_->prefix + name, "The property name");
  write(*this);
}

void TWriter::DefineBinaryProperty(const std::string& name, const std::function<void(TStream&)>&,
                                   const std::function<void(TStream&)>& write, bool hasData) {
  if (!hasData || !write) return;
  TMemoryStream bytes;
  write(bytes);
  impl_->out.WriteShortString(impl_->prefix + name, "The property name");
  impl_->out.WriteBinary(bytes.Bytes().data(), bytes.Bytes().size());
}

// ---- the component tree ---------------------------------------------------------

void TWriter::WriteRootComponent(TComponent* root) {
  if (!root) throw EWriteError("No component to write");
  impl_->root = root;
  impl_->written.clear();
  impl_->out.WriteSignature();
  impl_->WriteComponent(*root);
}

void TWriter::Impl::WriteComponent(TComponent& component) {
  // Also what stops GetChildren overrides that go round in circles.
  if (std::find(written.begin(), written.end(), &component) != written.end())
    throw EWriteError(Format("%s is written twice", DisplayName(component).c_str()));
  written.push_back(&component);
  StateFlag writing(component, csWriting);
  // A first byte from 0xF0 up reads back as prefix flags.
  if (component.ClassName().size() >= 0xF0)
    throw EWriteError(Format("The class name %s is too long", component.ClassName().c_str()));
  out.WriteShortString(component.ClassName(), "The class name");
  out.WriteShortString(component.Name(), "The component name");
  current = &component;
  WriteProperties(component, "", 0);
  out.WriteByte(0);
  component.GetChildren([this](TComponent* child) { WriteComponent(*child); }, root);
  out.WriteByte(0);
}

void TWriter::Impl::WriteProperties(TObject& instance, const std::string& path, int depth) {
  if (depth > detail::kMaxNesting) throw EWriteError("Properties are nested too deeply: " + path);
  for (const TPropInfo* prop : instance.ClassType().AllProps()) {
    if (prop->Stored && !prop->Stored(instance)) continue;
    try {
      WriteProperty(instance, *prop, path + prop->Name, depth);
    } catch (const EWriteError&) {
      throw;
    } catch (const Exception& e) {
      throw EWriteError(Format("Error writing %s.%s%s: %s", DisplayName(*current).c_str(), path.c_str(),
                               prop->Name.c_str(), e.Message.c_str()));
    }
  }
  if (auto* persistent = dynamic_cast<TPersistent*>(&instance)) {
    const std::string saved = prefix;
    prefix = path;
    persistent->DefineProperties(self);
    prefix = saved;
  }
}

void TWriter::Impl::WriteProperty(TObject& instance, const TPropInfo& prop, const std::string& name,
                                  int depth) {
  const auto fail = [&](const std::string& problem) {
    throw EWriteError(
        Format("Error writing %s.%s: %s", DisplayName(*current).c_str(), name.c_str(), problem.c_str()));
  };
  const auto writeName = [&] { out.WriteShortString(name, "The property name"); };

  switch (prop.Kind) {
    case TTypeKind::Integer:
    case TTypeKind::Boolean:
    case TTypeKind::Enumeration:
    case TTypeKind::Set:
    case TTypeKind::Color: {
      if (!prop.GetOrd) return;
      const std::int64_t value = prop.GetOrd(instance);
      if (prop.Default && *prop.Default == value) return;
      if (prop.Kind == TTypeKind::Integer) {
        writeName();
        out.WriteInteger(value);
      } else if (prop.Kind == TTypeKind::Boolean) {
        writeName();
        out.WriteValue(value ? TValueType::vaTrue : TValueType::vaFalse);
      } else if (prop.Kind == TTypeKind::Enumeration) {
        if (!prop.Enum || value < 0 || value >= static_cast<std::int64_t>(prop.Enum->Names.size()))
          fail("value " + std::to_string(value) + " has no name");
        writeName();
        out.WriteIdent(prop.Enum->Names[static_cast<std::size_t>(value)]);
      } else if (prop.Kind == TTypeKind::Set) {
        const std::size_t count = prop.Enum ? std::min<std::size_t>(prop.Enum->Names.size(), 64) : 0;
        const auto bits = static_cast<std::uint64_t>(value);
        if (count < 64 && (bits >> count) != 0) fail("the set holds members that have no name");
        std::vector<std::string> members;
        for (std::size_t i = 0; i < count; ++i)
          if (bits & (std::uint64_t{1} << i)) members.push_back(prop.Enum->Names[i]);
        writeName();
        out.WriteSet(members);
      } else {
        std::string ident;
        const bool named = prop.Idents && prop.Idents->IntToIdent && prop.Idents->IntToIdent(value, ident);
        writeName();
        if (named)
          out.WriteIdent(ident);
        else
          out.WriteInteger(value);
      }
      return;
    }
    case TTypeKind::String: {
      if (!prop.GetStr) return;
      const std::string value = prop.GetStr(instance);
      if (value.empty()) return;
      writeName();
      out.WriteString(value);
      return;
    }
    case TTypeKind::Class: {
      TObject* value = prop.GetObj ? prop.GetObj(instance) : nullptr;
      if (!value) return;
      if (prop.IsComponentRef()) {
        const auto* target = dynamic_cast<const TComponent*>(value);
        if (!target) fail("the value is not a component");
        const std::string reference = ReferenceName(*target);
        if (reference.empty())
          fail("the component it refers to has no name or is not part of " + DisplayName(*root));
        writeName();
        out.WriteIdent(reference);
      } else {
        WriteProperties(*value, name + ".", depth + 1);
      }
      return;
    }
    case TTypeKind::Method: {
      if (!prop.GetMethod) return;
      const TMethodRef ref = prop.GetMethod(instance);
      // Handlers that are not the root's published methods are set in code,
      // not stored.
      if (!IsRootHandler(ref)) return;
      writeName();
      out.WriteIdent(ref.Name);
      return;
    }
  }
}

// "Name" for the root's components and the root, "A.B" for B owned by the
// root's A; empty when the stream could not name it.
std::string TWriter::Impl::ReferenceName(const TComponent& target) const {
  if (target.Name().empty()) return {};
  if (&target == root) return target.Name();
  std::string path = target.Name();
  for (const TComponent* owner = target.Owner(); owner != root; owner = owner->Owner()) {
    if (!owner || owner->Name().empty()) return {};
    path = owner->Name() + "." + path;
  }
  return path;
}

bool TWriter::Impl::IsRootHandler(const TMethodRef& ref) const {
  return ref.Data == root && !ref.Name.empty() && root->ClassType().FindMethod(ref.Name) != nullptr;
}

}  // namespace toolkit
