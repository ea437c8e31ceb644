// Feeds arbitrary bytes to the component stream reader and to the text
// conversion.
//
// Reader: a refused stream must leave the root with no components; an
// accepted one must write out, read back into a fresh root and write out
// again to the same bytes.
// Text: whatever converts to text must convert back to binary, and that
// binary to the same text again.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/ClassBuilder.h"
#include "toolkit/Streaming.h"

namespace {

using namespace toolkit;

[[noreturn]] void Crash(const char* what) {
  std::fprintf(stderr, "FuzzForm: %s\n", what);
  std::abort();
}

const TEnumInfo kAlignNames{{"alNone", "alTop", "alBottom", "alClient"}};
const TEnumInfo kStyleNames{{"fsBold", "fsItalic", "fsUnderline"}};

class TFuzzFont : public TPersistent {
  TOOLKIT_CLASS(TFuzzFont, TPersistent)
 public:
  int Height() const { return height_; }
  void SetHeight(int value) { height_ = value; }
  unsigned Style() const { return style_; }
  void SetStyle(unsigned value) { style_ = value; }
  std::int32_t Color() const { return color_; }
  void SetColor(std::int32_t value) { color_ = value; }

 private:
  int height_ = -11;
  unsigned style_ = 0;
  std::int32_t color_ = 0;
};

const TClassInfo& TFuzzFont::StaticClass() {
  static const TClassInfo info = ClassBuilder<TFuzzFont>("TFuzzFont", &TPersistent::StaticClass())
                                     .Int("Height", &TFuzzFont::Height, &TFuzzFont::SetHeight, -11)
                                     .Set("Style", kStyleNames, &TFuzzFont::Style, &TFuzzFont::SetStyle, 0)
                                     .Named("Color", "TFuzzColor", &TFuzzFont::Color, &TFuzzFont::SetColor, 0)
                                     .Build();
  return info;
}

// Nests like a control: children read inside it become its children.
class TFuzzWidget : public TComponent {
  TOOLKIT_CLASS(TFuzzWidget, TComponent)
 public:
  explicit TFuzzWidget(TComponent* owner) : TComponent(owner) {}
  ~TFuzzWidget() override {
    for (TFuzzWidget* child : children_) child->parent_ = nullptr;
    SetParent(nullptr);
  }

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value) { caption_ = value; }
  std::int64_t Left() const { return left_; }
  void SetLeft(std::int64_t value) { left_ = value; }
  bool Visible() const { return visible_; }
  void SetVisible(bool value) { visible_ = value; }
  int Align() const { return align_; }
  void SetAlign(int value) { align_ = value; }
  TFuzzFont* Font() const { return font_.get(); }
  TStrings* Items() const { return items_.get(); }
  TFuzzWidget* Link() const { return link_; }
  void SetLink(TFuzzWidget* value) {
    link_ = value;
    if (value) value->FreeNotification(this);
  }
  TComponent* Any() const { return any_; }
  void SetAny(TComponent* value) {
    any_ = value;
    if (value) value->FreeNotification(this);
  }
  TNotifyEvent OnClick;
  TEvent<TObject*, int> OnKey;
  std::vector<std::uint8_t> Blob;

  void SetParent(TFuzzWidget* parent) {
    if (parent_) std::erase(parent_->children_, this);
    parent_ = parent;
    if (parent_) parent_->children_.push_back(this);
  }
  TFuzzWidget* Parent() const { return parent_; }

  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == link_) link_ = nullptr;
    if (component == any_) any_ = nullptr;
  }
  void DefineProperties(TFiler& filer) override {
    filer.DefineBinaryProperty(
        "Blob",
        [this](TStream& s) {
          Blob.assign(static_cast<std::size_t>(s.Size()), 0);
          s.ReadBuffer(Blob.data(), s.Size());
        },
        [this](TStream& s) { s.WriteBuffer(Blob.data(), static_cast<std::int64_t>(Blob.size())); },
        !Blob.empty());
  }
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent*) override {
    for (TFuzzWidget* child : std::vector<TFuzzWidget*>(children_)) proc(child);
  }
  void ReadChildParent(TComponent* child) override {
    if (auto* widget = dynamic_cast<TFuzzWidget*>(child)) widget->SetParent(this);
  }

 private:
  std::string caption_;
  std::int64_t left_ = 0;
  bool visible_ = true;
  int align_ = 0;
  std::unique_ptr<TFuzzFont> font_ = std::make_unique<TFuzzFont>();
  std::unique_ptr<TStrings> items_ = std::make_unique<TStrings>();
  TFuzzWidget* link_ = nullptr;
  TComponent* any_ = nullptr;
  TFuzzWidget* parent_ = nullptr;
  std::vector<TFuzzWidget*> children_;
};

const TClassInfo& TFuzzWidget::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TFuzzWidget>("TFuzzWidget", &TComponent::StaticClass())
          .Creatable()
          .Str("Caption", &TFuzzWidget::Caption, &TFuzzWidget::SetCaption)
          .Int("Left", &TFuzzWidget::Left, &TFuzzWidget::SetLeft, 0)
          .Bool("Visible", &TFuzzWidget::Visible, &TFuzzWidget::SetVisible, true)
          .Enum("Align", kAlignNames, &TFuzzWidget::Align, &TFuzzWidget::SetAlign, 0)
          .Nested("Font", &TFuzzWidget::Font)
          .Nested("Items", &TFuzzWidget::Items)
          .Ref("Link", &TFuzzWidget::Link, &TFuzzWidget::SetLink)
          .Ref("Any", &TFuzzWidget::Any, &TFuzzWidget::SetAny)
          .Event("OnClick", &TFuzzWidget::OnClick)
          .Event("OnKey", &TFuzzWidget::OnKey)
          .Build();
  return info;
}

class TFuzzForm : public TComponent {
  TOOLKIT_CLASS(TFuzzForm, TComponent)
 public:
  explicit TFuzzForm(TComponent* owner) : TComponent(owner) {}
  void Click(TObject*) {}
  void Key(TObject*, int) {}
  // Owned widgets without a parent; the widgets write their own children.
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override {
    if (root != this) return;
    for (int i = 0; i < ComponentCount(); ++i) {
      auto* widget = dynamic_cast<TFuzzWidget*>(Components(i));
      if (!widget || !widget->Parent()) proc(Components(i));
    }
  }
};

const TClassInfo& TFuzzForm::StaticClass() {
  static const TClassInfo info = ClassBuilder<TFuzzForm>("TFuzzForm", &TComponent::StaticClass())
                                     .Handler("Click", &TFuzzForm::Click)
                                     .Handler("Key", &TFuzzForm::Key)
                                     .Build();
  return info;
}

const bool kRegistered = [] {
  TIdentMap colors;
  colors.IdentToInt = [](const std::string& ident, std::int64_t& value) {
    if (SameText(ident, "clRed")) return value = 0xFF, true;
    if (SameText(ident, "clBlack")) return value = 0, true;
    return false;
  };
  colors.IntToIdent = [](std::int64_t value, std::string& ident) {
    if (value == 0xFF) return ident = "clRed", true;
    return false;
  };
  RegisterIntegerConsts("TFuzzColor", colors);
  RegisterClass(TFuzzWidget::StaticClass());
  RegisterClass(TComponent::StaticClass());
  return true;
}();

std::vector<std::uint8_t> Write(TComponent& root) {
  TMemoryStream stream;
  WriteComponent(stream, &root);
  return stream.Bytes();
}

void CheckReader(const std::uint8_t* data, std::size_t size) {
  TFuzzForm first(nullptr);
  try {
    ReadComponentFromBytes(data, size, &first);
  } catch (const EReadError&) {
    if (first.ComponentCount() != 0) Crash("a refused stream left components behind");
    return;
  }
  // Anything thrown from here on escapes and is reported as a crash.
  const std::vector<std::uint8_t> written = Write(first);
  TFuzzForm second(nullptr);
  ReadComponentFromBytes(written.data(), written.size(), &second);
  if (Write(second) != written) Crash("a written stream did not read back the same");
}

std::string ToText(const std::uint8_t* data, std::size_t size) {
  TMemoryStream in;
  in.WriteBuffer(data, static_cast<std::int64_t>(size));
  in.SetPosition(0);
  TMemoryStream out;
  ObjectBinaryToText(in, out);
  return std::string(out.Bytes().begin(), out.Bytes().end());
}

void CheckText(const std::uint8_t* data, std::size_t size) {
  std::string text;
  try {
    text = ToText(data, size);
  } catch (const EReadError&) {
    return;
  }
  TMemoryStream in;
  in.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  in.SetPosition(0);
  TMemoryStream binary;
  ObjectTextToBinary(in, binary);
  if (ToText(binary.Bytes().data(), binary.Bytes().size()) != text)
    Crash("text did not convert back the same");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckReader(data, size);
  CheckText(data, size);
  return 0;
}
