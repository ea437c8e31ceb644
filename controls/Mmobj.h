// The library's common ground:
//   1. TMMObject      a persistent object that reports changes, in brackets
//   2. TMMBevel       nested three-dimensional frame rings
//   3. components     TMMComponent, TMMNonVisualComponent, TMMCommonDialog
//   4. controls       TMMGraphicControl, TMMWinControl, TMMCustomControl,
//                     TMMCustomPanel
//   5. threads        TMMCriticalSection, TMMThreadEx
//   6. module         resource helpers, device-id names, start-up, shutdown
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "base/UpdateCounter.h"
#include "toolkit/Dialogs.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/SyncObjs.h"
#include "toolkit/Thread.h"

namespace controls {

using toolkit::TBevelCut;
using toolkit::TBorderStyle;
using toolkit::TColor;
using toolkit::TNotifyEvent;
using toolkit::TObject;

using TBevelWidth = std::int32_t;   // 1 and up
using TBorderWidth = std::int32_t;  // 0 and up

// ---- 1. TMMObject ---------------------------------------------------------------------

// Changing reports OnChanging, Changed reports OnChange, both only outside
// an update bracket. The outermost BeginUpdate reports OnChanging and the
// EndUpdate that closes it OnChange, whatever happened in between.
class TMMObject : public toolkit::TPersistent {
  TOOLKIT_CLASS(TMMObject, toolkit::TPersistent)
 public:
  void BeginUpdate();
  // Not guarded: an unmatched EndUpdate takes the count below 0.
  void EndUpdate();
  int UpdateCount() const { return updates_.Count(); }

  TNotifyEvent OnChanging;
  TNotifyEvent OnChange;

 protected:
  virtual void SetUpdateState(bool updating);
  virtual void Changing();
  virtual void Changed();

 private:
  base::UpdateCounter updates_;
};

// ---- 2. TMMBevel ----------------------------------------------------------------------

// From the outside in: a one-pixel window frame (bsSingle), the outer bevel,
// BorderWidth rings of BorderColor, the inner bevel, BorderSpace rings of
// BorderSpaceColor.
class TMMBevel : public TMMObject {
  TOOLKIT_CLASS(TMMBevel, TMMObject)
 public:
  TMMBevel();

  // Copies every property of another bevel in one update bracket; anything
  // else goes to the default assignment (which fails). Copying a bevel onto
  // itself changes and reports nothing.
  void Assign(const toolkit::TPersistent* source) override;

  // How far the rings reach in from each side of a rectangle.
  int GetBevelExtend() const;
  // Paints the rings into `rect` and returns what they leave inside. With
  // `paintBorder` false the BorderWidth rings keep their pixels.
  virtual gdi::TRect PaintBevel(toolkit::TCanvas* canvas, const gdi::TRect& rect, bool paintBorder);

  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  TBevelWidth BevelInnerWidth() const { return bevelInnerWidth_; }
  void SetBevelInnerWidth(TBevelWidth value);
  TBevelWidth BevelOuterWidth() const { return bevelOuterWidth_; }
  void SetBevelOuterWidth(TBevelWidth value);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle value);
  TBorderWidth BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(TBorderWidth value);
  TBorderWidth BorderSpace() const { return borderSpace_; }
  void SetBorderSpace(TBorderWidth value);

  // The six colours by index: 0 BorderColor, 1 BorderSpaceColor,
  // 2 InnerLightColor, 3 InnerShadowColor, 4 OuterLightColor,
  // 5 OuterShadowColor. Another index stores nothing but still reports.
  void SetColors(int index, TColor color);
  TColor BorderColor() const { return colors_[0]; }
  TColor BorderSpaceColor() const { return colors_[1]; }
  TColor InnerLightColor() const { return colors_[2]; }
  TColor InnerShadowColor() const { return colors_[3]; }
  TColor OuterLightColor() const { return colors_[4]; }
  TColor OuterShadowColor() const { return colors_[5]; }
  void SetBorderColor(TColor c) { SetColors(0, c); }
  void SetBorderSpaceColor(TColor c) { SetColors(1, c); }
  void SetInnerLightColor(TColor c) { SetColors(2, c); }
  void SetInnerShadowColor(TColor c) { SetColors(3, c); }
  void SetOuterLightColor(TColor c) { SetColors(4, c); }
  void SetOuterShadowColor(TColor c) { SetColors(5, c); }

 private:
  template <typename T>
  void Store(T& field, T value);

  TBevelCut bevelInner_;
  TBevelCut bevelOuter_;
  TBevelWidth bevelInnerWidth_;
  TBevelWidth bevelOuterWidth_;
  TBorderStyle borderStyle_;
  TBorderWidth borderWidth_;
  TBorderWidth borderSpace_;
  TColor colors_[6];
};

// ---- 3. components --------------------------------------------------------------------

class TMMComponent : public toolkit::TComponent {
  TOOLKIT_CLASS(TMMComponent, toolkit::TComponent)
 public:
  explicit TMMComponent(toolkit::TComponent* owner) : TComponent(owner) {}
  // Calls ChangeDesigning when the designing state is to change.
  virtual void DesigningChanged(bool designing);
  // Sets the designing state here and on every owned component.
  virtual void ChangeDesigning(bool designing);
};

class TMMNonVisualComponent : public TMMComponent {
  TOOLKIT_CLASS(TMMNonVisualComponent, TMMComponent)
 public:
  explicit TMMNonVisualComponent(toolkit::TComponent* owner) : TMMComponent(owner) {}
};

class TMMCommonDialog : public toolkit::TCommonDialog {
  TOOLKIT_CLASS(TMMCommonDialog, toolkit::TCommonDialog)
 public:
  explicit TMMCommonDialog(toolkit::TComponent* owner) : TCommonDialog(owner) {}
};

// ---- 4. controls ----------------------------------------------------------------------

// `point`, in the client coordinates of `other`, in those of `control`.
gdi::TPoint ClientToClient(const toolkit::TControl* control, const toolkit::TControl* other,
                           const gdi::TPoint& point);

// What the control bases with a bevel share: the bevel, created with the
// control and freed before it; every change of the bevel calls Changed.
template <typename Base>
class TMMBevelledControl : public Base {
 public:
  explicit TMMBevelledControl(toolkit::TComponent* owner);
  ~TMMBevelledControl() override;

  TMMBevel* Bevel() const { return bevel_.get(); }
  // The bevel copies `bevel`; it never takes it.
  void SetBevel(const TMMBevel* bevel) { bevel_->Assign(bevel); }
  int BevelExtend() const { return bevel_ ? bevel_->GetBevelExtend() : 0; }
  // The control's rectangle less the bevel on each side.
  gdi::TRect BeveledRect() const;
  // `rect` (client coordinates) in screen coordinates.
  gdi::TRect ScreenRect(const gdi::TRect& rect) const;
  gdi::TPoint ClientToClient(const toolkit::TControl* other, const gdi::TPoint& point) const {
    return controls::ClientToClient(this, other, point);
  }

  virtual void DesigningChanged(bool designing);
  virtual void ChangeDesigning(bool designing);

 protected:
  virtual void BevelChanged(TObject* sender);
  // A later repaint.
  virtual void Changed() { this->Invalidate(); }

 private:
  std::unique_ptr<TMMBevel> bevel_;
};

// The windowless base. It paints its bevel and, unless Transparent, fills
// what the bevel leaves with its colour.
class TMMGraphicControl : public TMMBevelledControl<toolkit::TGraphicControl> {
  TOOLKIT_CLASS(TMMGraphicControl, toolkit::TGraphicControl)
 public:
  explicit TMMGraphicControl(toolkit::TComponent* owner);

  bool Transparent() const { return transparent_; }
  // A transparent control lets what lies below show through (it is no
  // longer opaque); a change repaints at once.
  void SetTransparent(bool value);

 protected:
  void Paint() override;

 private:
  bool transparent_ = false;
};

class TMMWinControl : public toolkit::TWinControl {
  TOOLKIT_CLASS(TMMWinControl, toolkit::TWinControl)
 public:
  explicit TMMWinControl(toolkit::TComponent* owner) : TWinControl(owner) {}
  gdi::TPoint ClientToClient(const toolkit::TControl* other, const gdi::TPoint& point) const {
    return controls::ClientToClient(this, other, point);
  }
  virtual void DesigningChanged(bool designing);
  virtual void ChangeDesigning(bool designing);
};

class TMMCustomControl : public TMMBevelledControl<toolkit::TCustomControl> {
  TOOLKIT_CLASS(TMMCustomControl, toolkit::TCustomControl)
 public:
  explicit TMMCustomControl(toolkit::TComponent* owner);

 protected:
  void Paint() override;
};

using TMMPanelFillEvent = toolkit::TEvent<TObject*, toolkit::TCanvas*, const gdi::TRect&>;

// A panel framed by its own bevel instead of the framework panel's frame;
// child controls are aligned inside the bevel.
class TMMCustomPanel : public TMMBevelledControl<toolkit::TCustomPanel> {
  TOOLKIT_CLASS(TMMCustomPanel, toolkit::TCustomPanel)
 public:
  explicit TMMCustomPanel(toolkit::TComponent* owner);

  // Whether the bevel's BorderWidth rings are painted.
  bool FillBevel() const { return fillBevel_; }
  void SetFillBevel(bool value);

  void AlignControls(toolkit::TControl* control, gdi::TRect& rect) override;

  // Set: the panel paints nothing but calls this.
  TNotifyEvent OnCustomPaint;
  // Set: called to fill the face inside the bevel instead of the panel's
  // colour.
  TMMPanelFillEvent OnFill;

 protected:
  void Paint() override;
  void BevelChanged(TObject* sender) override;

 private:
  bool fillBevel_ = true;
};

// ---- 5. threads -----------------------------------------------------------------------

// A critical section that counts its holders (entered and waiting), so that
// TryEnter can refuse at once when anyone has it.
class TMMCriticalSection : public toolkit::TCriticalSection {
  TOOLKIT_CLASS(TMMCriticalSection, toolkit::TCriticalSection)
 public:
  void Acquire() override;
  void Release() override;
  // Enters when nobody holds or waits for the section; false otherwise, also
  // for the thread that holds it. The count is read before entering, so a
  // thread that comes in between makes this wait for it.
  bool TryEnter();
  int LockCount() const { return lockCount_; }

 private:
  std::atomic<int> lockCount_{0};
};

class TMMThreadEx : public toolkit::TThread {
  TOOLKIT_CLASS(TMMThreadEx, toolkit::TThread)
 public:
  // Idle to time-critical: -15, -2, -1, 0, 1, 2, 15 on the thread.
  void SetPriority(toolkit::TThreadPriority priority) override;
};

// ---- 6. module ------------------------------------------------------------------------

// Whether `object` is of `info`'s class or one derived from it.
bool InheritsFromEx(const TObject* object, const toolkit::TClassInfo& info);

// The program's own resources by the library's numbering: strings from
// 28000, cursors from 2000, icons from 3000 up.
std::string LoadResStr(std::uint16_t id);
// An empty image (width 0) when there is no such cursor.
platform::CursorImage LoadResCursor(std::uint16_t id);
// Null when there is no such icon.
std::unique_ptr<toolkit::TIcon> LoadResIcon(std::uint16_t id);

// MIDI and wave device numbers, with two named values.
using TMMDeviceId = std::int32_t;
constexpr TMMDeviceId MapperId = -1;
constexpr TMMDeviceId InvalidId = -2;
// "MapperId" and "InvalidId", in any case; false for anything else.
bool IdentToDeviceId(const std::string& ident, std::int64_t& id);
bool DeviceIdToIdent(std::int64_t id, std::string& ident);

// The cursors the module puts into the screen's table, 2001 to 2031.
constexpr int kFirstLibraryCursor = 2001;
constexpr int kLibraryCursorCount = 31;

// Loads the library's cursors into the screen's table and registers the
// device-id names with streaming. Runs once however often it is called;
// each call is matched by MmobjShutdown.
void MmobjStartup();
void MmobjShutdown();

}  // namespace controls
