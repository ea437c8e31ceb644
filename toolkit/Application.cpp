// The application: backend, forms, the message loop and the exception
// display; and the registry of stored form descriptions.
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <map>

#include "platform/ProgramName.h"
#include "toolkit/ClassBuilder.h"
#include "toolkit/Forms.h"
#include "toolkit/StdCtrls.h"

namespace toolkit {

TApplication* Application = new TApplication(nullptr);

// ---- form resources ------------------------------------------------------------------

namespace {
std::map<std::string, std::vector<std::uint8_t>>& FormResources() {
  static std::map<std::string, std::vector<std::uint8_t>> resources;
  return resources;
}

std::string Upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}
}  // namespace

void RegisterFormResource(const std::string& className, const std::uint8_t* data, std::size_t size) {
  FormResources()[Upper(className)].assign(data, data + size);
}

void UnregisterFormResource(const std::string& className) { FormResources().erase(Upper(className)); }

const std::vector<std::uint8_t>* FindFormResource(const std::string& className) {
  const auto& resources = FormResources();
  const auto it = resources.find(Upper(className));
  return it == resources.end() ? nullptr : &it->second;
}

// ---- TApplication ----------------------------------------------------------------------

const TClassInfo& TApplication::StaticClass() {
  static const TClassInfo info =
      ClassBuilder<TApplication>("TApplication", &TComponent::StaticClass()).Build();
  return info;
}

TApplication::TApplication(TComponent* owner) : TComponent(owner) { title_ = platform::ProgramName(); }

TApplication::~TApplication() { DestroyComponents(); }

namespace {
// Forms go before the backend whose windows they hold; the graphics table
// outlives everything, so the order of the other exit work does not matter.
void FreeApplicationAtExit() {
  Application->DestroyComponents();
  Application->SetBackend(nullptr);
}
}  // namespace

void TApplication::Initialize() {
  RegisterControlClasses();
  RegisterStdControls();
  RegisterClass(TForm::StaticClass());
  if (!backend_) {
    try {
      backend_ = platform::CreateSdlBackend();
    } catch (const platform::WindowError& e) {
      throw EWindowError(e.what());
    }
  }
  if (!exitHookSet_) {
    std::atexit(FreeApplicationAtExit);
    exitHookSet_ = true;
  }
}

void TApplication::SetBackend(std::unique_ptr<platform::Backend> backend) {
  backend_ = std::move(backend);
  terminated_ = false;
  mainForm_ = nullptr;
}

void TApplication::FormCreated(TForm* form) {
  if (!mainForm_) mainForm_ = form;
  try {
    form->AfterConstruction();
  } catch (...) {
    delete form;  // also clears the main form
    throw;
  }
}

void TApplication::FormGone(TForm* form) {
  if (mainForm_ == form) mainForm_ = nullptr;
  released_.erase(std::remove(released_.begin(), released_.end(), form), released_.end());
}

void TApplication::FreeReleasedForms() {
  while (!released_.empty()) {
    TForm* form = released_.back();
    released_.pop_back();
    delete form;
  }
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == mainForm_) mainForm_ = nullptr;
}

void TApplication::Run() {
  if (mainForm_ && !terminated_) {
    try {
      mainForm_->Show();
    } catch (const EWindowError&) {
      throw;
    } catch (...) {
      HandleException(this);
    }
  }
  UpdateAndPresent();
  while (!terminated_)
    if (!HandleMessage()) break;
}

bool TApplication::HandleMessage() {
  if (!backend_) return false;
  platform::Event event;
  if (!backend_->NextEvent(event, true)) return false;
  DispatchEvent(event);
  return true;
}

void TApplication::ProcessMessages() {
  platform::Event event;
  while (backend_ && backend_->NextEvent(event, false)) DispatchEvent(event);
}

void TApplication::DispatchEvent(const platform::Event& event) {
  TForm* form = Screen ? Screen->ActiveForm() : nullptr;
  if (!form) form = mainForm_;
  if (form) {
    try {
      form->DispatchEvent(event);
    } catch (...) {
      HandleException(form);
    }
  }
  TControlCanvas::FreeDeviceContexts();
  FreeReleasedForms();
  UpdateAndPresent();
}

void TApplication::UpdateAndPresent() {
  if (!Screen) return;
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TForm* form = Screen->Forms(i);
    // An update that paints shows its work itself; what was drawn straight
    // onto the surface during the event is shown here.
    bool shown = false;
    try {
      const gdi::TRect marked = form->DirtyRect();
      shown = !gdi::IsRectEmpty(&marked);
      form->Update();
    } catch (...) {
      shown = false;
      HandleException(form);
    }
    if (!shown) form->Present();
  }
}

std::string TApplication::ExceptionText(const std::string& message) {
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + '.';
  return message;
}

void TApplication::ShowException(const std::exception& e) {
  const std::string text = ExceptionText(e.what());
  if (backend_)
    backend_->ShowMessageBox(title_, text, platform::MessageBoxIcon::Error);
  else
    std::fprintf(stderr, "%s: %s\n", title_.c_str(), text.c_str());
}

void TApplication::HandleException(TObject* sender) {
  if (!std::current_exception()) return;
  try {
    throw;
  } catch (const EAbort&) {
    // The silent exception: it only stops what was going on.
  } catch (const std::exception& e) {
    if (OnException)
      OnException(sender, e);
    else
      ShowException(e);
  } catch (...) {
    ShowException(Exception("Unknown error"));
  }
}

}  // namespace toolkit
