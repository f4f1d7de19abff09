#include "app/WindowThreadPorts.h"

#include "app/OnThreadOf.h"

namespace hv {

int WindowThreadUserInterface::MessageBox(const std::string& text, int style,
                                          const std::string& title) {
  return OnThreadOf(thread_, [&] { return window_.MessageBox(text, style, title); });
}

std::string WindowThreadUserInterface::GetPassword(const std::string& prompt, bool noConfirm) {
  return OnThreadOf(thread_, [&] { return window_.GetPassword(prompt, noConfirm); });
}

std::string WindowThreadUserInterface::ChooseFromList(const std::string& prompt,
                                                      const std::string& list) {
  return OnThreadOf(thread_, [&] { return window_.ChooseFromList(prompt, list); });
}

std::optional<std::string> WindowThreadUserInterface::InputText(const std::string& prompt,
                                                                const std::string& title,
                                                                const std::string& initial) {
  return OnThreadOf(thread_, [&] { return window_.InputText(prompt, title, initial); });
}

void WindowThreadUserInterface::SetMainWindowEnabled(bool enabled) {
  OnThreadOf(thread_, [&] { window_.SetMainWindowEnabled(enabled); });
}

void WindowThreadUserInterface::SetMainWindowCaption(const std::string& caption) {
  OnThreadOf(thread_, [&] { window_.SetMainWindowCaption(caption); });
}

bool WindowThreadUserInterface::SettingChecked(int index) {
  return OnThreadOf(thread_, [&] { return window_.SettingChecked(index); });
}

bool WindowThreadDocument::IsCheckedByKey(const std::string& key) {
  return OnThreadOf(thread_, [&] { return page_.IsCheckedByKey(key); });
}

int WindowThreadDocument::CheckBoxCount() {
  return OnThreadOf(thread_, [&] { return page_.CheckBoxCount(); });
}

bool WindowThreadDocument::CheckBoxState(int position) {
  return OnThreadOf(thread_, [&] { return page_.CheckBoxState(position); });
}

void WindowThreadDocument::ClickCheckBox(int position) {
  OnThreadOf(thread_, [&] { page_.ClickCheckBox(position); });
}

}  // namespace hv
