// TWinControl: children, the window number, tab order, alignment, painting
// and the keyboard messages of one windowed control.
//
// Index
//   1. class information and life     4. alignment
//   2. children                        5. painting
//   3. window number, focus, tab order 6. messages and keys
#include <algorithm>
#include <atomic>

#include "base/ScopeGuard.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/ControlAccess.h"
#include "toolkit/Controls.h"
#include "toolkit/Forms.h"

namespace toolkit {

// ---- 1. class information and life -------------------------------------------------

const TClassInfo& TWinControl::StaticClass() {
  static const TClassInfo info = ClassBuilder<TWinControl>("TWinControl", &TControl::StaticClass())
                                     .Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, -1)
                                     .Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
                                     .StoredWhen(&TWinControl::IsTabStopStored)
                                     .Event("OnEnter", &TWinControl::OnEnter)
                                     .Event("OnExit", &TWinControl::OnExit)
                                     .Event("OnKeyDown", &TWinControl::OnKeyDown)
                                     .Event("OnKeyPress", &TWinControl::OnKeyPress)
                                     .Event("OnKeyUp", &TWinControl::OnKeyUp)
                                     .Build();
  return info;
}

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
  SetControlStyle(ControlStyle() | csAcceptsControls);
}

TWinControl::~TWinControl() {
  Destroying();
  DestroyChildControls();
  if (TForm* form = ParentForm()) form->ControlGone(this);
  if (popupHost_) popupHost_->HidePopup(this);
  if (Parent()) Parent()->RemoveControl(this);
  if (handle_) gdi::UnregisterWindowSurface(handle_);
}

void TWinControl::DestroyChildControls() {
  while (!controls_.empty() || !winControls_.empty()) {
    TControl* child = !winControls_.empty() ? winControls_.back() : controls_.back();
    RemoveControl(child);
    delete child;
  }
}

// ---- 2. children ------------------------------------------------------------------------

int TWinControl::ControlCount() const { return static_cast<int>(controls_.size() + winControls_.size()); }

TControl* TWinControl::Controls(int index) const {
  if (index < 0 || index >= ControlCount()) throw EListError(Format(SListIndexError, index));
  const auto i = static_cast<std::size_t>(index);
  return i < controls_.size() ? controls_[i] : winControls_[i - controls_.size()];
}

void TWinControl::InsertControl(TControl* control) {
  if (!control || control->parent_ == this) return;
  if (dynamic_cast<TForm*>(control)) throw EInvalidOperation("A form cannot have a parent");
  if (control->parent_) control->parent_->RemoveControl(control);
  control->parent_ = this;
  if (auto* w = dynamic_cast<TWinControl*>(control)) {
    winControls_.push_back(w);
    tabList_.push_back(w);
  } else {
    controls_.push_back(control);
  }
  if (!control->HasState(csLoading)) {
    control->Perform(CM_PARENTCOLORCHANGED);
    control->Perform(CM_PARENTFONTCHANGED);
    control->Perform(CM_PARENTSHOWHINTCHANGED);
  }
  if (auto* w = dynamic_cast<TWinControl*>(control)) w->SyncWindowSurfaces();
  control->Invalidate();
  if (control->align_ != alNone) Realign();
  Perform(CM_CONTROLCHANGE, reinterpret_cast<std::intptr_t>(control), 1);
}

void TWinControl::RemoveControl(TControl* control) {
  if (!control || control->parent_ != this) return;
  control->Invalidate();
  if (TForm* form = ParentForm()) form->ControlGone(control);
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  winControls_.erase(std::remove(winControls_.begin(), winControls_.end(), control), winControls_.end());
  tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), control), tabList_.end());
  control->parent_ = nullptr;
  // Off the surface: a windowed control without a form has nowhere to draw.
  if (auto* w = dynamic_cast<TWinControl*>(control); w && !w->HasState(csDestroying)) w->SyncWindowSurfaces();
  if (control->align_ != alNone && !HasState(csDestroying)) Realign();
  if (!HasState(csDestroying)) Perform(CM_CONTROLCHANGE, reinterpret_cast<std::intptr_t>(control), 0);
}

bool TWinControl::ContainsControl(const TControl* control) const {
  for (const TControl* c = control; c; c = c->parent_)
    if (c == this) return true;
  return false;
}

bool TWinControl::ChildAt(const TControl* c, const gdi::TPoint& pos, bool allowDisabled) {
  if (!c->visible_ || (!c->enabled_ && !allowDisabled)) return false;
  const gdi::TRect r = c->BoundsRect();
  if (!gdi::PtInRect(&r, pos)) return false;
  return const_cast<TControl*>(c)->Perform(CM_HITTEST, 0,
                                           MakePointParam(pos.X - c->left_, pos.Y - c->top_)) != 0;
}

TControl* TWinControl::ControlAtPos(const gdi::TPoint& pos, bool allowDisabled, bool allowWinControls) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it)
    if (ChildAt(*it, pos, allowDisabled)) return *it;
  if (allowWinControls)
    if (TWinControl* window = WindowAtPos(pos, allowDisabled)) return window;
  return nullptr;
}

TWinControl* TWinControl::WindowAtPos(const gdi::TPoint& pos, bool allowDisabled) const {
  for (auto it = winControls_.rbegin(); it != winControls_.rend(); ++it)
    if (ChildAt(*it, pos, allowDisabled)) return static_cast<TWinControl*>(*it);
  return nullptr;
}

void TWinControl::Broadcast(TMessage& message) {
  // A copy: a handler may add or remove controls.
  std::vector<TControl*> all = controls_;
  all.insert(all.end(), winControls_.begin(), winControls_.end());
  for (TControl* c : all) {
    c->WndProc(message);
    if (message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(std::uint32_t msg) {
  TMessage message{msg, 0, 0, 0};
  Broadcast(message);
}

// ---- 3. window number, focus, tab order ------------------------------------------------------

namespace {
gdi::HWND NextWindowNumber() {
  // Far from small numbers others might pick for their own surfaces.
  static std::atomic<gdi::HWND> next{0x10000};
  return next++;
}
}  // namespace

gdi::HWND TWinControl::Handle() {
  if (!handle_) handle_ = NextWindowNumber();
  SyncWindowSurface();
  return handle_;
}

void TWinControl::SyncWindowSurface() {
  if (!handle_) return;
  TForm* form = ParentForm();
  gdi::HBITMAP surface = 0;
  if (form) {
    const TControl* root = this;
    while (root->parent_) root = root->parent_;
    surface = root == form ? form->surface_ : form->overlay_;
  }
  if (surface)
    gdi::RegisterWindowSurface(handle_, surface, RectInForm());
  else
    gdi::UnregisterWindowSurface(handle_);
}

void TWinControl::SyncWindowSurfaces() {
  SyncWindowSurface();
  for (TControl* c : winControls_) static_cast<TWinControl*>(c)->SyncWindowSurfaces();
}

void TWinControl::ReleaseWindowSurfaces() {
  if (handle_) gdi::UnregisterWindowSurface(handle_);
  for (TControl* c : winControls_) static_cast<TWinControl*>(c)->ReleaseWindowSurfaces();
}

int TWinControl::TabOrder() const {
  if (!parent_) return pendingTabOrder_;
  const auto& list = parent_->tabList_;
  const auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
  // While a stream is read the siblings are not all there: sorted when loaded.
  if (!parent_ || HasState(csLoading)) {
    pendingTabOrder_ = order;
    return;
  }
  auto& list = parent_->tabList_;
  const auto it = std::find(list.begin(), list.end(), this);
  if (it == list.end()) return;
  list.erase(it);
  const int count = static_cast<int>(list.size());
  if (order < 0 || order > count) order = count;
  list.insert(list.begin() + order, this);
}

void TWinControl::SetTabStop(bool tabStop) {
  if (tabStop == tabStop_) return;
  tabStop_ = tabStop;
  Perform(CM_TABSTOPCHANGED);
}

bool TWinControl::Focused() const {
  const TForm* form = ParentForm();
  if (!form) return false;
  return form == this ? form->ActiveControl() == nullptr : form->ActiveControl() == this;
}

bool TWinControl::CanFocus() const {
  const TForm* form = ParentForm();
  if (!form) return false;
  const TControl* c = this;
  for (; c && c != form; c = c->parent_)
    if (!c->visible_ || !c->enabled_) return false;
  // A pop-up's controls never reach the form: they leave the focus where it is.
  return c == form && form->Enabled();
}

void TWinControl::SetFocus() {
  TForm* form = ParentForm();
  if (!form) return;
  if (form == this) {
    form->FocusControl(nullptr, false);
    return;
  }
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  form->FocusControl(this, false);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
  for (TWinControl* w : tabList_) {
    list.push_back(w);
    w->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                          bool checkParent) const {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  const int n = static_cast<int>(list.size());
  if (n == 0) return nullptr;
  const auto found = std::find(list.begin(), list.end(), current);
  // Not in the list: the first (or last) one is the next.
  const int start = found != list.end() ? static_cast<int>(found - list.begin()) : (goForward ? n - 1 : 0);
  int i = start;
  do {
    i = goForward ? (i + 1) % n : (i + n - 1) % n;
    TWinControl* w = list[static_cast<std::size_t>(i)];
    if (w != current && (!checkTabStop || w->tabStop_) && (!checkParent || w->parent_ == this) &&
        w->CanFocus())
      return w;
  } while (i != start);
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  TForm* form = ParentForm();
  TWinControl* next = FindNextControl(current, goForward, checkTabStop, false);
  if (form && next) form->FocusControl(next, true);
}

// ---- 4. alignment ------------------------------------------------------------------------------

void TWinControl::AlignControls(TControl*, gdi::TRect& rect) {
  std::vector<TControl*> all = controls_;
  all.insert(all.end(), winControls_.begin(), winControls_.end());
  for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
    std::vector<TControl*> list;
    for (TControl* c : all)
      if (c->align_ == align && c->visible_) list.push_back(c);
    // Each side stacks the controls in the order they stand from that side.
    std::stable_sort(list.begin(), list.end(), [align](const TControl* a, const TControl* b) {
      switch (align) {
        case alTop: return a->top_ < b->top_;
        case alBottom: return a->top_ + a->height_ > b->top_ + b->height_;
        case alLeft: return a->left_ < b->left_;
        case alRight: return a->left_ + a->width_ > b->left_ + b->width_;
        default: return false;
      }
    });
    for (TControl* c : list) {
      const int w = c->width_, h = c->height_;
      switch (align) {
        case alTop:
          c->SetBounds(rect.Left, rect.Top, rect.Width(), h);
          rect.Top += h;
          break;
        case alBottom:
          c->SetBounds(rect.Left, rect.Bottom - h, rect.Width(), h);
          rect.Bottom -= h;
          break;
        case alLeft:
          c->SetBounds(rect.Left, rect.Top, w, rect.Height());
          rect.Left += w;
          break;
        case alRight:
          c->SetBounds(rect.Right - w, rect.Top, w, rect.Height());
          rect.Right -= w;
          break;
        default: c->SetBounds(rect.Left, rect.Top, rect.Width(), rect.Height()); break;
      }
    }
  }
}

void TWinControl::Realign() {
  if (alignLevel_ > 0 || HasState(csLoading) || HasState(csDestroying)) {
    SetControlState(ControlState() | csAlignmentNeeded);
    return;
  }
  {
    ++alignLevel_;
    const base::ScopeExit lower([this] { --alignLevel_; });
    gdi::TRect rect = GetClientRect();
    AlignControls(nullptr, rect);
  }
  SetControlState(ControlState() & ~csAlignmentNeeded);
}

void TWinControl::EnableAlign() {
  if (alignLevel_ > 0) --alignLevel_;
  if (alignLevel_ == 0 && (ControlState() & csAlignmentNeeded)) Realign();
}

// ---- 5. painting --------------------------------------------------------------------------------

namespace {
class SavedContext {
 public:
  explicit SavedContext(gdi::HDC dc) : dc_(dc), saved_(gdi::SaveDC(dc)) {}
  ~SavedContext() { gdi::RestoreDC(dc_, saved_); }
  SavedContext(const SavedContext&) = delete;
  SavedContext& operator=(const SavedContext&) = delete;

 private:
  gdi::HDC dc_;
  int saved_;
};

class WindowContext {
 public:
  explicit WindowContext(gdi::HWND window) : window_(window), dc_(gdi::GetDC(window)) {}
  ~WindowContext() {
    if (dc_) gdi::ReleaseDC(window_, dc_);
  }
  WindowContext(const WindowContext&) = delete;
  WindowContext& operator=(const WindowContext&) = delete;
  gdi::HDC get() const { return dc_; }

 private:
  gdi::HWND window_;
  gdi::HDC dc_;
};
}  // namespace

void TWinControl::PaintControls(gdi::HDC dc, TControl* first) {
  std::size_t start = 0;
  if (first) {
    const auto it = std::find(controls_.begin(), controls_.end(), first);
    start = it == controls_.end() ? 0 : static_cast<std::size_t>(it - controls_.begin());
  }
  const std::vector<TControl*> list(controls_.begin() + static_cast<std::ptrdiff_t>(start), controls_.end());
  for (TControl* c : list) {
    const gdi::TRect r = c->BoundsRect();
    if (!c->visible_ || r.Width() <= 0 || r.Height() <= 0 || !gdi::RectVisible(dc, &r)) continue;
    SavedContext saved(dc);
    gdi::TPoint org{};
    gdi::GetWindowOrgEx(dc, &org);
    gdi::SetWindowOrgEx(dc, org.X - c->left_, org.Y - c->top_, nullptr);
    gdi::IntersectClipRect(dc, 0, 0, c->width_, c->height_);
    c->Perform(WM_PAINT, static_cast<std::intptr_t>(dc));
  }
}

void TWinControl::PaintHandler(const gdi::TRect& clip) {
  gdi::TRect area{};
  const gdi::TRect client = GetClientRect();
  if (!gdi::IntersectRect(&area, &clip, &client)) return;
  {
    WindowContext window(Handle());
    const gdi::HDC dc = window.get();
    if (!dc) return;
    gdi::IntersectClipRect(dc, area.Left, area.Top, area.Right, area.Bottom);
    if (!(ControlStyle() & csOpaque)) {
      const gdi::HBRUSH brush = gdi::CreateSolidBrush(ColorToRGB(Color()));
      gdi::FillRect(dc, &area, brush);
      gdi::DeleteObject(brush);
    }
    {
      SavedContext saved(dc);
      Perform(WM_PAINT, static_cast<std::intptr_t>(dc));
    }
    PaintControls(dc, nullptr);
  }
  const std::vector<TControl*> windowed = winControls_;
  for (TControl* c : windowed) {
    if (!c->visible_) continue;
    const gdi::TRect r = c->BoundsRect();
    gdi::TRect part{};
    if (!gdi::IntersectRect(&part, &r, &area)) continue;
    gdi::OffsetRect(&part, -c->left_, -c->top_);
    static_cast<TWinControl*>(c)->PaintHandler(part);
  }
}

// ---- 6. messages and keys -------------------------------------------------------------------

void TWinControl::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN: WMKeyDown(m); break;
    case WM_KEYUP: WMKeyUp(m); break;
    case WM_CHAR: WMChar(m); break;
    case WM_GETDLGCODE: WMGetDlgCode(m); break;
    case WM_SETFOCUS: WMSetFocus(m); break;
    case WM_KILLFOCUS: WMKillFocus(m); break;
    case WM_PAINT: WMPaint(m); break;
    case CM_ENTER: CMEnter(m); break;
    case CM_EXIT: CMExit(m); break;
    case CM_FOCUSCHANGED: CMFocusChanged(m); break;
    case CM_SHOWHINTCHANGED: NotifyControls(CM_PARENTSHOWHINTCHANGED); break;
    default: TControl::WndProc(m); break;
  }
}

unsigned TWinControl::GetDlgCode() { return 0; }

void TWinControl::WMGetDlgCode(TMessage& m) { m.Result = static_cast<std::intptr_t>(GetDlgCode()); }

bool TWinControl::DoKeyDown(TMessage& m) {
  WORD key = static_cast<WORD>(m.WParam);
  if (!(ControlStyle() & csNoStdEvents)) KeyDown(key, static_cast<TShiftState>(m.LParam & 0xFFFF));
  m.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyUp(TMessage& m) {
  WORD key = static_cast<WORD>(m.WParam);
  if (!(ControlStyle() & csNoStdEvents)) KeyUp(key, static_cast<TShiftState>(m.LParam & 0xFFFF));
  m.WParam = key;
  return key == 0;
}

bool TWinControl::DoKeyPress(TMessage& m) {
  char key = static_cast<char>(static_cast<unsigned char>(m.WParam));
  if (!(ControlStyle() & csNoStdEvents)) KeyPress(key);
  m.WParam = static_cast<unsigned char>(key);
  return key == 0;
}

void TWinControl::WMKeyDown(TMessage& m) { DoKeyDown(m); }
void TWinControl::WMKeyUp(TMessage& m) { DoKeyUp(m); }
void TWinControl::WMChar(TMessage& m) { DoKeyPress(m); }

void TWinControl::KeyDown(WORD& key, TShiftState shift) { OnKeyDown(this, key, shift); }
void TWinControl::KeyUp(WORD& key, TShiftState shift) { OnKeyUp(this, key, shift); }
void TWinControl::KeyPress(char& key) { OnKeyPress(this, key); }

void TWinControl::WMSetFocus(TMessage&) {}
void TWinControl::WMKillFocus(TMessage&) {}

void TWinControl::WMPaint(TMessage& m) {
  if (const auto dc = static_cast<gdi::HDC>(m.WParam)) PaintWindow(dc);
}

void TWinControl::CMEnter(TMessage&) { DoEnter(); }
void TWinControl::CMExit(TMessage&) { DoExit(); }
void TWinControl::DoEnter() { OnEnter(this); }
void TWinControl::DoExit() { OnExit(this); }

void TWinControl::CMDialogKey(TMessage& m) { Broadcast(m); }
void TWinControl::CMDialogChar(TMessage& m) { Broadcast(m); }
void TWinControl::CMFocusChanged(TMessage& m) { Broadcast(m); }

void TWinControl::CMColorChanged(TMessage& m) {
  TControl::CMColorChanged(m);
  NotifyControls(CM_PARENTCOLORCHANGED);
}

void TWinControl::CMFontChanged(TMessage& m) {
  TControl::CMFontChanged(m);
  NotifyControls(CM_PARENTFONTCHANGED);
}

void TWinControl::CMVisibleChanged(TMessage& m) {
  TControl::CMVisibleChanged(m);
  // A hidden window cannot keep the focus or the mouse.
  if (!Visible())
    if (TForm* form = ParentForm(); form && form != this) form->ControlGone(this);
}

void TWinControl::CMEnabledChanged(TMessage& m) {
  TControl::CMEnabledChanged(m);
  if (!Enabled())
    if (TForm* form = ParentForm(); form && form != this) form->ControlGone(this);
}

void TWinControl::CMParentShowHintChanged(TMessage& m) {
  TControl::CMParentShowHintChanged(m);
  NotifyControls(CM_PARENTSHOWHINTCHANGED);
}

// ---- layout, streams ------------------------------------------------------------------------

void TWinControl::SetBounds(int left, int top, int width, int height) {
  const bool resized = width != Width() || height != Height();
  const bool moved = left != Left() || top != Top();
  TControl::SetBounds(left, top, width, height);
  if (resized || moved) SyncWindowSurfaces();
  if (resized) Realign();
}

void TWinControl::ChangeScale(int m, int d) {
  if (m == d) return;
  DisableAlign();
  const base::ScopeExit enable([this] { EnableAlign(); });
  const std::vector<TControl*> all = [this] {
    std::vector<TControl*> v = controls_;
    v.insert(v.end(), winControls_.begin(), winControls_.end());
    return v;
  }();
  for (TControl* c : all) c->ChangeScale(m, d);
  TControl::ChangeScale(m, d);
}

void TWinControl::GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* c = Controls(i);
    if (c->Owner() == root) proc(c);
  }
}

void TWinControl::Loaded() {
  TControl::Loaded();
  // The tab orders read from the stream, now that all siblings are there.
  const std::size_t n = tabList_.size();
  std::vector<TWinControl*> ordered(n, nullptr);
  std::vector<TWinControl*> rest;
  for (TWinControl* w : tabList_) {
    const int order = w->pendingTabOrder_;
    if (order >= 0 && static_cast<std::size_t>(order) < n && !ordered[static_cast<std::size_t>(order)])
      ordered[static_cast<std::size_t>(order)] = w;
    else
      rest.push_back(w);
    w->pendingTabOrder_ = -1;
  }
  auto next = rest.begin();
  for (auto& slot : ordered)
    if (!slot) slot = *next++;
  tabList_ = std::move(ordered);
  Realign();
}

}  // namespace toolkit
