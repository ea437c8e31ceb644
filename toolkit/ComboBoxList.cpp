// TComboBoxList: the combo box's drop-down list, a pop-up over the form.
//
// It holds the mouse from the moment it opens until it closes:
//
//   mouse                               list
//   press outside                       closes unchanged (the press goes no further)
//   press on an entry                   highlights it; the release on an entry takes it
//   press that opened it, dragged onto  highlights what is under the pointer; the
//   the entries and released there      release takes it
//   press that opened it, released      the list stays open
//   outside the entries
//   move over the entries               highlights what is under the pointer
//   press on the arrows, the track      scrolls by one entry, by a page
//   drag of the thumb                   scrolls with it
#include <algorithm>

#include "toolkit/ClassBuilder.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/StdDraw.h"

namespace toolkit {

namespace {
bool Within(const gdi::TRect& r, int x, int y) { return gdi::PtInRect(&r, {x, y}) != 0; }
constexpr int kMinThumb = 8;
}  // namespace

const TClassInfo& TComboBoxList::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TComboBoxList>("TComboBoxList", &TCustomControl::StaticClass()).Build();
  return info;
}

TComboBoxList::TComboBoxList(TComboBox* combo) : TCustomControl(combo), combo_(combo) {
  SetControlStyle((ControlStyle() | csOpaque) &
                  ~(csAcceptsControls | csClickEvents | csDoubleClicks | csSetCaption));
}

int TComboBoxList::Rows() const { return std::clamp(combo_->Items()->Count(), 1, combo_->DropDownCount()); }

bool TComboBoxList::HasScrollBar() const { return combo_->Items()->Count() > combo_->DropDownCount(); }

int TComboBoxList::MaxTop() const { return std::max(0, combo_->Items()->Count() - Rows()); }

int TComboBoxList::ItemsRight() const { return Width() - 1 - (HasScrollBar() ? kScrollBarWidth : 0); }

void TComboBoxList::Place() {
  const int rows = Rows();
  const int height = rows * combo_->ItemHeight() + 2;
  const gdi::TRect field = combo_->RectInForm();
  int top = field.Bottom;
  const TForm* form = combo_->ParentForm();
  if (form && top + height > form->ClientHeight() && field.Top - height >= 0) top = field.Top - height;
  SetBounds(field.Left, top, combo_->Width(), height);
  SetTopIndex(top_);
}

void TComboBoxList::SetHotIndex(int index) {
  index = std::clamp(index, -1, combo_->Items()->Count() - 1);
  if (index == hot_) return;
  hot_ = index;
  Invalidate();
}

void TComboBoxList::SetTopIndex(int index) {
  index = std::clamp(index, 0, MaxTop());
  if (index == top_) return;
  top_ = index;
  Invalidate();
}

void TComboBoxList::MakeVisible(int index) {
  if (index < 0) return;
  if (index < top_)
    SetTopIndex(index);
  else if (index >= top_ + Rows())
    SetTopIndex(index - Rows() + 1);
}

gdi::TRect TComboBoxList::ItemRect(int index) const {
  const int height = combo_->ItemHeight();
  const int y = 1 + (index - top_) * height;
  return {1, y, ItemsRight(), y + height};
}

int TComboBoxList::ItemAt(int x, int y) const {
  if (x < 1 || x >= ItemsRight() || y < 1 || y >= Height() - 1) return -1;
  const int index = top_ + (y - 1) / combo_->ItemHeight();
  return index < combo_->Items()->Count() && index < top_ + Rows() ? index : -1;
}

gdi::TRect TComboBoxList::ScrollBarRect() const {
  if (!HasScrollBar()) return {};
  return {Width() - 1 - kScrollBarWidth, 1, Width() - 1, Height() - 1};
}

namespace {
int ButtonHeight(const gdi::TRect& bar) { return std::min(TComboBoxList::kScrollBarWidth, bar.Height() / 2); }
}  // namespace

gdi::TRect TComboBoxList::UpButtonRect() const {
  const gdi::TRect bar = ScrollBarRect();
  return {bar.Left, bar.Top, bar.Right, bar.Top + ButtonHeight(bar)};
}

gdi::TRect TComboBoxList::DownButtonRect() const {
  const gdi::TRect bar = ScrollBarRect();
  return {bar.Left, bar.Bottom - ButtonHeight(bar), bar.Right, bar.Bottom};
}

// The thumb's length shows the part of the list in view, its place the
// part scrolled past.
gdi::TRect TComboBoxList::ThumbRect() const {
  const gdi::TRect bar = ScrollBarRect();
  const int buttons = ButtonHeight(bar);
  const int track = bar.Height() - 2 * buttons;
  const int count = combo_->Items()->Count();
  if (!HasScrollBar() || track < kMinThumb || count == 0) return {};
  const int length = std::max(kMinThumb, track * Rows() / count);
  const int range = track - length;
  const int maxTop = MaxTop();
  const int pos = maxTop > 0 ? (range * top_ + maxTop / 2) / maxTop : 0;
  const int y = bar.Top + buttons + pos;
  return {bar.Left, y, bar.Right, y + length};
}

void TComboBoxList::Paint() {
  TCanvas* canvas = Canvas();
  const gdi::TRect client = ClientRect();
  stddraw::FrameSolid(canvas, client, clWindowFrame);
  stddraw::Fill(canvas, {1, 1, ItemsRight(), Height() - 1}, combo_->Color());

  const TFont* font = combo_->Font();
  const int lineHeight = stddraw::LineHeight(font);
  canvas->SetFont(font);
  const int count = combo_->Items()->Count();
  for (int i = top_; i < count && i < top_ + Rows(); ++i) {
    const gdi::TRect r = ItemRect(i);
    const bool hot = i == hot_;
    if (hot) stddraw::Fill(canvas, r, clHighlight);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->SetColor(hot ? clHighlightText : font->Color());
    canvas->TextRect(r, r.Left + 2, r.Top + (r.Height() - lineHeight) / 2, combo_->Items()->Get(i));
  }

  if (!HasScrollBar()) return;
  const gdi::TRect up = UpButtonRect(), down = DownButtonRect();
  stddraw::DrawScrollButton(canvas, up, false, false, true);
  stddraw::DrawScrollButton(canvas, down, true, false, true);
  // The track: the classic half-tone of highlight and face.
  const gdi::TRect track{up.Left, up.Bottom, up.Right, down.Top};
  stddraw::Fill(canvas, track, clBtnFace);
  for (int y = track.Top; y < track.Bottom; ++y)
    for (int x = track.Left + ((track.Left + y) & 1); x < track.Right; x += 2)
      canvas->SetPixel(x, y, clBtnHighlight);
  const gdi::TRect thumb = ThumbRect();
  if (!gdi::IsRectEmpty(&thumb)) stddraw::DrawRaisedFace(canvas, thumb);
}

void TComboBoxList::WndProc(TMessage& message) {
  const gdi::TPoint p = PointFromParam(message.LParam);
  switch (message.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: PressAt(p.X, p.Y); return;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      if (!Within(ClientRect(), p.X, p.Y)) combo_->CloseList(false);
      return;
    case WM_MOUSEMOVE: MoveTo(p.X, p.Y, (static_cast<TShiftState>(message.WParam) & ssLeft) != 0); return;
    case WM_LBUTTONUP: ReleaseAt(p.X, p.Y); return;
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: return;
    case WM_CANCELMODE: combo_->CloseList(false); return;
    default: TCustomControl::WndProc(message);
  }
}

void TComboBoxList::PressAt(int x, int y) {
  if (openingPress_) {
    openingPress_ = false;
    combo_->Invalidate();
  }
  if (!Within(ClientRect(), x, y)) {
    combo_->CloseList(false);
    return;
  }
  if (HasScrollBar() && Within(ScrollBarRect(), x, y)) {
    const gdi::TRect thumb = ThumbRect();
    if (Within(UpButtonRect(), x, y))
      SetTopIndex(top_ - 1);
    else if (Within(DownButtonRect(), x, y))
      SetTopIndex(top_ + 1);
    else if (Within(thumb, x, y))
      thumbGrab_ = y - thumb.Top;
    else
      SetTopIndex(y < thumb.Top ? top_ - Rows() : top_ + Rows());
    return;
  }
  const int item = ItemAt(x, y);
  if (item >= 0) {
    SetHotIndex(item);
    tracking_ = true;
  }
}

void TComboBoxList::MoveTo(int x, int y, bool held) {
  if (thumbGrab_ >= 0) {
    if (!held) {
      thumbGrab_ = -1;
      return;
    }
    const gdi::TRect bar = ScrollBarRect(), thumb = ThumbRect();
    const int trackTop = bar.Top + ButtonHeight(bar);
    const int range = bar.Height() - 2 * ButtonHeight(bar) - thumb.Height();
    if (range > 0) {
      const int pos = std::clamp(y - thumbGrab_ - trackTop, 0, range);
      SetTopIndex((pos * MaxTop() + range / 2) / range);
    }
    return;
  }
  const int item = ItemAt(x, y);
  if (item >= 0) {
    SetHotIndex(item);
    if (held) tracking_ = true;
    return;
  }
  // Dragging past the top or bottom edge scrolls the entries along.
  if (held && tracking_ && x >= 0 && x < Width()) {
    if (y < 1) {
      SetTopIndex(top_ - 1);
      SetHotIndex(top_);
    } else if (y >= Height() - 1) {
      SetTopIndex(top_ + 1);
      SetHotIndex(top_ + Rows() - 1);
    }
  }
}

void TComboBoxList::ReleaseAt(int x, int y) {
  if (openingPress_) {
    openingPress_ = false;
    combo_->Invalidate();
  }
  if (thumbGrab_ >= 0) {
    thumbGrab_ = -1;
    return;
  }
  const bool choosing = tracking_;
  tracking_ = false;
  const int item = ItemAt(x, y);
  if (choosing && item >= 0) {
    SetHotIndex(item);
    combo_->CloseList(true);
  }
}

}  // namespace toolkit
