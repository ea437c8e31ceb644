// TComboBox: the editable drop-down combo box. The field is a one-line edit
// (caret, selection, clipboard); the list is a TComboBoxList pop-up.
//
// Index
//   1. class information and life    4. keys
//   2. items, index and text         5. mouse
//   3. the edit field                6. the list, painting
//
// Who gets what while the list is down: the list holds the mouse (a press
// outside it closes it unchanged), the field keeps the focus and the keys.
//
//   key (list up)          key (list down)
//   Up, Down, PgUp, PgDn   choose the entry before or after   move the highlight
//   Alt+Down, Alt+Up, F4   open the list                      close, taking the highlight
//   Enter                  (the dialog's: default button)    close, taking the highlight
//   Escape                 (the dialog's: cancel button)     close unchanged
//   letters, editing keys  edit the field                     edit the field
#include <algorithm>
#include <cstdlib>

#include "base/AsciiCase.h"
#include "base/Cp1252.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"
#include "toolkit/StdDraw.h"

namespace toolkit {

namespace {
constexpr int kFrame = 2;         // the sunken edge
constexpr int kButtonWidth = 16;  // the arrow button, a scroll bar's width
constexpr int kIndent = 2;        // text from the field's left edge
constexpr TShiftState kModifiers = ssShift | ssAlt | ssCtrl;

platform::Backend* Clipboard() { return Application ? Application->Backend() : nullptr; }

bool IsSpace(char c) { return c == ' ' || c == '\t'; }
}  // namespace

// ---- 1. class information and life ---------------------------------------------------------

const TClassInfo& TComboBox::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TComboBox>("TComboBox", &TCustomControl::StaticClass())
          .Creatable()
          .Enum("Style", kComboBoxStyleNames, &TComboBox::Style, &TComboBox::SetStyle, csDropDown)
          .Int("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount, 8)
          .Int("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight)
          .StoredWhen(&TComboBox::IsItemHeightStored)
          .Int("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex, -1)
          .Int("MaxLength", &TComboBox::MaxLength, &TComboBox::SetMaxLength, 0)
          .Str("Text", &TComboBox::Text, &TComboBox::SetText)
          .StoredWhen(&TComboBox::IsTextStored)
          .Nested("Items", &TComboBox::Items)
          .Event("OnChange", &TComboBox::OnChange)
          .Event("OnCloseUp", &TComboBox::OnCloseUp)
          .Event("OnDropDown", &TComboBox::OnDropDown)
          .Event("OnSelect", &TComboBox::OnSelect)
          .Build();
  return info;
}

TComboBox::TComboBox(TComponent* owner) : TCustomControl(owner), items_(std::make_unique<TStrings>()) {
  RegisterStdControls();
  // Only a chosen entry is a click; a double click is two presses.
  SetControlStyle((ControlStyle() | csOpaque) & ~(csClickEvents | csDoubleClicks | csAcceptsControls));
  items_->OnChange = TNotifyEvent([this](TObject*) { ItemsChanged(); }, this);
  SetBounds(Left(), Top(), 145, 21);
  SetTabStop(true);
}

TComboBox::~TComboBox() {
  items_->OnChange.Clear();
  // The list goes with the components this one owns; off the form first.
  if (list_)
    if (TForm* host = GetParentForm(list_)) host->HidePopup(list_);
  dropped_ = false;
}

void TComboBox::Loaded() {
  TCustomControl::Loaded();
  itemIndex_ = MatchText(Text());
  const int pending = pendingIndex_;
  pendingIndex_ = -1;
  if (pending >= 0) SetItemIndex(pending);
}

void TComboBox::SetStyle(TComboBoxStyle style) {
  if (style == style_) return;
  style_ = style;
  if (!Editable()) {
    // The field of a drop-down list shows the chosen entry only.
    TControl::SetText(itemIndex_ >= 0 ? items_->Get(itemIndex_) : std::string());
    caret_ = anchor_ = 0;
  }
  Invalidate();
}

// ---- 2. items, index and text ---------------------------------------------------------------

int TComboBox::MatchText(const std::string& text) const {
  if (text.empty()) return -1;
  return items_->IndexOf(text);
}

void TComboBox::ItemsChanged() {
  if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
  if (dropped_) {
    list_->SetHotIndex(list_->hot_);  // clamped to the new count
    list_->Place();
    list_->Invalidate();
  }
}

void TComboBox::SetItemIndex(int index) {
  if (HasState(csLoading)) {
    pendingIndex_ = index;
    return;
  }
  if (index < -1 || index >= items_->Count() || index == itemIndex_) return;
  itemIndex_ = index;
  TControl::SetText(index >= 0 ? items_->Get(index) : std::string());
  anchor_ = 0;
  caret_ = static_cast<int>(Text().size());
  scroll_ = 0;
  ScrollCaretIntoView();
  if (dropped_) {
    list_->SetHotIndex(index);
    list_->MakeVisible(index);
  }
  Invalidate();
}

void TComboBox::SetText(const std::string& text) {
  TControl::SetText(text);
  caret_ = anchor_ = 0;
  scroll_ = 0;
  if (!HasState(csLoading)) itemIndex_ = MatchText(text);
  Invalidate();
}

int TComboBox::ItemHeight() const { return itemHeight_ > 0 ? itemHeight_ : stddraw::LineHeight(Font()); }

void TComboBox::SetItemHeight(int height) {
  if (height <= 0 || height == itemHeight_) return;
  itemHeight_ = height;
  if (dropped_) list_->Place();
}

void TComboBox::Clear() {
  CloseList(false);
  items_->Clear();
  itemIndex_ = -1;
  TControl::SetText(std::string());
  caret_ = anchor_ = 0;
  scroll_ = 0;
  Invalidate();
}

void TComboBox::ChooseItem(int index) {
  if (index < 0 || index >= items_->Count()) return;
  const std::string& item = items_->Get(index);
  const bool changed = index != itemIndex_ || Text() != item;
  itemIndex_ = index;
  TControl::SetText(item);
  anchor_ = 0;
  caret_ = static_cast<int>(item.size());
  ScrollCaretIntoView();
  Invalidate();
  if (!changed) return;
  Click();
  Select();
}

void TComboBox::StepItem(int delta, bool toEnd) {
  const int count = items_->Count();
  if (count == 0) return;
  int index;
  if (toEnd)
    index = delta < 0 ? 0 : count - 1;
  else if (itemIndex_ < 0)
    index = 0;
  else
    index = std::clamp(itemIndex_ + delta, 0, count - 1);
  if (index == itemIndex_ && Text() == items_->Get(index)) return;
  ChooseItem(index);
}

void TComboBox::Change() { OnChange(this); }

void TComboBox::Select() {
  if (OnSelect)
    OnSelect(this);
  else
    Change();
}

void TComboBox::DropDown() { OnDropDown(this); }
void TComboBox::CloseUp() { OnCloseUp(this); }

// ---- 3. the edit field ------------------------------------------------------------------------

gdi::TRect TComboBox::FieldRect() const {
  return {kFrame, kFrame, std::max(kFrame, Width() - kFrame - kButtonWidth), Height() - kFrame};
}

gdi::TRect TComboBox::ButtonRect() const {
  const int right = Width() - kFrame;
  return {std::max(kFrame, right - kButtonWidth), kFrame, right, Height() - kFrame};
}

int TComboBox::TextTop() const {
  const gdi::TRect field = FieldRect();
  return field.Top + (field.Height() - stddraw::LineHeight(Font())) / 2;
}

int TComboBox::TextX(int pos) const {
  const std::string& text = Text();
  pos = std::clamp(pos, 0, static_cast<int>(text.size()));
  return FieldRect().Left + kIndent - scroll_ +
         stddraw::TextWidth(Font(), text.substr(0, static_cast<std::size_t>(pos)));
}

// The character boundary nearest to `x`.
int TComboBox::CharAt(int x) const {
  const int n = static_cast<int>(Text().size());
  int best = 0, bestDistance = std::abs(TextX(0) - x);
  for (int pos = 1; pos <= n; ++pos) {
    const int distance = std::abs(TextX(pos) - x);
    if (distance < bestDistance) {
      best = pos;
      bestDistance = distance;
    }
  }
  return best;
}

void TComboBox::ScrollCaretIntoView() {
  const gdi::TRect field = FieldRect();
  const int room = std::max(1, field.Width() - 2 * kIndent);
  const std::string& text = Text();
  const int caret = stddraw::TextWidth(Font(), text.substr(0, static_cast<std::size_t>(caret_)));
  const int total = stddraw::TextWidth(Font(), text);
  if (caret - scroll_ >= room) scroll_ = caret - room + 1;
  if (caret < scroll_) scroll_ = caret;
  // No blank space kept at the right once the text fits again.
  if (total - scroll_ < room - 1) scroll_ = std::max(0, total - room + 1);
  scroll_ = std::max(0, std::min(scroll_, caret));
}

std::string TComboBox::SelText() const {
  return Text().substr(static_cast<std::size_t>(SelStart()), static_cast<std::size_t>(SelLength()));
}

void TComboBox::SetSelection(int start, int length) {
  const int n = static_cast<int>(Text().size());
  start = std::clamp(start, 0, n);
  anchor_ = start;
  caret_ = std::clamp(start + std::max(length, 0), 0, n);
  ScrollCaretIntoView();
  Invalidate();
}

void TComboBox::MoveCaret(int pos, bool extend) {
  caret_ = std::clamp(pos, 0, static_cast<int>(Text().size()));
  if (!extend) anchor_ = caret_;
  ScrollCaretIntoView();
  Invalidate();
}

void TComboBox::EditText(const std::string& text, int caret) {
  const bool changed = text != Text();
  TControl::SetText(text);
  caret_ = anchor_ = caret;
  itemIndex_ = MatchText(text);
  if (dropped_ && itemIndex_ >= 0) {
    list_->SetHotIndex(itemIndex_);
    list_->MakeVisible(itemIndex_);
  }
  ScrollCaretIntoView();
  Invalidate();
  if (changed) Change();
}

void TComboBox::TypeText(std::string text) {
  const std::string& old = Text();
  const auto start = static_cast<std::size_t>(SelStart());
  const auto length = static_cast<std::size_t>(SelLength());
  if (maxLength_ > 0) {
    const std::size_t kept = old.size() - length;
    const auto limit = static_cast<std::size_t>(maxLength_);
    text.resize(kept >= limit ? 0 : std::min(text.size(), limit - kept));
  }
  if (text.empty() && length == 0) return;
  const std::string next = old.substr(0, start) + text + old.substr(start + length);
  EditText(next, static_cast<int>(start + text.size()));
}

void TComboBox::CopyToClipboard() {
  if (SelLength() == 0) return;
  // The clipboard is shared with other programs, which read UTF-8.
  if (platform::Backend* clipboard = Clipboard()) clipboard->SetClipboardText(base::Cp1252ToUtf8(SelText()));
}

void TComboBox::CutToClipboard() {
  if (!Editable() || SelLength() == 0) return;
  CopyToClipboard();
  TypeText(std::string());
}

void TComboBox::PasteFromClipboard() {
  platform::Backend* clipboard = Clipboard();
  if (!Editable() || !clipboard) return;
  std::string text = base::Utf8ToCp1252(clipboard->ClipboardText());
  // One line only, as a one-line edit takes it.
  text = text.substr(0, text.find_first_of("\r\n"));
  TypeText(text);
}

// ---- 4. keys ------------------------------------------------------------------------------------

unsigned TComboBox::GetDlgCode() {
  unsigned code = DLGC_WANTARROWS | DLGC_WANTCHARS;
  if (Editable()) code |= DLGC_HASSETSEL;
  // Enter and Escape close an open list instead of going to the dialog.
  if (dropped_) code |= DLGC_WANTALLKEYS;
  return code;
}

void TComboBox::WndProc(TMessage& message) {
  if (message.Msg == EM_SETSEL) {
    // (start, end); end -1: to the end; start -1: no selection.
    const int n = static_cast<int>(Text().size());
    const int start = static_cast<int>(message.WParam);
    const int end = message.LParam < 0 ? n : static_cast<int>(message.LParam);
    if (start < 0)
      MoveCaret(caret_, false);
    else
      SetSelection(std::min(start, end), std::abs(end - start));
    return;
  }
  TCustomControl::WndProc(message);
}

namespace {
int WordLeft(const std::string& text, int pos) {
  while (pos > 0 && IsSpace(text[static_cast<std::size_t>(pos - 1)])) --pos;
  while (pos > 0 && !IsSpace(text[static_cast<std::size_t>(pos - 1)])) --pos;
  return pos;
}
int WordRight(const std::string& text, int pos) {
  const int n = static_cast<int>(text.size());
  while (pos < n && !IsSpace(text[static_cast<std::size_t>(pos)])) ++pos;
  while (pos < n && IsSpace(text[static_cast<std::size_t>(pos)])) ++pos;
  return pos;
}
}  // namespace

void TComboBox::KeyDown(WORD& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == 0) return;
  const bool alt = shift & ssAlt, ctrl = shift & ssCtrl, extend = shift & ssShift;
  if ((key == VK_F4 && !(shift & kModifiers)) || (alt && (key == VK_DOWN || key == VK_UP))) {
    if (dropped_)
      CloseList(true);
    else
      OpenList(false);
    key = 0;
    return;
  }
  if (dropped_) {
    const int page = std::max(1, list_->Rows() - 1);
    const int hot = list_->hot_;
    int next = -2;
    switch (key) {
      case VK_RETURN:
        CloseList(true);
        key = 0;
        return;
      case VK_ESCAPE:
        CloseList(false);
        key = 0;
        return;
      case VK_UP: next = hot < 0 ? 0 : hot - 1; break;
      case VK_DOWN: next = hot < 0 ? 0 : hot + 1; break;
      case VK_PRIOR: next = hot < 0 ? 0 : hot - page; break;
      case VK_NEXT: next = hot < 0 ? 0 : hot + page; break;
      default: break;
    }
    if (next != -2) {
      if (items_->Count() > 0) {
        next = std::clamp(next, 0, items_->Count() - 1);
        list_->SetHotIndex(next);
        list_->MakeVisible(next);
      }
      key = 0;
      return;
    }
  }
  const int page = std::max(1, dropDownCount_ - 1);
  const std::string& text = Text();
  const int n = static_cast<int>(text.size());
  switch (key) {
    case VK_UP: StepItem(-1, false); break;
    case VK_DOWN: StepItem(1, false); break;
    case VK_PRIOR: StepItem(-page, false); break;
    case VK_NEXT: StepItem(page, false); break;
    case VK_LEFT:
      if (!Editable())
        StepItem(-1, false);
      else if (ctrl)
        MoveCaret(WordLeft(text, caret_), extend);
      else if (!extend && SelLength() > 0)
        MoveCaret(SelStart(), false);
      else
        MoveCaret(caret_ - 1, extend);
      break;
    case VK_RIGHT:
      if (!Editable())
        StepItem(1, false);
      else if (ctrl)
        MoveCaret(WordRight(text, caret_), extend);
      else if (!extend && SelLength() > 0)
        MoveCaret(SelStart() + SelLength(), false);
      else
        MoveCaret(caret_ + 1, extend);
      break;
    case VK_HOME:
      if (Editable())
        MoveCaret(0, extend);
      else
        StepItem(-1, true);
      break;
    case VK_END:
      if (Editable())
        MoveCaret(n, extend);
      else
        StepItem(1, true);
      break;
    case VK_DELETE:
      if (!Editable()) break;
      if (extend)
        CutToClipboard();
      else if (SelLength() > 0)
        TypeText(std::string());
      else if (caret_ < n)
        EditText(text.substr(0, static_cast<std::size_t>(caret_)) +
                     text.substr(static_cast<std::size_t>(caret_) + 1),
                 caret_);
      break;
    case VK_INSERT:
      if (extend)
        PasteFromClipboard();
      else if (ctrl)
        CopyToClipboard();
      break;
    default: return;
  }
  key = 0;
}

void TComboBox::KeyPress(char& key) {
  TCustomControl::KeyPress(key);
  const auto c = static_cast<unsigned char>(key);
  switch (c) {
    case 0: return;
    case 3: CopyToClipboard(); return;      // Ctrl+C
    case 22: PasteFromClipboard(); return;  // Ctrl+V
    case 24: CutToClipboard(); return;      // Ctrl+X
    case 8:                                 // Backspace
      if (!Editable()) return;
      if (SelLength() > 0)
        TypeText(std::string());
      else if (caret_ > 0)
        EditText(Text().substr(0, static_cast<std::size_t>(caret_ - 1)) +
                     Text().substr(static_cast<std::size_t>(caret_)),
                 caret_ - 1);
      return;
    default: break;
  }
  if (c < 32 || c == 127) return;
  if (Editable())
    TypeText(std::string(1, key));
  else
    SearchItem(key);
}

// A drop-down list jumps to the next entry starting with the letter typed.
void TComboBox::SearchItem(char c) {
  const int count = items_->Count();
  for (int step = 1; step <= count; ++step) {
    const int i = ((itemIndex_ < 0 ? -1 : itemIndex_) + step) % count;
    const std::string& item = items_->Get(i);
    if (!item.empty() && base::AsciiLower(item[0]) == base::AsciiLower(c)) {
      if (dropped_) {
        list_->SetHotIndex(i);
        list_->MakeVisible(i);
      } else {
        ChooseItem(i);
      }
      return;
    }
  }
}

void TComboBox::WMKillFocus(TMessage& message) {
  CloseList(false);
  selecting_ = false;
  Invalidate();
  TCustomControl::WMKillFocus(message);
}

void TComboBox::CMFontChanged(TMessage& message) {
  TCustomControl::CMFontChanged(message);
  ScrollCaretIntoView();
  if (dropped_) list_->Place();
}

void TComboBox::CMEnabledChanged(TMessage& message) {
  if (!Enabled()) CloseList(false);
  TCustomControl::CMEnabledChanged(message);
}

void TComboBox::CMVisibleChanged(TMessage& message) {
  if (!Visible()) CloseList(false);
  TCustomControl::CMVisibleChanged(message);
}

// ---- 5. mouse -------------------------------------------------------------------------------------

void TComboBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) {
    if (!Focused() && CanFocus()) SetFocus();
    const gdi::TRect arrow = ButtonRect();
    if (dropped_) {
      CloseList(false);
    } else if (!Editable() || gdi::PtInRect(&arrow, {x, y})) {
      OpenList(true);
    } else {
      MoveCaret(CharAt(x), (shift & ssShift) != 0);
      selecting_ = true;
    }
  }
  TCustomControl::MouseDown(button, shift, x, y);
}

void TComboBox::MouseMove(TShiftState shift, int x, int y) {
  if (selecting_) MoveCaret(CharAt(x), true);
  TCustomControl::MouseMove(shift, x, y);
}

void TComboBox::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (button == mbLeft) selecting_ = false;
  TCustomControl::MouseUp(button, shift, x, y);
}

// ---- 6. the list, painting ----------------------------------------------------------------------

void TComboBox::SetDroppedDown(bool dropped) {
  if (dropped)
    OpenList(false);
  else
    CloseList(false);
}

void TComboBox::OpenList(bool byPress) {
  if (dropped_ || !Enabled()) return;
  TForm* form = ParentForm();
  if (!form) return;
  DropDown();
  if (!list_) list_ = new TComboBoxList(this);
  dropped_ = true;
  list_->hot_ = itemIndex_;
  list_->top_ = 0;
  list_->thumbGrab_ = -1;
  list_->tracking_ = false;
  list_->openingPress_ = byPress;
  list_->Place();
  if (itemIndex_ >= 0) list_->MakeVisible(itemIndex_);
  form->ShowPopup(list_);
  // The list takes over the mouse, also the press that opened it.
  SetControlState(ControlState() & ~(csLButtonDown | csClicked));
  selecting_ = false;
  list_->SetMouseCapture(true);
  Invalidate();
}

void TComboBox::CloseList(bool take) {
  if (!dropped_) return;
  const int chosen = take ? list_->hot_ : -1;
  dropped_ = false;
  list_->tracking_ = list_->openingPress_ = false;
  list_->thumbGrab_ = -1;
  list_->SetMouseCapture(false);
  if (TForm* host = GetParentForm(list_)) host->HidePopup(list_);
  Invalidate();
  CloseUp();
  if (chosen >= 0) ChooseItem(chosen);
}

void TComboBox::Paint() {
  TCanvas* canvas = Canvas();
  gdi::TRect r = ClientRect();
  Frame3D(canvas, r, clBtnShadow, clBtnHighlight, 1);
  Frame3D(canvas, r, cl3DDkShadow, cl3DLight, 1);
  const gdi::TRect field = FieldRect();
  stddraw::Fill(canvas, field, Enabled() ? Color() : clBtnFace);

  const bool focused = Focused();
  const int x0 = field.Left + kIndent - scroll_;
  const int y0 = TextTop();
  const int lineHeight = stddraw::LineHeight(Font());
  const std::string& text = Text();
  canvas->SetFont(Font());
  canvas->Brush()->SetStyle(bsClear);
  if (Editable()) {
    canvas->Font()->SetColor(Enabled() ? Font()->Color() : clGrayText);
    canvas->TextRect(field, x0, y0, text);
    if (focused && SelLength() > 0) {
      gdi::TRect sel{TextX(SelStart()), y0, TextX(SelStart() + SelLength()), y0 + lineHeight};
      gdi::IntersectRect(&sel, &sel, &field);
      stddraw::Fill(canvas, sel, clHighlight);
      canvas->Brush()->SetStyle(bsClear);
      canvas->Font()->SetColor(clHighlightText);
      canvas->TextRect(sel, x0, y0, text);
    }
    if (focused) {
      const int x = TextX(caret_);
      const gdi::TRect caret{x, y0, x + 1, y0 + lineHeight};
      gdi::TRect shown{};
      if (gdi::IntersectRect(&shown, &caret, &field)) stddraw::Fill(canvas, shown, clWindowText);
    }
  } else {
    gdi::TRect inner = field;
    gdi::InflateRect(&inner, -1, -1);
    if (focused) stddraw::Fill(canvas, inner, clHighlight);
    canvas->Brush()->SetStyle(bsClear);
    canvas->Font()->SetColor(!Enabled() ? clGrayText : focused ? clHighlightText : Font()->Color());
    canvas->TextRect(inner, x0, y0, text);
    if (focused) canvas->DrawFocusRect(inner);
  }
  const bool pushed = dropped_ && list_->openingPress_;
  stddraw::DrawScrollButton(canvas, ButtonRect(), true, pushed, Enabled());
}

}  // namespace toolkit
