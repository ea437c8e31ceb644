#include "tests/toolkit/StreamTestForms.h"

#include <algorithm>

#include "toolkit/ClassBuilder.h"

namespace toolkit::streamtest {

namespace {

const TEnumInfo& KindNames() {
  static const TEnumInfo names{{"wkPlain", "wkRound", "wkSquare"}};
  return names;
}

const TEnumInfo& OptionNames() {
  static const TEnumInfo names{{"woBorder", "woShadow", "woGlow"}};
  return names;
}

const TEnumInfo& StyleNames() {
  static const TEnumInfo names{{"fsBold", "fsItalic", "fsUnderline"}};
  return names;
}

const std::vector<std::pair<std::string, std::int32_t>>& ColorNames() {
  static const std::vector<std::pair<std::string, std::int32_t>> names{
      {"clBlack", clBlack}, {"clRed", clRed}, {"clBtnFace", clBtnFace}, {"clWindowText", clWindowText}};
  return names;
}

}  // namespace

void RegisterStreamTestClasses() {
  TIdentMap colors;
  colors.IdentToInt = [](const std::string& ident, std::int64_t& value) {
    for (const auto& [name, color] : ColorNames())
      if (SameText(name, ident)) return value = color, true;
    return false;
  };
  colors.IntToIdent = [](std::int64_t value, std::string& ident) {
    for (const auto& [name, color] : ColorNames())
      if (color == value) return ident = name, true;
    return false;
  };
  RegisterIntegerConsts(kColorType, colors);
  RegisterClass(TStreamWidget::StaticClass());
  RegisterClass(TStreamForm::StaticClass());
  RegisterClass(TComponent::StaticClass());
}

// ---- TStreamFont ----------------------------------------------------------------

const TClassInfo& TStreamFont::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TStreamFont>("TStreamFont", &TPersistent::StaticClass())
          .Named("Color", kColorType, &TStreamFont::Color, &TStreamFont::SetColor, clWindowText)
          .Int("Height", &TStreamFont::Height, &TStreamFont::SetHeight, -11)
          .Str("Name", &TStreamFont::Name, &TStreamFont::SetName)
          .Set("Style", StyleNames(), &TStreamFont::Style, &TStreamFont::SetStyle, 0)
          .Build();
  return info;
}

// ---- TStreamWidget --------------------------------------------------------------

const TClassInfo& TStreamWidget::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TStreamWidget>("TStreamWidget", &TComponent::StaticClass())
          .Creatable()
          .Str("Caption", &TStreamWidget::Caption, &TStreamWidget::SetCaption)
          .Int("Big", &TStreamWidget::Big, &TStreamWidget::SetBig, 0)
          .Bool("Enabled", &TStreamWidget::Enabled, &TStreamWidget::SetEnabled, true)
          .Enum("Kind", KindNames(), &TStreamWidget::Kind, &TStreamWidget::SetKind, 0)
          .Set("Options", OptionNames(), &TStreamWidget::Options, &TStreamWidget::SetOptions, 0)
          .Named("Color", kColorType, &TStreamWidget::Color, &TStreamWidget::SetColor, clBtnFace)
          .Nested("Font", &TStreamWidget::Font)
          .Nested("Lines", &TStreamWidget::Lines)
          .Ref("Buddy", &TStreamWidget::Buddy, &TStreamWidget::SetBuddy)
          .Ref("Target", &TStreamWidget::Target, &TStreamWidget::SetTarget)
          .Str("Note", &TStreamWidget::Note, &TStreamWidget::SetNote)
          .StoredWhen(&TStreamWidget::NoteStored)
          .Event("OnClick", &TStreamWidget::OnClick)
          .Event("OnValue", &TStreamWidget::OnValue)
          .Build();
  return info;
}

TStreamWidget::TStreamWidget(TComponent* owner) : TComponent(owner) {}

TStreamWidget::~TStreamWidget() {
  for (TStreamWidget* child : children_) child->parent_ = nullptr;
  SetParent(nullptr);
}

void TStreamWidget::SetCaption(const std::string& value) {
  caption_ = value;
  StateAtCaption = ComponentState();
}

void TStreamWidget::SetBuddy(TStreamWidget* value) {
  buddy_ = value;
  if (value) value->FreeNotification(this);
}

void TStreamWidget::SetTarget(TComponent* value) {
  target_ = value;
  if (value) value->FreeNotification(this);
}

void TStreamWidget::SetParent(TStreamWidget* parent) {
  if (parent_)
    parent_->children_.erase(std::find(parent_->children_.begin(), parent_->children_.end(), this));
  parent_ = parent;
  if (parent_) parent_->children_.push_back(this);
}

void TStreamWidget::Loaded() {
  TComponent::Loaded();
  if (auto* form = dynamic_cast<TStreamForm*>(Owner())) form->LoadedLog.push_back(Name());
}

void TStreamWidget::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != TOperation::opRemove) return;
  if (component == buddy_) buddy_ = nullptr;
  if (component == target_) target_ = nullptr;
}

void TStreamWidget::DefineProperties(TFiler& filer) {
  TComponent::DefineProperties(filer);
  filer.DefineBinaryProperty(
      "Data",
      [this](TStream& stream) {
        Data.assign(static_cast<std::size_t>(stream.Size()), 0);
        stream.ReadBuffer(Data.data(), stream.Size());
      },
      [this](TStream& stream) { stream.WriteBuffer(Data.data(), static_cast<std::int64_t>(Data.size())); },
      !Data.empty());
  filer.DefineProperty(
      "Points",
      [this](TReader& reader) {
        Points.clear();
        reader.ReadListBegin();
        while (!reader.EndOfList()) Points.push_back(reader.ReadInteger());
        reader.ReadListEnd();
      },
      [this](TWriter& writer) {
        writer.WriteListBegin();
        for (std::int64_t p : Points) writer.WriteInteger(p);
        writer.WriteListEnd();
      },
      !Points.empty());
}

void TStreamWidget::GetChildren(const std::function<void(TComponent*)>& proc, TComponent*) {
  for (TStreamWidget* child : std::vector<TStreamWidget*>(children_)) proc(child);
}

void TStreamWidget::ReadChildParent(TComponent* child) {
  if (auto* widget = dynamic_cast<TStreamWidget*>(child)) widget->SetParent(this);
}

// ---- TStreamForm ----------------------------------------------------------------

const TClassInfo& TStreamForm::StaticClass() {
  static const TClassInfo info = ClassBuilder<TStreamForm>("TStreamForm", &TComponent::StaticClass())
                                     .Creatable()
                                     .Str("Caption", &TStreamForm::Caption, &TStreamForm::SetCaption)
                                     .Event("OnShow", &TStreamForm::OnShow)
                                     .Handler("WidgetClick", &TStreamForm::WidgetClick)
                                     .Handler("FormShow", &TStreamForm::FormShow)
                                     .Handler("ValueChanged", &TStreamForm::ValueChanged)
                                     .Build();
  return info;
}

void TStreamForm::WidgetClick(TObject* sender) {
  ++Clicks;
  LastSender = sender;
}

void TStreamForm::FormShow(TObject*) { ++Shows; }

void TStreamForm::ValueChanged(TObject*, int) {}

void TStreamForm::Loaded() {
  TComponent::Loaded();
  LoadedLog.push_back("");
}

void TStreamForm::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  if (root != this) return;
  for (int i = 0; i < ComponentCount(); ++i) {
    auto* widget = dynamic_cast<TStreamWidget*>(Components(i));
    if (!widget || !widget->Parent()) proc(Components(i));
  }
}

// ---- helpers --------------------------------------------------------------------

std::vector<std::uint8_t> WriteToBytes(TComponent& root) {
  TMemoryStream stream;
  WriteComponent(stream, &root);
  return stream.Bytes();
}

void ReadFromBytes(const std::vector<std::uint8_t>& bytes, TComponent& root) {
  ReadComponentFromBytes(bytes.data(), bytes.size(), &root);
}

std::vector<std::uint8_t> TextToBinary(const std::string& text, const std::string& baseDir) {
  TMemoryStream input;
  input.WriteBuffer(text.data(), static_cast<std::int64_t>(text.size()));
  input.SetPosition(0);
  TMemoryStream output;
  ObjectTextToBinary(input, output, baseDir);
  return output.Bytes();
}

std::string BinaryToText(const std::vector<std::uint8_t>& bytes) {
  TMemoryStream input;
  input.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  input.SetPosition(0);
  TMemoryStream output;
  ObjectBinaryToText(input, output);
  return std::string(output.Bytes().begin(), output.Bytes().end());
}

std::ptrdiff_t Find(const std::vector<std::uint8_t>& bytes, const std::string& needle) {
  auto it = std::search(bytes.begin(), bytes.end(), needle.begin(), needle.end(),
                        [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
  return it == bytes.end() ? -1 : it - bytes.begin();
}

}  // namespace toolkit::streamtest
