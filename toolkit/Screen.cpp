// The screen: cursors, the shown forms and the primary screen's size.
#include <algorithm>

#include "toolkit/ClassBuilder.h"
#include "toolkit/Forms.h"

namespace toolkit {

TScreen* Screen = new TScreen(nullptr);

const TClassInfo& TScreen::StaticClass() {
  static const TClassInfo info = ClassBuilder<TScreen>("TScreen", &TComponent::StaticClass()).Build();
  return info;
}

TScreen::TScreen(TComponent* owner) : TComponent(owner) {}
TScreen::~TScreen() = default;

const platform::CursorImage* TScreen::Cursors(TCursor cursor) {
  for (const auto& [number, image] : cursors_)
    if (number == cursor) return image.get();
  platform::CursorImage image = StandardCursorImage(cursor);
  // Numbers nobody gave an image show the arrow.
  if (image.argb.empty() && cursor != crNone) return Cursors(crArrow);
  // Kept, so that the same cursor is always the same image.
  cursors_.emplace_back(cursor, std::make_unique<platform::CursorImage>(std::move(image)));
  return cursors_.back().second.get();
}

void TScreen::SetCursorImage(TCursor cursor, platform::CursorImage image) {
  for (auto& [number, held] : cursors_)
    if (number == cursor) {
      *held = std::move(image);
      return;
    }
  cursors_.emplace_back(cursor, std::make_unique<platform::CursorImage>(std::move(image)));
}

void TScreen::SetCursor(TCursor cursor) {
  if (cursor == cursor_) return;
  cursor_ = cursor;
  for (TForm* form : forms_) form->UpdateCursor();
}

int TScreen::Width() const {
  int width = 0, height = 0;
  if (Application && Application->Backend()) Application->Backend()->ScreenSize(width, height);
  return width;
}

int TScreen::Height() const {
  int width = 0, height = 0;
  if (Application && Application->Backend()) Application->Backend()->ScreenSize(width, height);
  return height;
}

TForm* TScreen::Forms(int index) const {
  if (index < 0 || index >= FormCount()) throw EListError(Format(SListIndexError, index));
  return forms_[static_cast<std::size_t>(index)];
}

TForm* TScreen::ActiveForm() const {
  for (auto it = shownOrder_.rbegin(); it != shownOrder_.rend(); ++it)
    if ((*it)->Visible()) return *it;
  return nullptr;
}

TWinControl* TScreen::ActiveControl() const {
  const TForm* form = ActiveForm();
  return form ? form->ActiveControl() : nullptr;
}

void TScreen::AddForm(TForm* form) { forms_.push_back(form); }

void TScreen::RemoveForm(TForm* form) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
  shownOrder_.erase(std::remove(shownOrder_.begin(), shownOrder_.end(), form), shownOrder_.end());
}

void TScreen::FormShown(TForm* form) {
  shownOrder_.erase(std::remove(shownOrder_.begin(), shownOrder_.end(), form), shownOrder_.end());
  shownOrder_.push_back(form);
}

}  // namespace toolkit
