// Components with a property of every kind, for the streaming tests: a form
// (the root, with published handlers) and widgets that nest like controls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/Streaming.h"

namespace toolkit::streamtest {

// The colour type of these tests: a few named values, and any number.
inline constexpr const char* kColorType = "TStreamTestColor";
inline constexpr std::int32_t clBlack = 0;
inline constexpr std::int32_t clRed = 0x0000FF;
inline constexpr std::int32_t clBtnFace = static_cast<std::int32_t>(0x8000000F);
inline constexpr std::int32_t clWindowText = static_cast<std::int32_t>(0x80000008);

enum class TWidgetKind { wkPlain, wkRound, wkSquare };
enum TWidgetOption : unsigned { woBorder = 1u << 0, woShadow = 1u << 1, woGlow = 1u << 2 };
enum TFontStyle : unsigned { fsBold = 1u << 0, fsItalic = 1u << 1, fsUnderline = 1u << 2 };

// Registers the classes and the colour names; safe to call again.
void RegisterStreamTestClasses();

class TStreamFont : public TPersistent {
  TOOLKIT_CLASS(TStreamFont, TPersistent)
 public:
  std::int32_t Color() const { return color_; }
  void SetColor(std::int32_t value) { color_ = value; }
  int Height() const { return height_; }
  void SetHeight(int value) { height_ = value; }
  const std::string& Name() const { return name_; }
  void SetName(const std::string& value) { name_ = value; }
  unsigned Style() const { return style_; }
  void SetStyle(unsigned value) { style_ = value; }

 private:
  std::int32_t color_ = clWindowText;
  int height_ = -11;
  std::string name_;
  unsigned style_ = 0;
};

class TStreamForm;

class TStreamWidget : public TComponent {
  TOOLKIT_CLASS(TStreamWidget, TComponent)
 public:
  explicit TStreamWidget(TComponent* owner);
  ~TStreamWidget() override;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value);
  std::int64_t Big() const { return big_; }
  void SetBig(std::int64_t value) { big_ = value; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value) { enabled_ = value; }
  TWidgetKind Kind() const { return kind_; }
  void SetKind(TWidgetKind value) { kind_ = value; }
  unsigned Options() const { return options_; }
  void SetOptions(unsigned value) { options_ = value; }
  std::int32_t Color() const { return color_; }
  void SetColor(std::int32_t value) { color_ = value; }
  TStreamFont* Font() const { return font_.get(); }
  TStrings* Lines() const { return lines_.get(); }
  TStreamWidget* Buddy() const { return buddy_; }
  void SetBuddy(TStreamWidget* value);
  TComponent* Target() const { return target_; }
  void SetTarget(TComponent* value);
  // Not stored while `transient` is set.
  const std::string& Note() const { return note_; }
  void SetNote(const std::string& value) { note_ = value; }
  bool NoteStored() const { return !transient_; }
  void SetTransient(bool value) { transient_ = value; }

  TNotifyEvent OnClick;
  TEvent<TObject*, int> OnValue;

  // Defined properties: raw bytes ("Data") and a list of integers ("Points").
  std::vector<std::uint8_t> Data;
  std::vector<std::int64_t> Points;

  TStreamWidget* Parent() const { return parent_; }
  void SetParent(TStreamWidget* parent);
  const std::vector<TStreamWidget*>& Children() const { return children_; }

  // The component state seen when Caption was set.
  TComponentState StateAtCaption = 0;

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void DefineProperties(TFiler& filer) override;
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
  void ReadChildParent(TComponent* child) override;

 private:
  std::string caption_;
  std::int64_t big_ = 0;
  bool enabled_ = true;
  TWidgetKind kind_ = TWidgetKind::wkPlain;
  unsigned options_ = 0;
  std::int32_t color_ = clBtnFace;
  std::unique_ptr<TStreamFont> font_ = std::make_unique<TStreamFont>();
  std::unique_ptr<TStrings> lines_ = std::make_unique<TStrings>();
  TStreamWidget* buddy_ = nullptr;
  TComponent* target_ = nullptr;
  std::string note_;
  bool transient_ = false;
  TStreamWidget* parent_ = nullptr;
  std::vector<TStreamWidget*> children_;
};

class TStreamForm : public TComponent {
  TOOLKIT_CLASS(TStreamForm, TComponent)
 public:
  explicit TStreamForm(TComponent* owner) : TComponent(owner) {}

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& value) { caption_ = value; }
  TNotifyEvent OnShow;

  // Published handlers.
  void WidgetClick(TObject* sender);
  void FormShow(TObject* sender);
  void ValueChanged(TObject* sender, int value);

  int Clicks = 0;
  TObject* LastSender = nullptr;
  int Shows = 0;
  // Names of the components whose Loaded ran, in order ("" for the form).
  std::vector<std::string> LoadedLog;

  void Loaded() override;
  // Owned widgets without a parent; the widgets write their own children.
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

 private:
  std::string caption_;
};

// Stream helpers.
std::vector<std::uint8_t> WriteToBytes(TComponent& root);
void ReadFromBytes(const std::vector<std::uint8_t>& bytes, TComponent& root);
std::vector<std::uint8_t> TextToBinary(const std::string& text, const std::string& baseDir = ".");
std::string BinaryToText(const std::vector<std::uint8_t>& bytes);
// Where `needle` first occurs in `bytes`; -1 when it does not.
std::ptrdiff_t Find(const std::vector<std::uint8_t>& bytes, const std::string& needle);

}  // namespace toolkit::streamtest
