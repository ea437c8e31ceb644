// The standard controls: label, push button, radio button and the editable
// drop-down combo box, with the classic look of each.
//
// Index
//   1. shared types and helpers     4. TButton
//   2. TLabel                       5. TRadioButton
//   3. TButtonControl               6. TComboBox
//
// RegisterStdControls registers these classes and those of ExtCtrls.h and
// Dialogs.h with the stream reader.
#pragma once

#include <memory>
#include <string>

#include "toolkit/Controls.h"

namespace toolkit {

// ---- 1. shared types and helpers ---------------------------------------------------

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
// The side a check mark's caption stands on: taRightJustify puts it right
// of the mark.
using TLeftRight = TAlignment;
enum TTextLayout { tlTop, tlCenter, tlBottom };
using TModalResult = int;

extern const TEnumInfo kAlignmentNames;
extern const TEnumInfo kTextLayoutNames;

// Whether `c` is the letter a caption marks with "&" (case ignored; "&&"
// marks nothing).
bool IsAccel(char c, const std::string& caption);

// Registers the standard control classes with streams; safe to call again.
void RegisterStdControls();

// ---- 2. TLabel -----------------------------------------------------------------------------

class TLabel : public TGraphicControl {
  TOOLKIT_CLASS(TLabel, TGraphicControl)
 public:
  explicit TLabel(TComponent* owner);
  ~TLabel() override;

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  // Exactly as large as the caption (in its font, wrapped at the current
  // width with WordWrap); follows caption, font and layout changes.
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool show);
  // No background fill: what lies below shows around the letters.
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout layout);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wordWrap);
  // The control the caption's accelerator focuses.
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* control);

  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

 protected:
  void Paint() override;
  // Draws (or with DT_CALCRECT measures) the caption in `rect` with the
  // label's DrawText flags added to `flags`.
  virtual void DoDrawText(gdi::TRect& rect, unsigned flags);
  virtual void AdjustBounds();

  void CMTextChanged(TMessage& message) override;
  void CMFontChanged(TMessage& message) override;
  void CMDialogChar(TMessage& message) override;

  bool IsColorStored() const override;
  bool IsParentColorStored() const override;

 private:
  void UpdateOpaque();

  TAlignment alignment_ = taLeftJustify;
  bool autoSize_ = true;
  bool showAccelChar_ = true;
  bool transparent_ = false;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  TWinControl* focusControl_ = nullptr;
};

// ---- 3. TButtonControl ---------------------------------------------------------------------

// What push and radio buttons share: they take the focus when pressed, a
// double click is two clicks, and they are held down by the left mouse
// button (while the pointer is inside) or by Space, which clicks on release.
class TButtonControl : public TCustomControl {
  TOOLKIT_CLASS(TButtonControl, TCustomControl)
 public:
  explicit TButtonControl(TComponent* owner);

  // Whether the face is drawn pushed in now.
  bool Pressed() const { return (mouseDown_ && mouseInside_) || spaceDown_; }

 protected:
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void WMLButtonUp(TMessage& message) override;
  void WMCancelMode(TMessage& message) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyUp(WORD& key, TShiftState shift) override;
  void WMKillFocus(TMessage& message) override;

 private:
  void SetLook(bool mouseDown, bool mouseInside, bool spaceDown);

  bool mouseDown_ = false;    // the left button went down on it
  bool mouseInside_ = false;  // ... and the pointer is inside now
  bool spaceDown_ = false;    // Space is held on it
};

// ---- 4. TButton ---------------------------------------------------------------------------------

class TButton : public TButtonControl {
  TOOLKIT_CLASS(TButton, TButtonControl)
 public:
  explicit TButton(TComponent* owner);
  ~TButton() override;

  // Enter clicks a default button while no other push button has the focus.
  bool Default() const { return default_; }
  void SetDefault(bool value);
  // Escape clicks a cancel button.
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult value) { modalResult_ = value; }

 protected:
  void Paint() override;
  unsigned GetDlgCode() override;
  void CMDialogKey(TMessage& message) override;
  void CMDialogChar(TMessage& message) override;

  bool IsColorStored() const override;
  bool IsTabStopStored() const override { return !TabStop(); }

 private:
  // Focused, or the default button while no push button is focused.
  bool Active() const;

  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = 0;
};

// ---- 5. TRadioButton ---------------------------------------------------------------------

// The radio buttons with one parent are one group: checking one unchecks
// the others. A radio button has a tab stop exactly when it is checked.
class TRadioButton : public TButtonControl {
  TOOLKIT_CLASS(TRadioButton, TButtonControl)
 public:
  explicit TRadioButton(TComponent* owner);
  ~TRadioButton() override;

  bool Checked() const { return checked_; }
  // Unchecks the siblings when set; no OnClick.
  void SetChecked(bool checked);
  TLeftRight Alignment() const { return alignment_; }
  void SetAlignment(TLeftRight alignment);

  // What a user's click does: checks the button, and fires OnClick when it
  // was not checked before.
  void Click() override;

  // The place of the round mark and of the caption, in the control.
  gdi::TRect MarkRect() const;
  gdi::TRect CaptionRect() const;

  static constexpr int kMarkSize = 13;

 protected:
  void Paint() override;
  unsigned GetDlgCode() override;
  void CMDialogChar(TMessage& message) override;

  bool IsColorStored() const override;
  bool IsParentColorStored() const override;

 private:
  bool checked_ = false;
  TLeftRight alignment_ = taRightJustify;
};

// ---- 6. TComboBox --------------------------------------------------------------------------

// csDropDown: an edit field with a list; csDropDownList: the list only, the
// field shows the chosen entry. The other styles are kept for streams and
// behave as csDropDown.
enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
extern const TEnumInfo kComboBoxStyleNames;

class TComboBoxList;

class TComboBox : public TCustomControl {
  TOOLKIT_CLASS(TComboBox, TCustomControl)
  friend class TComboBoxList;

 public:
  explicit TComboBox(TComponent* owner);
  ~TComboBox() override;

  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle style);
  TStrings* Items() const { return items_.get(); }
  void SetItems(const TStrings* items) { items_->Assign(items); }
  // -1: no entry selected. Setting an entry puts it into the field; -1
  // empties the field; an index outside the list changes nothing.
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  // Setting the text selects the entry it equals (case ignored), if any.
  void SetText(const std::string& text) override;
  // The height of one entry of the list: the font's line unless set.
  int ItemHeight() const;
  void SetItemHeight(int height);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int count) { dropDownCount_ = count < 1 ? 1 : count; }
  // 0: no limit on typed text.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int length) { maxLength_ = length < 0 ? 0 : length; }

  // Empties the list and the field.
  void Clear();

  // ---- the edit field
  int SelStart() const { return caret_ < anchor_ ? caret_ : anchor_; }
  int SelLength() const { return caret_ < anchor_ ? anchor_ - caret_ : caret_ - anchor_; }
  std::string SelText() const;
  // Selects `length` characters from `start`; the caret goes to the end.
  void SetSelection(int start, int length);
  void SelectAll() { SetSelection(0, static_cast<int>(Text().size())); }
  int CaretPos() const { return caret_; }
  void CutToClipboard();
  void CopyToClipboard();
  void PasteFromClipboard();

  // ---- the list
  bool DroppedDown() const { return dropped_; }
  void SetDroppedDown(bool dropped);
  // The pop-up while dropped down, else null.
  TComboBoxList* DropList() const { return dropped_ ? list_ : nullptr; }

  // Where the parts lie, in the control: the edit field (inside the sunken
  // frame) and the arrow button.
  gdi::TRect FieldRect() const;
  gdi::TRect ButtonRect() const;

  TNotifyEvent OnChange;  // the user changed the text
  TNotifyEvent OnSelect;  // the user chose an entry (after OnClick)
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

  void Loaded() override;

 protected:
  void Paint() override;
  unsigned GetDlgCode() override;
  void WndProc(TMessage& message) override;

  virtual void Change();
  // OnSelect when set, else OnChange.
  virtual void Select();
  virtual void DropDown();
  virtual void CloseUp();

  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseMove(TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void KeyDown(WORD& key, TShiftState shift) override;
  void KeyPress(char& key) override;
  void WMKillFocus(TMessage& message) override;
  void CMFontChanged(TMessage& message) override;
  void CMEnabledChanged(TMessage& message) override;
  void CMVisibleChanged(TMessage& message) override;

  bool IsCaptionStored() const override { return false; }
  bool IsTextStored() const { return !Text().empty(); }
  bool IsTabStopStored() const override { return !TabStop(); }
  bool IsItemHeightStored() const { return ItemHeight() != 16; }

 private:
  bool Editable() const { return style_ != csDropDownList; }
  void OpenList(bool byPress);
  // `take`: the highlighted entry becomes the choice.
  void CloseList(bool take);
  // Takes entry `index` as the user's choice: field, OnClick, Select.
  void ChooseItem(int index);
  void StepItem(int delta, bool toEnd);
  // Replaces the selection with `text` as if typed (MaxLength applies).
  void TypeText(std::string text);
  // The text the user made: matched against the entries, OnChange.
  void EditText(const std::string& text, int caret);
  void MoveCaret(int pos, bool extend);
  void SearchItem(char c);
  int CharAt(int x) const;
  int TextX(int pos) const;
  int TextTop() const;
  void ScrollCaretIntoView();
  void ItemsChanged();
  int MatchText(const std::string& text) const;

  std::unique_ptr<TStrings> items_;
  TComboBoxStyle style_ = csDropDown;
  int itemIndex_ = -1;
  int pendingIndex_ = -1;  // from a stream, applied when loaded
  int itemHeight_ = 0;     // 0: the font's
  int dropDownCount_ = 8;
  int maxLength_ = 0;
  int caret_ = 0;           // the active end of the selection
  int anchor_ = 0;          // the other end
  int scroll_ = 0;          // pixels of text scrolled out at the left
  bool selecting_ = false;  // the mouse is extending the selection
  bool dropped_ = false;
  TComboBoxList* list_ = nullptr;  // owned by this (components), made when first dropped
};

// The combo box's drop-down list: a pop-up over the form, with a scroll
// bar when there are more entries than DropDownCount. It holds the mouse
// while it is shown: a press outside closes it unchanged.
class TComboBoxList : public TCustomControl {
  TOOLKIT_CLASS(TComboBoxList, TCustomControl)
 public:
  explicit TComboBoxList(TComboBox* combo);

  TComboBox* Combo() const { return combo_; }
  // The highlighted entry (-1: none) and the first entry shown.
  int HotIndex() const { return hot_; }
  void SetHotIndex(int index);
  int TopIndex() const { return top_; }
  void SetTopIndex(int index);
  // Scrolls as little as needed to show entry `index`.
  void MakeVisible(int index);
  // Entries shown at once.
  int Rows() const;
  bool HasScrollBar() const;
  // In the list's coordinates.
  gdi::TRect ItemRect(int index) const;
  gdi::TRect ScrollBarRect() const;
  gdi::TRect UpButtonRect() const;
  gdi::TRect DownButtonRect() const;
  gdi::TRect ThumbRect() const;
  // Whether the press that opened the list is still held.
  bool OpeningPressHeld() const { return openingPress_; }

  static constexpr int kScrollBarWidth = 16;

 protected:
  void Paint() override;
  void WndProc(TMessage& message) override;

 private:
  friend class TComboBox;
  // Sizes and places the list under the field (above when it does not fit
  // below but does above).
  void Place();
  int ItemAt(int x, int y) const;
  int MaxTop() const;
  int ItemsRight() const;
  void PressAt(int x, int y);
  void MoveTo(int x, int y, bool held);
  void ReleaseAt(int x, int y);

  TComboBox* combo_;
  int hot_ = -1;
  int top_ = 0;
  bool tracking_ = false;      // a press is choosing an entry: the release takes it
  bool openingPress_ = false;  // the list was opened by a press still held
  int thumbGrab_ = -1;         // the thumb is dragged, held this far below its top
};

}  // namespace toolkit
