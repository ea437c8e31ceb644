#include "app/Unit1.h"

#include "midi/MessageTable.h"
#include "midi/OutputPorts.h"
#include "midi/ScreenshotPort.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/Streaming.h"
#include "toolkit/SysUtils.h"

using namespace toolkit;

TOrbiscope* Orbiscope = nullptr;

const TClassInfo& TOrbiscope::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TOrbiscope>("TOrbiscope", &TForm::StaticClass())
          .Creatable()
          .Handler("FormCreate", &TOrbiscope::FormCreate)
          .Handler("Button1Click", &TOrbiscope::Button1Click)
          .Handler("FormKeyPress", &TOrbiscope::FormKeyPress)
          .Handler("MMBitmapButton1Click", &TOrbiscope::MMBitmapButton1Click)
          .Handler("MMBitmapButton1MouseDown", &TOrbiscope::MMBitmapButton1MouseDown)
          .Handler("MMBitmapButton1MouseUp", &TOrbiscope::MMBitmapButton1MouseUp)
          .Handler("FormKeyDown", &TOrbiscope::FormKeyDown)
          .Handler("FormKeyUp", &TOrbiscope::FormKeyUp)
          .Build();
  return info;
}

TOrbiscope::TOrbiscope(TComponent* owner) : TForm(owner) {}

void TOrbiscope::AfterConstruction() {
  // Without its description the window would have none of its controls.
  if (!FindFormResource(ClassName())) throw EResNotFound(Format(SResNotFound, "TORBISCOPE"));
  // The library's classes the description names.
  RegisterClass(controls::TMMBitmapList::StaticClass());
  RegisterClass(controls::TMMBitmapButton::StaticClass());
  TForm::AfterConstruction();
}

namespace {

// The component `name` of `owner` as a `T`, or a read error saying what the
// description lacks.
template <typename T>
T* Control(const TComponent& owner, const char* name) {
  auto* found = dynamic_cast<T*>(owner.FindComponent(name));
  if (!found)
    throw EReadError(
        Format("The window description has no %s of class %s", name, T::StaticClass().Name.c_str()));
  return found;
}

}  // namespace

void TOrbiscope::Loaded() {
  TForm::Loaded();
  Hintergrund = Control<TImage>(*this, "Hintergrund");
  RB1 = Control<TRadioButton>(*this, "RB1");
  RB2 = Control<TRadioButton>(*this, "RB2");
  MidiOutputs = Control<TComboBox>(*this, "MidiOutputs");
  Button1 = Control<TButton>(*this, "Button1");
  Label3 = Control<TLabel>(*this, "Label3");
  Label2 = Control<TLabel>(*this, "Label2");
  Label5 = Control<TLabel>(*this, "Label5");
  Label1 = Control<TLabel>(*this, "Label1");
  Label4 = Control<TLabel>(*this, "Label4");
  Shoot = Control<TLabel>(*this, "Shoot");
  SCR = Control<TImage>(*this, "SCR");
  MMBitmapList1 = Control<controls::TMMBitmapList>(*this, "MMBitmapList1");
  MMBitmapButton1 = Control<controls::TMMBitmapButton>(*this, "MMBitmapButton1");
}

void TOrbiscope::FormCreate(TObject*) {
  Shoot->Font()->SetColor(0x067767);
  ListMidiOutputs();
}

void TOrbiscope::Button1Click(TObject*) { ListMidiOutputs(); }

void TOrbiscope::FormKeyPress(TObject*, char&) { TakeScreenshot(MidiOutputs->ItemIndex()); }

// The button has drawn its released look by now: face 0 is on the screen
// while the command goes out.
void TOrbiscope::MMBitmapButton1Click(TObject*) { TakeScreenshot(MidiOutputs->ItemIndex()); }

void TOrbiscope::MMBitmapButton1MouseDown(TObject*, TMouseButton, TShiftState, int, int) {
  MMBitmapButton1->SetBitmapIndex(1);
}

void TOrbiscope::MMBitmapButton1MouseUp(TObject*, TMouseButton, TShiftState, int, int) {
  MMBitmapButton1->SetBitmapIndex(0);
}

void TOrbiscope::FormKeyDown(TObject*, WORD&, TShiftState) { MMBitmapButton1->SetBitmapIndex(1); }

void TOrbiscope::FormKeyUp(TObject*, WORD&, TShiftState) { MMBitmapButton1->SetBitmapIndex(0); }

bool TOrbiscope::ListMidiOutputs() {
  MidiOutputs->Clear();
  OutputDeviceNumbers.clear();
  for (const midi::OutputPort& port : midi::ReadOutputPorts(NumMidiOutputs, OutputCaps)) {
    MidiOutputs->Items()->Add(port.name);
    OutputDeviceNumbers.push_back(port.device);
  }
  MidiOutputs->SetItemIndex(0);
  return true;
}

void TOrbiscope::TakeScreenshot(int deviceIndex) {
  // A port whose close was refused is closed first; while it still will
  // not close, no second port is opened beside it.
  if (!midi::ReleasePort(MidiOut)) return;
  // The entry's own device number: entries after a device left out of the
  // list sit lower than their numbers. No entry selected opens the mapper.
  const bool listed = deviceIndex >= 0 && static_cast<std::size_t>(deviceIndex) < OutputDeviceNumbers.size();
  const midi::UINT device =
      listed ? OutputDeviceNumbers[static_cast<std::size_t>(deviceIndex)] : midi::MIDI_MAPPER;
  if (!midi::OpenPort(MidiOut, device)) return;
  SendScreenshotSequence(RB1->Checked() ? midi::kTyros : midi::kTyros2);
  midi::ReleasePort(MidiOut);
}

void TOrbiscope::SendScreenshotSequence(int selector) { midi::SendSequence(MidiOut, SysExHeader, selector); }
