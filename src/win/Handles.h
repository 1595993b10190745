// Owners for system handles: each closes its handle when it goes out of
// scope, can be moved but not copied, and hands the raw handle out with
// get(). reset() closes the old handle and takes a new one.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <utility>

namespace win {

template <typename Handle, typename Closer, Handle kNone = Handle()>
class Owned {
 public:
  Owned() = default;
  explicit Owned(Handle h) : m_handle(h) {}
  ~Owned() { reset(); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : m_handle(other.release()) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }

  Handle get() const { return m_handle; }
  explicit operator bool() const { return m_handle != kNone; }
  Handle release() { return std::exchange(m_handle, kNone); }
  void reset(Handle h = kNone) {
    Handle old = std::exchange(m_handle, h);
    if (old != kNone) Closer()(old);
  }

 private:
  Handle m_handle = kNone;
};

struct CloseKernel { void operator()(HANDLE h) const { CloseHandle(h); } };
struct DeleteGdi { void operator()(HGDIOBJ h) const { DeleteObject(h); } };
struct DestroyIconHandle { void operator()(HICON h) const { DestroyIcon(h); } };
struct DestroyMenuHandle { void operator()(HMENU h) const { DestroyMenu(h); } };
struct DestroyImageList { void operator()(HIMAGELIST h) const { ImageList_Destroy(h); } };
struct FreeModule { void operator()(HMODULE h) const { FreeLibrary(h); } };
struct DestroyWindowHandle { void operator()(HWND h) const { DestroyWindow(h); } };
struct UnhookWinEventHandle { void operator()(HWINEVENTHOOK h) const { UnhookWinEvent(h); } };
struct UnmapView { void operator()(void* p) const { UnmapViewOfFile(p); } };

using KernelHandle = Owned<HANDLE, CloseKernel>;
using FontHandle = Owned<HFONT, DeleteGdi>;
using BrushHandle = Owned<HBRUSH, DeleteGdi>;
using PenHandle = Owned<HPEN, DeleteGdi>;
using RegionHandle = Owned<HRGN, DeleteGdi>;
using BitmapHandle = Owned<HBITMAP, DeleteGdi>;
using IconHandle = Owned<HICON, DestroyIconHandle>;
using MenuHandle = Owned<HMENU, DestroyMenuHandle>;
using ImageListHandle = Owned<HIMAGELIST, DestroyImageList>;
using ModuleHandle = Owned<HMODULE, FreeModule>;
using WindowHandle = Owned<HWND, DestroyWindowHandle>;
using WinEventHookHandle = Owned<HWINEVENTHOOK, UnhookWinEventHandle>;
using MappedView = Owned<void*, UnmapView>;

// A COM interface pointer released once when the owner goes.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T* get() const { return m_p; }
  T* operator->() const { return m_p; }
  explicit operator bool() const { return m_p != nullptr; }
  // For calls that hand out a new reference.
  T** put() {
    reset();
    return &m_p;
  }
  void reset() {
    if (m_p) m_p->Release();
    m_p = nullptr;
  }

 private:
  T* m_p = nullptr;
};

// Selects a GDI object into a device context for one scope.
class SelectScope {
 public:
  SelectScope(HDC dc, HGDIOBJ object) : m_dc(dc), m_old(SelectObject(dc, object)) {}
  ~SelectScope() { SelectObject(m_dc, m_old); }
  SelectScope(const SelectScope&) = delete;
  SelectScope& operator=(const SelectScope&) = delete;

 private:
  HDC m_dc;
  HGDIOBJ m_old;
};

// A VARIANT cleared when it goes.
class Variant {
 public:
  Variant() { VariantInit(&m_v); }
  ~Variant() { VariantClear(&m_v); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  VARIANT* operator&() { return &m_v; }
  VARIANT& get() { return m_v; }

 private:
  VARIANT m_v;
};

}  // namespace win
