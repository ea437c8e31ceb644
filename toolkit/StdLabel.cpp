// TLabel: a caption drawn in the label's font, sized to its text.
#include "toolkit/ClassBuilder.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/StdDraw.h"

namespace toolkit {

namespace {
constexpr unsigned kAlignFlags[] = {gdi::DT_LEFT, gdi::DT_RIGHT, gdi::DT_CENTER};
}

const TClassInfo& TLabel::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TLabel>("TLabel", &TGraphicControl::StaticClass())
          .Creatable()
          .Enum("Alignment", kAlignmentNames, &TLabel::Alignment, &TLabel::SetAlignment, taLeftJustify)
          .Bool("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize, true)
          .Ref("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl)
          .Enum("Layout", kTextLayoutNames, &TLabel::Layout, &TLabel::SetLayout, tlTop)
          .Bool("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar, true)
          .Bool("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false)
          .Bool("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap, false)
          .Build();
  return info;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  RegisterStdControls();
  SetControlStyle(ControlStyle() | csReplicatable);
  SetBounds(Left(), Top(), 65, 17);
  // A label takes its parent's colour unless given its own.
  SetParentColor(true);
  UpdateOpaque();
}

TLabel::~TLabel() { SetFocusControl(nullptr); }

bool TLabel::IsColorStored() const { return !ParentColor(); }
bool TLabel::IsParentColorStored() const { return !ParentColor(); }

void TLabel::SetAlignment(TAlignment alignment) {
  if (alignment == alignment_) return;
  alignment_ = alignment;
  Invalidate();
}

void TLabel::SetAutoSize(bool autoSize) {
  if (autoSize == autoSize_) return;
  autoSize_ = autoSize;
  AdjustBounds();
}

void TLabel::SetShowAccelChar(bool show) {
  if (show == showAccelChar_) return;
  showAccelChar_ = show;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  UpdateOpaque();
  Invalidate();
}

void TLabel::UpdateOpaque() {
  if (transparent_)
    SetControlStyle(ControlStyle() & ~csOpaque);
  else
    SetControlStyle(ControlStyle() | csOpaque);
}

void TLabel::SetLayout(TTextLayout layout) {
  if (layout == layout_) return;
  layout_ = layout;
  Invalidate();
}

void TLabel::SetWordWrap(bool wordWrap) {
  if (wordWrap == wordWrap_) return;
  wordWrap_ = wordWrap;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetFocusControl(TWinControl* control) {
  if (control == focusControl_) return;
  if (focusControl_) focusControl_->RemoveFreeNotification(this);
  focusControl_ = control;
  if (control) control->FreeNotification(this);
}

void TLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == focusControl_) focusControl_ = nullptr;
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TLabel::DoDrawText(gdi::TRect& rect, unsigned flags) {
  std::string text = Caption();
  // An empty caption (or a lone prefix) still measures one blank's worth,
  // so that an auto-sized label never vanishes.
  if ((flags & gdi::DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += ' ';
  if (!showAccelChar_) flags |= gdi::DT_NOPREFIX;
  if (flags & gdi::DT_CALCRECT) {
    rect = stddraw::MeasureText(Font(), text, rect, flags);
    return;
  }
  stddraw::DrawCaption(Canvas(), Font(), text, rect, flags, Enabled());
}

void TLabel::Paint() {
  const gdi::TRect client = ClientRect();
  if (!transparent_) stddraw::Fill(Canvas(), client, Color());
  gdi::TRect rect = client;
  const unsigned flags = gdi::DT_EXPANDTABS | (wordWrap_ ? gdi::DT_WORDBREAK : 0u) | kAlignFlags[alignment_];
  if (layout_ != tlTop) {
    gdi::TRect calc = rect;
    DoDrawText(calc, flags | gdi::DT_CALCRECT);
    const int spare = client.Height() - calc.Height();
    gdi::OffsetRect(&rect, 0, layout_ == tlBottom ? spare : spare / 2);
  }
  DoDrawText(rect, flags);
}

void TLabel::AdjustBounds() {
  if (!autoSize_ || HasState(csLoading) || HasState(csReading)) return;
  gdi::TRect rect = ClientRect();
  DoDrawText(rect, gdi::DT_EXPANDTABS | gdi::DT_CALCRECT | (wordWrap_ ? gdi::DT_WORDBREAK : 0u));
  // A right-justified label keeps its right edge where it was.
  int left = Left();
  if (alignment_ == taRightJustify) left += Width() - rect.Width();
  SetBounds(left, Top(), rect.Width(), rect.Height());
}

void TLabel::CMTextChanged(TMessage& message) {
  TGraphicControl::CMTextChanged(message);
  AdjustBounds();
  Invalidate();
}

void TLabel::CMFontChanged(TMessage& message) {
  TGraphicControl::CMFontChanged(message);
  AdjustBounds();
}

void TLabel::CMDialogChar(TMessage& message) {
  if (!focusControl_ || !Enabled() || !showAccelChar_) return;
  if (!IsAccel(static_cast<char>(message.WParam), Caption())) return;
  if (focusControl_->CanFocus()) {
    focusControl_->SetFocus();
    message.Result = 1;
  }
}

}  // namespace toolkit
