#include "app/HoamLibrary.h"

#include <string>

#include "win/Resources.h"

namespace {

template <typename Function>
Function Entry(HMODULE module, int ordinal) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(ordinal))));
}

}  // namespace

bool HoamLibrary::Load() {
  const std::string path = win::ExeFolder() + "Hoam.dll";
  m_module.reset(LoadLibraryA(path.c_str()));
  if (!m_module) return false;
  m_install = Entry<InstallFunction>(m_module.get(), 1);
  m_remove = Entry<PlainFunction>(m_module.get(), 2);
  m_clicked = Entry<PlainFunction>(m_module.get(), 10);
  if (!m_install || !m_remove || !m_clicked) {
    m_install = nullptr;
    m_remove = m_clicked = nullptr;
    m_module.reset();
    return false;
  }
  return true;
}

void HoamLibrary::Install(HWND window) {
  if (!m_install) return;
  m_install(window);
  m_installed = true;
}

void HoamLibrary::Remove() {
  if (m_remove) m_remove();
  m_installed = false;
}

void HoamLibrary::PromptClicked() const {
  if (m_clicked) m_clicked();
}
