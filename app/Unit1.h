// The main window: the port list, the model switch, "Scan", and the
// screenshot command on any typed character or a click on the camera.
#pragma once

#include <vector>

#include "controls/Mmbmpbtn.h"
#include "controls/Mmbmplst.h"
#include "midi/MidiTypes.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

class TOrbiscope : public toolkit::TForm {
  TOOLKIT_CLASS(TOrbiscope, toolkit::TForm)

 public:
  explicit TOrbiscope(toolkit::TComponent* owner);

  // Controls, set from the window's description when it is read.
  toolkit::TImage* Hintergrund = nullptr;
  toolkit::TRadioButton* RB1 = nullptr;
  toolkit::TRadioButton* RB2 = nullptr;
  toolkit::TComboBox* MidiOutputs = nullptr;
  toolkit::TButton* Button1 = nullptr;
  toolkit::TLabel* Label3 = nullptr;
  toolkit::TLabel* Label2 = nullptr;
  toolkit::TLabel* Label5 = nullptr;
  toolkit::TLabel* Label1 = nullptr;
  toolkit::TLabel* Label4 = nullptr;
  toolkit::TLabel* Shoot = nullptr;
  toolkit::TImage* SCR = nullptr;
  controls::TMMBitmapList* MMBitmapList1 = nullptr;
  controls::TMMBitmapButton* MMBitmapButton1 = nullptr;

  // Handlers, bound by name from the description.
  void FormCreate(toolkit::TObject* sender);
  void Button1Click(toolkit::TObject* sender);
  void FormKeyPress(toolkit::TObject* sender, char& key);
  // The camera: face 1 (flashing) while a mouse button or a key is held,
  // face 0 otherwise; a click sends the command.
  void MMBitmapButton1Click(toolkit::TObject* sender);
  void MMBitmapButton1MouseDown(toolkit::TObject* sender, toolkit::TMouseButton button,
                                toolkit::TShiftState shift, int x, int y);
  void MMBitmapButton1MouseUp(toolkit::TObject* sender, toolkit::TMouseButton button,
                              toolkit::TShiftState shift, int x, int y);
  void FormKeyDown(toolkit::TObject* sender, toolkit::WORD& key, toolkit::TShiftState shift);
  void FormKeyUp(toolkit::TObject* sender, toolkit::WORD& key, toolkit::TShiftState shift);

  // The device number behind each entry of MidiOutputs.
  const std::vector<midi::UINT>& OutputDevices() const { return OutputDeviceNumbers; }
  // The port still held after a command whose close was refused.
  midi::HMIDIOUT HeldPort() const { return MidiOut; }

  void AfterConstruction() override;
  void Loaded() override;

 private:
  midi::HMIDIOUT MidiOut = nullptr;
  midi::UINT NumMidiOutputs = 0;
  midi::MIDIOUTCAPSA OutputCaps{};
  midi::MIDIHDR SysExHeader{};
  std::vector<midi::UINT> OutputDeviceNumbers;

  bool ListMidiOutputs();
  void TakeScreenshot(int deviceIndex);
  void SendScreenshotSequence(int selector);
};

// The one main window, once created.
extern TOrbiscope* Orbiscope;
