#include "controls/Mmobj.h"

#include <climits>
#include <cstdint>

#include "toolkit/ClassBuilder.h"
#include "toolkit/Forms.h"
#include "toolkit/ModuleResources.h"

namespace controls {

using namespace toolkit;

// ---- 1. TMMObject ---------------------------------------------------------------------

const TClassInfo& TMMObject::StaticClass() {
  static const TClassInfo info = ClassBuilder<TMMObject>("TMMObject", &TPersistent::StaticClass()).Build();
  return info;
}

void TMMObject::BeginUpdate() {
  updates_.Begin([this] { SetUpdateState(true); });
}

void TMMObject::EndUpdate() {
  updates_.End([this] { SetUpdateState(false); });
}

void TMMObject::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

void TMMObject::Changing() {
  if (updates_.Idle() && OnChanging) OnChanging(this);
}

void TMMObject::Changed() {
  if (updates_.Idle() && OnChange) OnChange(this);
}

// ---- 2. TMMBevel ----------------------------------------------------------------------

// No defaults: a stream always carries all thirteen.
const TClassInfo& TMMBevel::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TMMBevel>("TMMBevel", &TMMObject::StaticClass())
          .Enum("BevelInner", kBevelCutNames, &TMMBevel::BevelInner, &TMMBevel::SetBevelInner)
          .Enum("BevelOuter", kBevelCutNames, &TMMBevel::BevelOuter, &TMMBevel::SetBevelOuter)
          .Int("BevelInnerWidth", &TMMBevel::BevelInnerWidth, &TMMBevel::SetBevelInnerWidth)
          .Int("BevelOuterWidth", &TMMBevel::BevelOuterWidth, &TMMBevel::SetBevelOuterWidth)
          .Enum("BorderStyle", kBorderStyleNames, &TMMBevel::BorderStyle, &TMMBevel::SetBorderStyle)
          .Int("BorderWidth", &TMMBevel::BorderWidth, &TMMBevel::SetBorderWidth)
          .Int("BorderSpace", &TMMBevel::BorderSpace, &TMMBevel::SetBorderSpace)
          .Color("BorderColor", &TMMBevel::BorderColor, &TMMBevel::SetBorderColor)
          .Color("BorderSpaceColor", &TMMBevel::BorderSpaceColor, &TMMBevel::SetBorderSpaceColor)
          .Color("InnerLightColor", &TMMBevel::InnerLightColor, &TMMBevel::SetInnerLightColor)
          .Color("InnerShadowColor", &TMMBevel::InnerShadowColor, &TMMBevel::SetInnerShadowColor)
          .Color("OuterLightColor", &TMMBevel::OuterLightColor, &TMMBevel::SetOuterLightColor)
          .Color("OuterShadowColor", &TMMBevel::OuterShadowColor, &TMMBevel::SetOuterShadowColor)
          .Build();
  return info;
}

TMMBevel::TMMBevel()
    : bevelInner_(bvNone),
      bevelOuter_(bvLowered),
      bevelInnerWidth_(1),
      bevelOuterWidth_(1),
      borderStyle_(bsNone),
      borderWidth_(0),
      borderSpace_(0),
      colors_{clBtnFace, clBlack, clBtnHighlight, clBtnShadow, clBtnHighlight, clBtnShadow} {}

template <typename T>
void TMMBevel::Store(T& field, T value) {
  if (field == value) return;
  field = value;
  Changed();
}

void TMMBevel::SetBevelInner(TBevelCut value) { Store(bevelInner_, value); }
void TMMBevel::SetBevelOuter(TBevelCut value) { Store(bevelOuter_, value); }
void TMMBevel::SetBevelInnerWidth(TBevelWidth value) { Store(bevelInnerWidth_, value); }
void TMMBevel::SetBevelOuterWidth(TBevelWidth value) { Store(bevelOuterWidth_, value); }
void TMMBevel::SetBorderStyle(TBorderStyle value) { Store(borderStyle_, value); }
void TMMBevel::SetBorderWidth(TBorderWidth value) { Store(borderWidth_, value); }
void TMMBevel::SetBorderSpace(TBorderWidth value) { Store(borderSpace_, value); }

void TMMBevel::SetColors(int index, TColor color) {
  if (index >= 0 && index < 6) {
    if (colors_[index] == color) return;
    colors_[index] = color;
  }
  Changed();
}

void TMMBevel::Assign(const TPersistent* source) {
  if (source == this) return;
  const auto* bevel = dynamic_cast<const TMMBevel*>(source);
  if (!bevel) {
    TMMObject::Assign(source);
    return;
  }
  // One report for the whole copy; the bracket closes also when a report
  // handler throws.
  const auto bracket = base::UpdateBracket(*this);
  SetBevelInner(bevel->bevelInner_);
  SetBevelOuter(bevel->bevelOuter_);
  SetBevelInnerWidth(bevel->bevelInnerWidth_);
  SetBevelOuterWidth(bevel->bevelOuterWidth_);
  SetBorderStyle(bevel->borderStyle_);
  SetBorderWidth(bevel->borderWidth_);
  SetBorderSpace(bevel->borderSpace_);
  for (const int index : {0, 1, 4, 5, 2, 3}) SetColors(index, bevel->colors_[index]);
}

int TMMBevel::GetBevelExtend() const {
  int extent = borderWidth_ + borderSpace_;
  if (bevelOuter_ != bvNone) extent += bevelOuterWidth_;
  if (bevelInner_ != bvNone) extent += bevelInnerWidth_;
  if (borderStyle_ != bsNone) extent += 1;
  return extent;
}

namespace {

// A lowered or raised ring; none and space leave the rectangle as it is.
void PaintCut(TCanvas* canvas, gdi::TRect& rect, TBevelCut cut, int width, TColor shadow, TColor light) {
  if (cut == bvLowered)
    Frame3D(canvas, rect, shadow, light, width);
  else if (cut == bvRaised)
    Frame3D(canvas, rect, light, shadow, width);
}

}  // namespace

gdi::TRect TMMBevel::PaintBevel(TCanvas* canvas, const gdi::TRect& rect, bool paintBorder) {
  gdi::TRect r = rect;
  if (borderStyle_ == bsSingle) Frame3D(canvas, r, clWindowFrame, clWindowFrame, 1);
  PaintCut(canvas, r, bevelOuter_, bevelOuterWidth_, OuterShadowColor(), OuterLightColor());
  if (paintBorder)
    Frame3D(canvas, r, BorderColor(), BorderColor(), borderWidth_);
  else
    gdi::InflateRect(&r, -borderWidth_, -borderWidth_);
  PaintCut(canvas, r, bevelInner_, bevelInnerWidth_, InnerShadowColor(), InnerLightColor());
  if (borderSpace_ != 0) Frame3D(canvas, r, BorderSpaceColor(), BorderSpaceColor(), borderSpace_);
  return r;
}

// ---- 3. components --------------------------------------------------------------------

namespace {

void DesigningChangedOf(TComponent* component, bool designing,
                        const std::function<void(bool)>& changeDesigning) {
  if (component->HasState(csDesigning) == designing) return;
  changeDesigning(designing);
}

}  // namespace

const TClassInfo& TMMComponent::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TMMComponent>("TMMComponent", &TComponent::StaticClass()).Build();
  return info;
}

void TMMComponent::DesigningChanged(bool designing) {
  DesigningChangedOf(this, designing, [this](bool d) { ChangeDesigning(d); });
}

void TMMComponent::ChangeDesigning(bool designing) { SetDesigning(designing, true); }

const TClassInfo& TMMNonVisualComponent::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TMMNonVisualComponent>("TMMNonVisualComponent", &TMMComponent::StaticClass()).Build();
  return info;
}

const TClassInfo& TMMCommonDialog::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TMMCommonDialog>("TMMCommonDialog", &TCommonDialog::StaticClass()).Build();
  return info;
}

// ---- 4. controls ----------------------------------------------------------------------

gdi::TPoint ClientToClient(const TControl* control, const TControl* other, const gdi::TPoint& point) {
  return control->ScreenToClient(other->ClientToScreen(point));
}

template <typename Base>
TMMBevelledControl<Base>::TMMBevelledControl(TComponent* owner) : Base(owner) {
  this->SetControlStyle(this->ControlStyle() | csOpaque);
  bevel_ = std::make_unique<TMMBevel>();
  bevel_->OnChange = TNotifyEvent(this, &TMMBevelledControl::BevelChanged);
}

template <typename Base>
TMMBevelledControl<Base>::~TMMBevelledControl() {
  bevel_->OnChange.Clear();
  bevel_.reset();
}

template <typename Base>
gdi::TRect TMMBevelledControl<Base>::BeveledRect() const {
  gdi::TRect rect{0, 0, this->Width(), this->Height()};
  const int extent = BevelExtend();
  gdi::InflateRect(&rect, -extent, -extent);
  return rect;
}

template <typename Base>
gdi::TRect TMMBevelledControl<Base>::ScreenRect(const gdi::TRect& rect) const {
  const gdi::TPoint topLeft = this->ClientToScreen({rect.Left, rect.Top});
  const gdi::TPoint bottomRight = this->ClientToScreen({rect.Right, rect.Bottom});
  return {topLeft.X, topLeft.Y, bottomRight.X, bottomRight.Y};
}

template <typename Base>
void TMMBevelledControl<Base>::DesigningChanged(bool designing) {
  DesigningChangedOf(this, designing, [this](bool d) { ChangeDesigning(d); });
}

template <typename Base>
void TMMBevelledControl<Base>::ChangeDesigning(bool designing) {
  this->SetDesigning(designing, true);
  // Windowed controls show their state on their own surface.
  if constexpr (std::is_base_of_v<TWinControl, Base>) this->Invalidate();
}

template <typename Base>
void TMMBevelledControl<Base>::BevelChanged(TObject*) {
  Changed();
}

template class TMMBevelledControl<TGraphicControl>;
template class TMMBevelledControl<TCustomControl>;
template class TMMBevelledControl<TCustomPanel>;

const TClassInfo& TMMGraphicControl::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TMMGraphicControl>("TMMGraphicControl", &TGraphicControl::StaticClass()).Build();
  return info;
}

TMMGraphicControl::TMMGraphicControl(TComponent* owner) : TMMBevelledControl(owner) {}

void TMMGraphicControl::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  if (value)
    SetControlStyle(ControlStyle() & ~csOpaque);
  else
    SetControlStyle(ControlStyle() | csOpaque);
  Refresh();
}

namespace {

// The bevel, then the face in the control's colour unless it is to stay
// see-through.
void PaintBevelAndFace(TCanvas* canvas, TMMBevel* bevel, const gdi::TRect& client, TColor color, bool fill) {
  const gdi::TRect inner = bevel->PaintBevel(canvas, client, true);
  if (!fill) return;
  canvas->Brush()->SetColor(color);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(inner);
}

}  // namespace

void TMMGraphicControl::Paint() {
  PaintBevelAndFace(Canvas(), Bevel(), ClientRect(), Color(), !transparent_);
}

const TClassInfo& TMMWinControl::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TMMWinControl>("TMMWinControl", &TWinControl::StaticClass()).Build();
  return info;
}

void TMMWinControl::DesigningChanged(bool designing) {
  DesigningChangedOf(this, designing, [this](bool d) { ChangeDesigning(d); });
}

void TMMWinControl::ChangeDesigning(bool designing) {
  SetDesigning(designing, true);
  Invalidate();
}

const TClassInfo& TMMCustomControl::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TMMCustomControl>("TMMCustomControl", &TCustomControl::StaticClass()).Build();
  return info;
}

TMMCustomControl::TMMCustomControl(TComponent* owner) : TMMBevelledControl(owner) {}

void TMMCustomControl::Paint() { PaintBevelAndFace(Canvas(), Bevel(), ClientRect(), Color(), true); }

const TClassInfo& TMMCustomPanel::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TMMCustomPanel>("TMMCustomPanel", &TCustomPanel::StaticClass()).Build();
  return info;
}

TMMCustomPanel::TMMCustomPanel(TComponent* owner) : TMMBevelledControl(owner) {
  // The framework panel's own frame gives way to the bevel.
  SetBorderWidth(0);
  SetBevelInner(bvNone);
  SetBevelOuter(bvNone);
}

void TMMCustomPanel::SetFillBevel(bool value) {
  if (value == fillBevel_) return;
  fillBevel_ = value;
  Invalidate();
}

void TMMCustomPanel::AlignControls(TControl* control, gdi::TRect& rect) {
  const int extent = Bevel() ? Bevel()->GetBevelExtend() : 0;
  gdi::InflateRect(&rect, -extent, -extent);
  TCustomPanel::AlignControls(control, rect);
}

void TMMCustomPanel::BevelChanged(TObject* sender) {
  Realign();
  TMMBevelledControl::BevelChanged(sender);
}

void TMMCustomPanel::Paint() {
  if (OnCustomPaint) {
    OnCustomPaint(this);
    return;
  }
  TCanvas* canvas = Canvas();
  const gdi::TRect inner = Bevel()->PaintBevel(canvas, ClientRect(), fillBevel_);
  if (OnFill) {
    OnFill(this, canvas, inner);
  } else {
    canvas->Brush()->SetColor(Color());
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(inner);
  }
  if (Caption().empty()) return;

  canvas->Brush()->SetStyle(bsClear);
  canvas->SetFont(Font());
  const int h = canvas->TextHeight("W");
  // Halved as an unsigned number: a face lower than the text puts the text
  // far below it, where nothing is drawn. Kept in range of int.
  const auto sum = static_cast<std::uint32_t>(inner.Top) + static_cast<std::uint32_t>(inner.Bottom) -
                   static_cast<std::uint32_t>(h);
  const std::int64_t top = sum >> 1;
  gdi::TRect textRect{inner.Left, static_cast<int>(top), inner.Right,
                      static_cast<int>(std::min<std::int64_t>(top + h, INT_MAX))};
  static constexpr gdi::UINT kAlignFlags[] = {gdi::DT_LEFT, gdi::DT_RIGHT, gdi::DT_CENTER};
  const gdi::UINT flags = kAlignFlags[Alignment()] | gdi::DT_EXPANDTABS | gdi::DT_VCENTER;
  canvas->DrawText(Caption(), textRect, flags);
}

// ---- 5. threads -----------------------------------------------------------------------

const TClassInfo& TMMCriticalSection::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TMMCriticalSection>("TMMCriticalSection", &TCriticalSection::StaticClass()).Build();
  return info;
}

void TMMCriticalSection::Acquire() {
  ++lockCount_;
  TCriticalSection::Acquire();
}

void TMMCriticalSection::Release() {
  TCriticalSection::Release();
  --lockCount_;
}

bool TMMCriticalSection::TryEnter() {
  if (lockCount_ != 0) return false;
  Acquire();
  return true;
}

const TClassInfo& TMMThreadEx::StaticClass() {
  static const TClassInfo info = ClassBuilder<TMMThreadEx>("TMMThreadEx", &TThread::StaticClass()).Build();
  return info;
}

void TMMThreadEx::SetPriority(TThreadPriority priority) {
  const int index = static_cast<int>(priority);
  if (index < 0 || index > tpTimeCritical) return;
  SetSystemPriority(ThreadPriorityValue(priority));
}

// ---- 6. module ------------------------------------------------------------------------

bool InheritsFromEx(const TObject* object, const TClassInfo& info) {
  return object && object->InheritsFrom(info);
}

std::string LoadResStr(std::uint16_t id) { return LoadStringResource(id + 28000); }

platform::CursorImage LoadResCursor(std::uint16_t id) {
  platform::CursorImage image;
  if (!LoadCursorResource(id + 2000, image)) return {};
  return image;
}

std::unique_ptr<TIcon> LoadResIcon(std::uint16_t id) { return LoadIconResource(id + 3000); }

bool IdentToDeviceId(const std::string& ident, std::int64_t& id) {
  if (SameText(ident, "MapperId")) {
    id = MapperId;
    return true;
  }
  if (SameText(ident, "InvalidId")) {
    id = InvalidId;
    return true;
  }
  return false;
}

bool DeviceIdToIdent(std::int64_t id, std::string& ident) {
  if (id == MapperId) {
    ident = "MapperId";
    return true;
  }
  if (id == InvalidId) {
    ident = "InvalidId";
    return true;
  }
  return false;
}

namespace {
int mmobjNesting = 0;
}

void MmobjStartup() {
  if (mmobjNesting-- != 0) return;
  for (int i = 1; i <= kLibraryCursorCount; ++i) {
    platform::CursorImage image = LoadResCursor(static_cast<std::uint16_t>(i));
    // A cursor that is not there leaves its number to the standard arrow.
    if (image.width > 0) Screen->SetCursorImage(2000 + i, std::move(image));
  }
  RegisterIntegerConsts("TMMDeviceId", TIdentMap{IdentToDeviceId, DeviceIdToIdent});
}

void MmobjShutdown() { ++mmobjNesting; }

}  // namespace controls
