// Forms, the application and the screen.
//
// A form owns a 32-bit surface the size of its client area, the rectangle
// of it that needs painting, an overlay for pop-ups, and its platform
// window once shown. The application pumps the backend's events into the
// active form, then paints what was marked and presents every shown form.
//
// Index
//   1. TIcon                4. TApplication
//   2. TForm                5. TScreen and cursors
//   3. form resources
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "platform/WindowBackend.h"
#include "toolkit/Controls.h"

namespace toolkit {

// ---- 1. TIcon -----------------------------------------------------------------

// The images of a .ico file, kept with the file's bytes so that they are
// written back unchanged ("Icon.Data" in a form stream).
class TIcon : public TPersistent {
  TOOLKIT_CLASS(TIcon, TPersistent)
 public:
  TIcon() = default;
  const std::vector<platform::IconImage>& Images() const { return images_; }
  bool Empty() const { return data_.empty(); }
  // Reads a .ico file image. Entries stored as BMP (1, 4, 8, 24 or 32 bits,
  // with the AND mask) are decoded; PNG entries are skipped. A malformed
  // file raises EInvalidGraphic and keeps what the icon had.
  void LoadFromBytes(const std::uint8_t* data, std::size_t size);
  void LoadFromStream(TStream& stream);
  void LoadFromFile(const std::string& fileName);
  void Clear();
  const std::vector<std::uint8_t>& Data() const { return data_; }

  void Assign(const TPersistent* source) override;
  void DefineProperties(TFiler& filer) override;  // "Data": the .ico bytes

  TNotifyEvent OnChange;

 private:
  std::vector<std::uint8_t> data_;
  std::vector<platform::IconImage> images_;
};

// ---- 2. TForm -------------------------------------------------------------------

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition {
  poDesigned,
  poDefault,
  poDefaultPosOnly,
  poDefaultSizeOnly,
  poScreenCenter,
  poDesktopCenter,
  poMainFormCenter,
  poOwnerFormCenter,
};
enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = TEvent<TObject*, TCloseAction&>;
using TCloseQueryEvent = TEvent<TObject*, bool&>;

extern const TEnumInfo kFormBorderStyleNames;
extern const TEnumInfo kPositionNames;

// Left, Top, Width and Height are the outer frame's, on the screen; the
// children live in the client area (ClientWidth × ClientHeight).
class TForm : public TWinControl {
  TOOLKIT_CLASS(TForm, TWinControl)
  friend struct ControlAccess;

 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;

  // Reads the form description registered for the class, if there is one,
  // then runs OnCreate (an exception there is shown and creation goes on).
  // Application->CreateForm calls it; a form made with `new` calls it once
  // its constructor is done. Shows the form when the description says
  // Visible.
  virtual void AfterConstruction();

  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle style);
  TPosition Position() const { return position_; }
  void SetPosition(TPosition position) { position_ = position; }
  TIcon* Icon() const { return icon_.get(); }
  void SetIcon(const TIcon* icon) { icon_->Assign(icon); }
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool keyPreview) { keyPreview_ = keyPreview; }
  // Kept for streams; forms are not scaled.
  int PixelsPerInch() const { return pixelsPerInch_; }
  void SetPixelsPerInch(int value) { pixelsPerInch_ = value; }
  int TextHeight() const { return textHeight_; }
  void SetTextHeight(int value) { textHeight_ = value; }
  bool OldCreateOrder() const { return oldCreateOrder_; }
  void SetOldCreateOrder(bool value) { oldCreateOrder_ = value; }

  // The focused control (null: the form itself). Setting it on a shown
  // form moves the focus; before, it is where the focus starts.
  TWinControl* ActiveControl() const { return activeControl_; }
  void SetActiveControl(TWinControl* control);
  // The form's own canvas, for OnPaint.
  TCanvas* Canvas() const { return canvas_.get(); }

  gdi::TRect GetClientRect() const override;
  void SetClientWidth(int width) override;
  void SetClientHeight(int height) override;
  gdi::TPoint ClientOrigin() const override;
  void SetBounds(int left, int top, int width, int height) override;
  // Forms have no parent: EInvalidOperation.
  void SetParent(TWinControl* parent) override;

  // ---- window
  // Show opens the platform window (with the application's backend) and
  // shows it with the surface painted; Hide closes it.
  // OnCloseQuery, OnClose; hides the form (the main form ends the
  // application, caFree frees the form after the event).
  void Close();
  // Frees the form once the event being handled is done.
  void Release();
  platform::Window* Window() const { return window_.get(); }

  // ---- painting
  void Invalidate() override;
  // Marks `rect` (client coordinates) for the next paint.
  void InvalidateRect(const gdi::TRect& rect);
  gdi::TRect DirtyRect() const { return dirty_; }
  // Paints the marked area now: the form's colour, OnPaint, the windowless
  // controls back to front, the windowed controls, then the pop-ups; and
  // shows the result on the window before it returns.
  void Update() override;
  // The surface (client area, 32 bits a pixel) and the overlay.
  gdi::HBITMAP Surface() const { return surface_; }
  // The surface's pixel (0x00BBGGRR), pop-ups not included.
  gdi::COLORREF SurfacePixel(int x, int y) const;
  // Hands the surface, with the pop-ups composited on top, to the window.
  void Present();

  // ---- pop-ups
  // A pop-up is a parentless windowed control shown above everything else
  // of the form (a combo box's drop-down list), its Left and Top in the
  // form's client coordinates. The mouse goes to a pop-up under the
  // pointer before any other control. The form does not own pop-ups.
  void ShowPopup(TWinControl* popup);
  void HidePopup(TWinControl* popup);
  int PopupCount() const { return static_cast<int>(popups_.size()); }
  TWinControl* Popups(int index) const;

  // ---- input
  // Routes one backend event (mouse, keys, text, close, expose).
  void DispatchEvent(const platform::Event& event);
  // The control the pointer was last seen over (for enter and leave).
  TControl* MouseControl() const { return mouseControl_; }
  TControl* CaptureControl() const { return captureControl_; }
  void SetCaptureControl(TControl* control);
  // The control the mouse goes to at `point` (client coordinates).
  TControl* FindTarget(const gdi::TPoint& point) const;
  // Sets the cursor the window shows from the control under the pointer.
  void UpdateCursor();
  // Lets go of capture, focus and pointer tracking of `control` and its
  // children (called when they go away).
  void ControlGone(TControl* control);

  // ---- drag and drop (TControl::BeginDrag and friends)
  void BeginDragOf(TControl* source, bool immediate, int threshold);
  void EndDragOf(TControl* source, bool drop);
  TControl* DragSource() const { return dragSource_; }

  void Notification(TComponent* component, TOperation operation) override;
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
  void Loaded() override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnPaint;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

 protected:
  virtual void Paint() { OnPaint(this); }
  void PaintWindow(gdi::HDC dc) override;
  virtual void DoCreate();
  virtual void DoDestroy();
  virtual bool CloseQuery();
  // Tab and Shift+Tab move the focus. An arrow on a focused control whose
  // GetDlgCode has DLGC_RADIOBUTTON focuses the previous or next such
  // sibling (in tab order, wrapping) and calls its Click. Other keys are
  // offered to the controls.
  void CMDialogKey(TMessage& message) override;
  void CMVisibleChanged(TMessage& message) override;
  void CMTextChanged(TMessage& message) override;

  bool IsColorStored() const override;                  // Color != clBtnFace
  bool IsParentFontStored() const override;             // ParentFont != false
  bool IsVisibleStored() const override;                // Visible != false
  bool IsSizeStored() const override { return false; }  // the client size is
  bool IsIconStored() const { return !icon_->Empty(); }

 private:
  // Focus, in FocusControl.cpp.
  friend class TWinControl;
  void FocusControl(TWinControl* control, bool byTab);
  // Input, in MouseRouting.cpp and KeyRouting.cpp.
  void RouteMouse(const platform::Event& event);
  void TrackMouse(const gdi::TPoint& point, bool inside);
  void RouteKeyDown(const platform::Event& event);
  void RouteKeyUp(const platform::Event& event);
  void RouteText(const platform::Event& event);
  void SendChar(char c, TShiftState shift, bool offerAsAccelerator);
  bool DialogChar(char c, TShiftState shift);
  TWinControl* KeyTarget();
  // Window and surface, in Forms.cpp.
  void MakeSurface();
  void FreeSurface();
  void OpenWindow();
  void CloseWindow();
  int FrameWidth() const;
  int FrameTop() const;
  void PaintPopups(const gdi::TRect& clip);

  TFormBorderStyle borderStyle_ = bsSizeable;
  TPosition position_ = poDesigned;
  std::unique_ptr<TIcon> icon_;
  std::unique_ptr<TControlCanvas> canvas_;
  bool keyPreview_ = false;
  int pixelsPerInch_ = 96;
  int textHeight_ = 13;
  bool oldCreateOrder_ = false;
  int clientWidth_ = 0, clientHeight_ = 0;
  TWinControl* activeControl_ = nullptr;

  gdi::HBITMAP surface_ = 0;
  gdi::HBITMAP overlay_ = 0;
  gdi::TRect dirty_{};
  bool painting_ = false;
  std::vector<TWinControl*> popups_;
  std::unique_ptr<platform::Window> window_;
  std::vector<std::uint32_t> presented_;  // the composited frame

  TControl* captureControl_ = nullptr;
  TControl* mouseControl_ = nullptr;
  bool pointerInside_ = false;
  gdi::TPoint lastPoint_{};
  const platform::CursorImage* shownCursor_ = nullptr;
  bool cursorShown_ = false;
  unsigned buttons_ = 0;       // mouse buttons held (ssLeft, ssRight, ssMiddle)
  TShiftState keyShift_ = 0;   // modifiers at the last key event, for text
  bool suppressText_ = false;  // the key-down before was taken as an accelerator
  bool closing_ = false;

  // A drag: armed by BeginDrag, active once past the threshold.
  // True when the drag took the mouse event.
  bool RouteDragMouse(const platform::Event& event);
  void StartDrag();
  void DragTo(const gdi::TPoint& point);
  void FinishDrag(bool drop);
  TControl* dragSource_ = nullptr;
  TControl* dragTarget_ = nullptr;
  gdi::TPoint dragStart_{};
  int dragThreshold_ = 0;
  bool dragActive_ = false;
  bool dragAccepted_ = false;
  TCursor cursorBeforeDrag_ = crDefault;
};

// ---- 3. form resources ------------------------------------------------------------

// The stored description (binary form stream) of a form class, looked up
// by the class name upper-cased when a form of that class is created. The
// bytes are copied.
void RegisterFormResource(const std::string& className, const std::uint8_t* data, std::size_t size);
void UnregisterFormResource(const std::string& className);
const std::vector<std::uint8_t>* FindFormResource(const std::string& className);

// ---- 4. TApplication ------------------------------------------------------------------

using TExceptionEvent = TEvent<TObject*, const std::exception&>;

class TApplication : public TComponent {
  TOOLKIT_CLASS(TApplication, TComponent)
 public:
  explicit TApplication(TComponent* owner);
  ~TApplication() override;

  // Registers the framework's classes and identifiers and picks the SDL
  // backend unless one was set. Forms owned by the application are freed
  // at exit.
  void Initialize();
  // Uses `backend` from now on (tests give the headless one); starts the
  // session afresh: not terminated, no main form.
  void SetBackend(std::unique_ptr<platform::Backend> backend);
  platform::Backend* Backend() const { return backend_.get(); }

  // The message box title; the program's name until set.
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title) { title_ = title; }

  // Creates a form owned by the application, sets `reference`, reads its
  // stored description and runs OnCreate. The first form made so is the
  // main form.
  template <typename T>
  void CreateForm(T*& reference) {
    T* form = new T(this);
    reference = form;
    try {
      FormCreated(form);
    } catch (...) {
      reference = nullptr;
      throw;
    }
  }
  TForm* MainForm() const { return mainForm_; }

  // Shows the main form and handles events until the main form closes or
  // Terminate is called (or the backend says no event will ever come). An
  // exception while the main form is shown is shown and the loop goes on,
  // except EWindowError: a main form without its window could never close,
  // so that one leaves Run for the caller to report.
  void Run();
  // Handles every event waiting now, without waiting for more.
  void ProcessMessages();
  // Waits for one event and handles it; false when none came.
  bool HandleMessage();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }

  // Hands one event to the active form; an exception is shown and the
  // loop goes on. Then paints what is marked and presents.
  void DispatchEvent(const platform::Event& event);
  // Paints every form's marked area and presents the shown forms.
  void UpdateAndPresent();

  // The message box: title Title, text the message (a full stop added, see
  // ExceptionText), error icon, OK.
  void ShowException(const std::exception& e);
  // "Abc" -> "Abc.": a full stop is added when the message is not empty and
  // its last character sorts after '.'.
  static std::string ExceptionText(const std::string& message);
  // Inside a catch block: OnException if set, else ShowException (EAbort
  // is silent).
  void HandleException(TObject* sender);

  void Notification(TComponent* component, TOperation operation) override;

  TExceptionEvent OnException;

 private:
  friend class TForm;
  void FormCreated(TForm* form);
  void FormGone(TForm* form);
  void FreeReleasedForms();

  std::vector<TForm*> released_;
  std::unique_ptr<platform::Backend> backend_;
  std::string title_;
  TForm* mainForm_ = nullptr;
  bool terminated_ = false;
  bool exitHookSet_ = false;
};

extern TApplication* Application;

// ---- 5. TScreen and cursors ---------------------------------------------------------

class TScreen : public TComponent {
  TOOLKIT_CLASS(TScreen, TComponent)
  friend class TForm;

 public:
  explicit TScreen(TComponent* owner);
  ~TScreen() override;

  // The image of a cursor: the standard ones are drawn by code, others are
  // what SetCursorImage gave; crDefault is the arrow; unknown: the arrow.
  const platform::CursorImage* Cursors(TCursor cursor);
  void SetCursorImage(TCursor cursor, platform::CursorImage image);
  // A cursor shown over every control while not crDefault (an hourglass
  // during a long job).
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);

  // The primary screen, from the backend (0 without one).
  int Width() const;
  int Height() const;

  int FormCount() const { return static_cast<int>(forms_.size()); }
  TForm* Forms(int index) const;
  // The form that gets input: the one shown last that is still shown.
  TForm* ActiveForm() const;
  TWinControl* ActiveControl() const;

 private:
  void AddForm(TForm* form);
  void RemoveForm(TForm* form);
  void FormShown(TForm* form);

  std::vector<TForm*> forms_;
  std::vector<TForm*> shownOrder_;
  std::vector<std::pair<TCursor, std::unique_ptr<platform::CursorImage>>> cursors_;
  TCursor cursor_ = crDefault;
};

extern TScreen* Screen;

// The standard cursor images (32 × 32, black outline on white), or an empty
// image for numbers that are not standard cursors.
platform::CursorImage StandardCursorImage(TCursor cursor);

}  // namespace toolkit
