// Controls: the visual components. A control has a place in its parent,
// visibility, an enabled state, colour and font (inherited from the parent
// unless set), a caption, a cursor, and receives messages through one
// window procedure. Windowless controls (TGraphicControl) draw into their
// parent's surface; windowed controls (TWinControl) hold children, take the
// focus and the keyboard, and have a window number that gdi::GetDC knows.
//
// Index
//   1. messages             4. TControl
//   2. input types          5. TGraphicControl, TControlCanvas
//   3. styles and states    6. TWinControl, TCustomControl
//
// Input reaches controls as messages, so a control may take any message it
// likes by overriding WndProc; the default WndProc calls the handler named
// after each known message and DefaultHandler for the rest.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "gdi/Gdi.h"
#include "toolkit/Canvas.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"
#include "toolkit/Menus.h"

namespace toolkit {

class TControl;
class TWinControl;
class TForm;

using WORD = std::uint16_t;

// ---- 1. messages ------------------------------------------------------------

struct TMessage {
  std::uint32_t Msg = 0;
  std::intptr_t WParam = 0;
  std::intptr_t LParam = 0;
  std::intptr_t Result = 0;
};

// Window messages the framework sends. Mouse messages: WParam is the shift
// state (TShiftState bits), LParam the point in the receiver's client
// coordinates (MakePointParam). Key messages: WParam is the virtual-key code
// (WM_CHAR: the character as an unsigned byte), LParam the shift state, with
// KD_REPEAT set on an auto-repeated key-down. WM_PAINT: WParam is the
// device context to paint on, already moved to the control and clipped.
constexpr std::uint32_t WM_SETFOCUS = 0x0007;
constexpr std::uint32_t WM_KILLFOCUS = 0x0008;
constexpr std::uint32_t WM_PAINT = 0x000F;
constexpr std::uint32_t WM_CANCELMODE = 0x001F;
constexpr std::uint32_t WM_GETDLGCODE = 0x0087;
constexpr std::uint32_t EM_SETSEL = 0x00B1;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_KEYUP = 0x0101;
constexpr std::uint32_t WM_CHAR = 0x0102;
constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
constexpr std::uint32_t WM_RBUTTONDBLCLK = 0x0206;
constexpr std::uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr std::uint32_t WM_MBUTTONUP = 0x0208;
constexpr std::uint32_t WM_MBUTTONDBLCLK = 0x0209;

constexpr std::intptr_t KD_REPEAT = std::intptr_t{1} << 30;

// The framework's own notifications, at their classic numbers.
constexpr std::uint32_t CM_BASE = 0xB000;
constexpr std::uint32_t CM_ACTIVATE = CM_BASE + 0;
constexpr std::uint32_t CM_DEACTIVATE = CM_BASE + 1;
constexpr std::uint32_t CM_GOTFOCUS = CM_BASE + 2;
constexpr std::uint32_t CM_LOSTFOCUS = CM_BASE + 3;
constexpr std::uint32_t CM_CANCELMODE = CM_BASE + 4;
constexpr std::uint32_t CM_DIALOGKEY = CM_BASE + 5;     // WParam key, LParam shift; Result 1: taken
constexpr std::uint32_t CM_DIALOGCHAR = CM_BASE + 6;    // WParam char, LParam shift; Result 1: taken
constexpr std::uint32_t CM_FOCUSCHANGED = CM_BASE + 7;  // LParam: the focused TWinControl*
constexpr std::uint32_t CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr std::uint32_t CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr std::uint32_t CM_HITTEST = CM_BASE + 10;         // LParam point; Result 0: not hit
constexpr std::uint32_t CM_VISIBLECHANGED = CM_BASE + 11;  // WParam the new value
constexpr std::uint32_t CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr std::uint32_t CM_COLORCHANGED = CM_BASE + 13;
constexpr std::uint32_t CM_FONTCHANGED = CM_BASE + 14;
constexpr std::uint32_t CM_CURSORCHANGED = CM_BASE + 15;
constexpr std::uint32_t CM_TEXTCHANGED = CM_BASE + 18;
constexpr std::uint32_t CM_MOUSEENTER = CM_BASE + 19;
constexpr std::uint32_t CM_MOUSELEAVE = CM_BASE + 20;
constexpr std::uint32_t CM_BUTTONPRESSED = CM_BASE + 24;
constexpr std::uint32_t CM_SHOWINGCHANGED = CM_BASE + 25;
constexpr std::uint32_t CM_ENTER = CM_BASE + 26;
constexpr std::uint32_t CM_EXIT = CM_BASE + 27;
constexpr std::uint32_t CM_WANTSPECIALKEY = CM_BASE + 30;
constexpr std::uint32_t CM_SHOWHINTCHANGED = CM_BASE + 34;
constexpr std::uint32_t CM_PARENTSHOWHINTCHANGED = CM_BASE + 35;
constexpr std::uint32_t CM_TABSTOPCHANGED = CM_BASE + 40;
constexpr std::uint32_t CM_CONTROLLISTCHANGE = CM_BASE + 44;  // WParam control, LParam 1 inserted
constexpr std::uint32_t CM_CHILDKEY = CM_BASE + 46;
constexpr std::uint32_t CM_INVALIDATE = CM_BASE + 52;
constexpr std::uint32_t CM_CONTROLCHANGE = CM_BASE + 54;  // WParam control, LParam 1 inserted

// What a focused control keeps for itself of the keys the dialog navigation
// would otherwise take (WM_GETDLGCODE, TWinControl::GetDlgCode).
constexpr unsigned DLGC_WANTARROWS = 0x0001;   // arrows: no move between radio buttons
constexpr unsigned DLGC_WANTTAB = 0x0002;      // Tab: no focus move
constexpr unsigned DLGC_WANTALLKEYS = 0x0004;  // Enter and Escape: not offered as dialog keys
constexpr unsigned DLGC_HASSETSEL = 0x0008;    // focus by Tab sends EM_SETSEL (0, -1)
constexpr unsigned DLGC_DEFPUSHBUTTON = 0x0010;
constexpr unsigned DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr unsigned DLGC_RADIOBUTTON = 0x0040;  // arrows move among such siblings
constexpr unsigned DLGC_WANTCHARS = 0x0080;    // typed letters are not accelerators
constexpr unsigned DLGC_STATIC = 0x0100;
constexpr unsigned DLGC_BUTTON = 0x2000;

// Virtual-key codes the framework acts on.
constexpr WORD VK_BACK = 0x08, VK_TAB = 0x09, VK_RETURN = 0x0D, VK_SHIFT = 0x10, VK_CONTROL = 0x11,
               VK_MENU = 0x12, VK_ESCAPE = 0x1B, VK_SPACE = 0x20, VK_PRIOR = 0x21, VK_NEXT = 0x22,
               VK_END = 0x23, VK_HOME = 0x24, VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28,
               VK_INSERT = 0x2D, VK_DELETE = 0x2E, VK_F4 = 0x73;

// A point packed as the classic LParam: x in the low 16 bits, y in the next
// 16, both signed.
constexpr std::intptr_t MakePointParam(int x, int y) {
  return static_cast<std::intptr_t>((static_cast<std::uint32_t>(static_cast<std::uint16_t>(y)) << 16) |
                                    static_cast<std::uint16_t>(x));
}
constexpr gdi::TPoint PointFromParam(std::intptr_t lParam) {
  return {static_cast<std::int16_t>(lParam & 0xFFFF), static_cast<std::int16_t>((lParam >> 16) & 0xFFFF)};
}

// ---- 2. input types -------------------------------------------------------------

enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Bit n is member n of the classic set; the same bits as platform::ShiftBits.
enum TShiftStateBit : unsigned {
  ssShift = 1u << 0,
  ssAlt = 1u << 1,
  ssCtrl = 1u << 2,
  ssLeft = 1u << 3,
  ssRight = 1u << 4,
  ssMiddle = 1u << 5,
  ssDouble = 1u << 6,
};
using TShiftState = unsigned;

using TMouseEvent = TEvent<TObject*, TMouseButton, TShiftState, int, int>;
// Drag and drop: dmAutomatic starts a drag with a left press on the control,
// dmManual only when the program calls BeginDrag.
enum TDragMode { dmManual, dmAutomatic };
extern const TEnumInfo kDragModeNames;
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
// (sender = the target, source = the dragged control, x, y in the target's
// client coordinates, state, accept: set it to say whether a drop is welcome)
using TDragOverEvent = TEvent<TObject*, TObject*, int, int, TDragState, bool&>;
// (sender = the target, source, x, y)
using TDragDropEvent = TEvent<TObject*, TObject*, int, int>;
// (sender = the dragged control, target or null when nothing took it, x, y in
// the target's client coordinates, else the dragged control's)
using TEndDragEvent = TEvent<TObject*, TObject*, int, int>;
// (sender = the dragged control), once the drag has begun.
using TStartDragEvent = TEvent<TObject*>;
using TMouseMoveEvent = TEvent<TObject*, TShiftState, int, int>;
// Setting Key to 0 stops the key there.
using TKeyEvent = TEvent<TObject*, WORD&, TShiftState>;
using TKeyPressEvent = TEvent<TObject*, char&>;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
extern const TEnumInfo kAlignNames;

// Cursors: the standard ones have these negative numbers; the application
// adds its own from 1 up (TScreen::SetCursorImage).
using TCursor = int;
constexpr TCursor crDefault = 0, crNone = -1, crArrow = -2, crCross = -3, crIBeam = -4, crSize = -22,
                  crSizeNESW = -6, crSizeNS = -7, crSizeNWSE = -8, crSizeWE = -9, crUpArrow = -10,
                  crHourGlass = -11, crDrag = -12, crNoDrop = -13, crHSplit = -14, crVSplit = -15,
                  crMultiDrag = -16, crSQLWait = -17, crNo = -18, crAppStart = -19, crHelp = -20,
                  crHandPoint = -21, crSizeAll = -22;
// "crArrow" and friends; false for a value or name without one.
bool CursorToIdent(TCursor cursor, std::string& ident);
bool IdentToCursor(const std::string& ident, TCursor& cursor);

// ---- 3. styles and states ----------------------------------------------------

// What a control asks of the framework.
enum TControlStyleFlag : unsigned {
  csAcceptsControls = 1u << 0,  // may hold children (TWinControl)
  csCaptureMouse = 1u << 1,     // a press captures the mouse until the release
  csDesignInteractive = 1u << 2,
  csClickEvents = 1u << 3,  // a release inside after a press on it calls Click
  csFramed = 1u << 4,
  csSetCaption = 1u << 5,    // naming the control sets its caption to the name
  csOpaque = 1u << 6,        // paints all of itself: no background fill
  csDoubleClicks = 1u << 7,  // the second press of a double click is a double click
  csFixedWidth = 1u << 8,
  csFixedHeight = 1u << 9,
  csNoDesignVisible = 1u << 10,
  csReplicatable = 1u << 11,
  csNoStdEvents = 1u << 12,  // no OnMouseDown/Move/Up, OnKeyDown/Press/Up
  csDisplayDragImage = 1u << 13,
  csReflector = 1u << 14,
  csActionClient = 1u << 15,
  csMenuEvents = 1u << 16,
};
using TControlStyle = unsigned;

// What a control is doing.
enum TControlStateFlag : unsigned {
  csLButtonDown = 1u << 0,  // the left button went down on it and is still down
  csClicked = 1u << 1,      // ... and a release inside will be a click
  csPalette = 1u << 2,
  csReadingState = 1u << 3,
  csAlignmentNeeded = 1u << 4,
  csFocusing = 1u << 5,  // the focus is moving to it
  csCreating = 1u << 6,
  csPaintCopy = 1u << 7,
  csCustomPaint = 1u << 8,  // painting now
  csDestroyingHandle = 1u << 9,
  csDocking = 1u << 10,
};
using TControlState = unsigned;

// ---- 4. TControl ------------------------------------------------------------------

class TControl : public TComponent {
  TOOLKIT_CLASS(TControl, TComponent)
  friend class TWinControl;
  friend class TForm;
  friend struct ControlAccess;

 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  // ---- messages
  // Sends `msg` to WndProc now and returns its Result.
  std::intptr_t Perform(std::uint32_t msg, std::intptr_t wParam = 0, std::intptr_t lParam = 0);
  virtual void WndProc(TMessage& message);
  // Messages nobody handles end here; Result stays 0.
  virtual void DefaultHandler(TMessage& message);

  // ---- place
  TWinControl* Parent() const { return parent_; }
  // Removes the control from its old parent, inserts it at the top of the new
  // one's z-order. A form cannot have a parent.
  virtual void SetParent(TWinControl* parent);
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }
  void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
  void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
  // Moves and sizes the control in its parent's client coordinates; the
  // old and the new place are invalidated and the parent realigned.
  virtual void SetBounds(int left, int top, int width, int height);
  gdi::TRect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  void SetBoundsRect(const gdi::TRect& r) { SetBounds(r.Left, r.Top, r.Width(), r.Height()); }
  // The client area in the control's own coordinates: (0, 0, Width, Height)
  // unless a control has a frame.
  virtual gdi::TRect GetClientRect() const;
  gdi::TRect ClientRect() const { return GetClientRect(); }
  int ClientWidth() const { return GetClientRect().Width(); }
  int ClientHeight() const { return GetClientRect().Height(); }
  virtual void SetClientWidth(int width);
  virtual void SetClientHeight(int height);
  // The screen position of the client area's top-left corner.
  virtual gdi::TPoint ClientOrigin() const;
  gdi::TPoint ClientToScreen(const gdi::TPoint& point) const;
  gdi::TPoint ScreenToClient(const gdi::TPoint& point) const;
  // Scales position and size by m/d (and the font when it is the control's own).
  virtual void ChangeScale(int m, int d);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  // Z-order among the siblings of the same kind (windowless or windowed).
  void BringToFront();
  void SendToBack();

  // ---- state
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and so are all parents up to a form.
  bool Showing() const;
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  TControlStyle ControlStyle() const { return controlStyle_; }
  void SetControlStyle(TControlStyle style) { controlStyle_ = style; }
  TControlState ControlState() const { return controlState_; }
  void SetControlState(TControlState state) { controlState_ = state; }
  // The control gets every mouse event until it lets go.
  bool MouseCapture() const;
  void SetMouseCapture(bool capture);

  // ---- looks
  TColor Color() const { return color_; }
  void SetColor(TColor color);
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool parentColor);
  // Changing the font makes it the control's own (ParentFont false).
  TFont* Font() const { return font_.get(); }
  void SetFont(const TFont* font) { font_->Assign(font); }
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool parentFont);
  // Caption and Text are one string.
  const std::string& Caption() const { return text_; }
  void SetCaption(const std::string& caption) { SetText(caption); }
  const std::string& Text() const { return text_; }
  virtual void SetText(const std::string& text);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);
  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool showHint);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool parentShowHint);
  TPopupMenu* PopupMenu() const { return popupMenu_; }
  void SetPopupMenu(TPopupMenu* menu);

  // ---- painting
  // Marks the control's rectangle for the next paint of its form.
  virtual void Invalidate();
  // Paints what is marked in the control's form now.
  virtual void Update();
  // Invalidate, then Update: the form's surface holds the new look when
  // this returns.
  virtual void Repaint();
  void Refresh() { Repaint(); }

  // ---- actions
  virtual void Click();
  virtual void DblClick();

  // ---- drag and drop
  TCursor DragCursor() const { return dragCursor_; }
  void SetDragCursor(TCursor cursor) { dragCursor_ = cursor; }
  TDragMode DragMode() const { return dragMode_; }
  void SetDragMode(TDragMode mode) { dragMode_ = mode; }
  // Starts dragging this control with the mouse: at once, or once the
  // pointer has moved `threshold` pixels (-1: the usual 5) from where it is
  // now; a release before that is an ordinary click. Needs the control on a form.
  void BeginDrag(bool immediate, int threshold = -1);
  // Ends this control's drag: dropped on the target under the pointer
  // (if it accepts) or cancelled.
  void EndDrag(bool drop);
  // Between BeginDrag and the end of the drag.
  bool Dragging() const;
  // Asked of the control under the pointer while a drag passes over it;
  // `accept` starts as whether OnDragOver is set.
  virtual void DragOver(TObject* source, int x, int y, TDragState state, bool& accept);
  // A drop the control accepted.
  virtual void DragDrop(TObject* source, int x, int y);

  void SetName(const std::string& name) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  // A control read inside this control's block: this is its parent when
  // this is windowed, else the owner (the form).
  void ReadChildParent(TComponent* child) override;
  // Controls are written by their parent (TWinControl::GetChildren).
  virtual bool HasParent() const { return true; }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;
  TStartDragEvent OnStartDrag;

 protected:
  virtual void DoStartDrag();
  virtual void DoEndDrag(TObject* target, int x, int y);

  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

  // Message handlers called by WndProc; an override usually ends with the
  // inherited one.
  virtual void WMLButtonDown(TMessage& message);
  virtual void WMLButtonUp(TMessage& message);
  virtual void WMLButtonDblClk(TMessage& message);
  virtual void WMRButtonDown(TMessage& message);
  virtual void WMRButtonUp(TMessage& message);
  virtual void WMRButtonDblClk(TMessage& message);
  virtual void WMMButtonDown(TMessage& message);
  virtual void WMMButtonUp(TMessage& message);
  virtual void WMMButtonDblClk(TMessage& message);
  virtual void WMMouseMove(TMessage& message);
  virtual void WMCancelMode(TMessage& message);
  virtual void CMEnabledChanged(TMessage& message);  // repaints
  virtual void CMVisibleChanged(TMessage& message);  // repaints the place
  virtual void CMColorChanged(TMessage& message);    // repaints, tells children
  virtual void CMFontChanged(TMessage& message);     // repaints, tells children
  virtual void CMParentColorChanged(TMessage& message);
  virtual void CMParentFontChanged(TMessage& message);
  virtual void CMParentShowHintChanged(TMessage& message);
  virtual void CMTextChanged(TMessage& message);  // repaints
  virtual void CMCursorChanged(TMessage& message);
  virtual void CMMouseEnter(TMessage& message);  // nothing
  virtual void CMMouseLeave(TMessage& message);  // nothing
  virtual void CMHitTest(TMessage& message);     // Result 1: the whole rectangle
  virtual void CMDialogChar(TMessage& message);  // nothing
  virtual void CMDialogKey(TMessage& message);   // nothing

  // Whether the values differ from the class's defaults, for streams.
  // Classes with other defaults override these.
  virtual bool IsColorStored() const;        // !ParentColor && Color != clWindow
  virtual bool IsFontStored() const;         // !ParentFont
  virtual bool IsParentColorStored() const;  // ParentColor != false
  virtual bool IsParentFontStored() const;   // ParentFont != true
  virtual bool IsCaptionStored() const;      // !Caption.empty()
  virtual bool IsVisibleStored() const;      // Visible != true
  virtual bool IsSizeStored() const;         // Width and Height: always
  bool IsShowHintStored() const { return !parentShowHint_; }

  // The control's rectangle in the coordinates of its form's client area.
  gdi::TRect RectInForm() const;
  // The form the control is on (GetParentForm).
  TForm* ParentForm() const;

 private:
  void FontChanged(TObject* sender);
  void DoMouseDown(TMessage& message, TMouseButton button, TShiftState extra);
  void DoMouseUp(TMessage& message, TMouseButton button);
  void UpdateParentColor();
  void UpdateParentFont();
  void ApplyBounds(int left, int top, int width, int height);

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clWindow;
  bool parentColor_ = false;
  std::unique_ptr<TFont> font_;
  bool parentFont_ = true;
  bool updatingFont_ = false;  // the parent's font is being copied in
  std::string text_;
  TCursor cursor_ = crDefault;
  TCursor dragCursor_ = crDrag;
  TDragMode dragMode_ = dmManual;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TPopupMenu* popupMenu_ = nullptr;
  TAlign align_ = alNone;
  TControlStyle controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState controlState_ = 0;
};

// The form a control is on (the form itself for a form), or null.
TForm* GetParentForm(const TControl* control);

// ---- 5. TGraphicControl, TControlCanvas ---------------------------------------------

// A canvas on a control's place in its window. Outside a paint it makes its
// own context (gdi::GetDC of the window, origin moved to the control,
// clipped to it), which is let go after the event being handled (or when
// the control is freed); during a paint it borrows the paint context.
class TControlCanvas : public TCanvas {
  TOOLKIT_CLASS(TControlCanvas, TCanvas)
 public:
  explicit TControlCanvas(TControl* control) : control_(control) {}
  ~TControlCanvas() override;
  TControl* Control() const { return control_; }
  // Lets go of a context made by CreateHandle (not a borrowed one).
  void FreeHandle();
  // Lets go of every canvas's own context: called after each event.
  static void FreeDeviceContexts();

 protected:
  void CreateHandle() override;

 private:
  TControl* control_;
  gdi::HWND window_ = 0;  // the window of a context made here
  gdi::HDC ownDc_ = 0;
};

class TGraphicControl : public TControl {
  TOOLKIT_CLASS(TGraphicControl, TControl)
 public:
  explicit TGraphicControl(TComponent* owner);
  ~TGraphicControl() override;
  TCanvas* Canvas() const { return canvas_.get(); }
  void WndProc(TMessage& message) override;

 protected:
  // Draws the control in its own coordinates; the canvas is clipped to it.
  virtual void Paint() {}
  // Paints with WParam's context as the canvas.
  virtual void WMPaint(TMessage& message);

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// ---- 6. TWinControl, TCustomControl ---------------------------------------------------

// Children are kept in two z-ordered lists, windowless below windowed;
// Controls(i) counts the windowless first, each list back to front.
class TWinControl : public TControl {
  TOOLKIT_CLASS(TWinControl, TControl)
  friend class TControl;
  friend class TForm;
  friend struct ControlAccess;

 public:
  explicit TWinControl(TComponent* owner);
  ~TWinControl() override;

  int ControlCount() const;
  TControl* Controls(int index) const;  // EListError outside the list
  // Adds or removes a child; SetParent is the usual way.
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(const TControl* control) const;  // a descendant, or this
  // The topmost visible child at `pos` (client coordinates): windowless
  // first, windowed when `allowWinControls`; disabled ones only when
  // `allowDisabled`.
  TControl* ControlAtPos(const gdi::TPoint& pos, bool allowDisabled, bool allowWinControls = false) const;
  // The topmost visible windowed child at `pos`. Windowed children lie above
  // the windowless ones, so the mouse asks this first.
  TWinControl* WindowAtPos(const gdi::TPoint& pos, bool allowDisabled = false) const;
  // Sends `message` to each child until one sets Result.
  void Broadcast(TMessage& message);
  void NotifyControls(std::uint32_t msg);

  // The window number, registered with gdi on the form's surface at this
  // control's place (so gdi::GetDC(Handle()) draws there). Made when first
  // asked; registered again when the control moves.
  gdi::HWND Handle();
  bool HandleAllocated() const { return handle_ != 0; }
  void HandleNeeded() { Handle(); }

  // ---- focus and tab order
  // Index in the parent's tab order; setting moves it there (clamped).
  int TabOrder() const;
  void SetTabOrder(int order);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool tabStop);
  bool Focused() const;
  // Showing and enabled up to the form.
  virtual bool CanFocus() const;
  // Makes this the form's focused control: CM_EXIT to the old one, CM_ENTER
  // to this one, CM_FOCUSCHANGED to the form's controls, both repainted.
  virtual void SetFocus();
  // Windowed descendants in tab order (each before its own children).
  void GetTabOrderList(std::vector<TWinControl*>& list) const;
  // The next (or previous) descendant after `current` that can take the
  // focus, with a tab stop when `checkTabStop`; wraps; null when none.
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                               bool checkParent) const;
  // Moves the focus to FindNextControl's answer as Tab does (an edit field
  // reached so selects its text); nothing when there is none.
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

  // ---- layout and painting
  // Places the children with an Align other than alNone inside `rect`:
  // top, bottom, left, right, then client.
  virtual void AlignControls(TControl* control, gdi::TRect& rect);
  void Realign();
  void DisableAlign() { ++alignLevel_; }
  void EnableAlign();
  // Paints the windowless children from `first` (all when null) that lie
  // in `dc`'s clip, back to front, each moved to itself and clipped to it.
  void PaintControls(gdi::HDC dc, TControl* first);
  // Paints this window into its own context: background (unless csOpaque),
  // PaintWindow, windowless children, then windowed children. `clip` is
  // the area to paint in this control's client coordinates.
  void PaintHandler(const gdi::TRect& clip);

  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
  void SetBounds(int left, int top, int width, int height) override;
  void ChangeScale(int m, int d) override;
  void Loaded() override;

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  void WndProc(TMessage& message) override;

 protected:
  // The dialog navigation keys and typed letters this control keeps
  // (DLGC_ bits); WM_GETDLGCODE answers with it. Default: none.
  virtual unsigned GetDlgCode();
  // Paints the control's own look with the context of its window.
  virtual void PaintWindow(gdi::HDC dc) { (void)dc; }

  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void KeyUp(WORD& key, TShiftState shift);
  virtual void KeyPress(char& key);
  virtual void DoEnter();
  virtual void DoExit();

  // KeyDown/KeyUp/KeyPress with the message's key, written back; true when
  // the key was stopped (set to 0). The form's key preview is done by the
  // form before the key is sent here.
  bool DoKeyDown(TMessage& message);
  bool DoKeyUp(TMessage& message);
  bool DoKeyPress(TMessage& message);
  // Frees the child controls, last first (a parent frees its children,
  // whoever owns them).
  void DestroyChildControls();

  virtual void WMKeyDown(TMessage& message);
  virtual void WMKeyUp(TMessage& message);
  virtual void WMChar(TMessage& message);
  virtual void WMGetDlgCode(TMessage& message);
  virtual void WMSetFocus(TMessage& message);   // nothing
  virtual void WMKillFocus(TMessage& message);  // nothing
  virtual void WMPaint(TMessage& message);      // PaintWindow with WParam's context
  virtual void CMEnter(TMessage& message);      // DoEnter
  virtual void CMExit(TMessage& message);       // DoExit
  // Offered to every control; broadcast on to the children by default.
  // A push button takes Enter here when it is focused or the default one.
  void CMDialogKey(TMessage& message) override;
  // Accelerators: broadcast on to the children by default.
  void CMDialogChar(TMessage& message) override;
  virtual void CMFocusChanged(TMessage& message);  // broadcast on
  void CMColorChanged(TMessage& message) override;
  void CMFontChanged(TMessage& message) override;
  void CMVisibleChanged(TMessage& message) override;
  void CMEnabledChanged(TMessage& message) override;
  void CMParentShowHintChanged(TMessage& message) override;

  virtual bool IsTabStopStored() const { return tabStop_; }  // TabStop != false

 private:
  // Whether child `c` is visible (and enabled, unless allowed) and takes `pos`.
  static bool ChildAt(const TControl* c, const gdi::TPoint& pos, bool allowDisabled);
  // Registers the window with the surface it lives on, or takes it off.
  void SyncWindowSurface();
  void SyncWindowSurfaces();  // this and all windowed descendants
  void ReleaseWindowSurfaces();

  std::vector<TControl*> controls_;     // windowless, back to front
  std::vector<TControl*> winControls_;  // windowed, back to front
  std::vector<TWinControl*> tabList_;   // windowed children in tab order
  gdi::HWND handle_ = 0;
  TForm* popupHost_ = nullptr;  // the form showing this control as a pop-up
  bool tabStop_ = false;
  int alignLevel_ = 0;
  int pendingTabOrder_ = -1;  // from a stream, applied when loaded
};

// A windowed control that draws itself on its canvas.
class TCustomControl : public TWinControl {
  TOOLKIT_CLASS(TCustomControl, TWinControl)
 public:
  explicit TCustomControl(TComponent* owner);
  ~TCustomControl() override;
  TCanvas* Canvas() const { return canvas_.get(); }

 protected:
  virtual void Paint() {}
  void PaintWindow(gdi::HDC dc) override;

 private:
  std::unique_ptr<TControlCanvas> canvas_;
};

// Registers the classes and identifiers streams of controls need (TCursor
// names, colour names, TPopupMenu). Application.Initialize calls it; safe
// to call again.
void RegisterControlClasses();

}  // namespace toolkit
