#pragma once

// The traits of the Windows handles the program holds (Windows code only; the
// WinInet traits live with the WinInet back end).

#include "base/KaHandle.h"

#include <windows.h>

// Kernel objects (files, processes, threads): both NULL and
// INVALID_HANDLE_VALUE mean none, since the API returns either.
struct TKernelHandleTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() noexcept { return nullptr; }
  static bool IsValid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};
using TScopedKernelHandle = TScopedHandle<TKernelHandleTraits>;

// A directory search (FindFirstFile).
struct TFindHandleTraits {
  using Handle = HANDLE;
  static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static bool IsValid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(HANDLE h) noexcept { ::FindClose(h); }
};
using TScopedFindHandle = TScopedHandle<TFindHandleTraits>;

struct TRegKeyTraits {
  using Handle = HKEY;
  static HKEY Invalid() noexcept { return nullptr; }
  static void Close(HKEY h) noexcept { ::RegCloseKey(h); }
};
using TScopedRegKey = TScopedHandle<TRegKeyTraits>;

struct TModuleTraits {
  using Handle = HMODULE;
  static HMODULE Invalid() noexcept { return nullptr; }
  static void Close(HMODULE h) noexcept { ::FreeLibrary(h); }
};
using TScopedModule = TScopedHandle<TModuleTraits>;

// Pens, brushes, fonts, bitmaps, regions.
template <class T>
struct TGdiObjectTraits {
  using Handle = T;
  static T Invalid() noexcept { return nullptr; }
  static void Close(T h) noexcept { ::DeleteObject(h); }
};
using TScopedBitmap = TScopedHandle<TGdiObjectTraits<HBITMAP>>;
using TScopedBrush = TScopedHandle<TGdiObjectTraits<HBRUSH>>;
using TScopedPen = TScopedHandle<TGdiObjectTraits<HPEN>>;
using TScopedFont = TScopedHandle<TGdiObjectTraits<HFONT>>;
using TScopedRegion = TScopedHandle<TGdiObjectTraits<HRGN>>;

// A device context made by CreateCompatibleDC/CreateDC: deleted.
struct TMemoryDCTraits {
  using Handle = HDC;
  static HDC Invalid() noexcept { return nullptr; }
  static void Close(HDC h) noexcept { ::DeleteDC(h); }
};
using TScopedMemoryDC = TScopedHandle<TMemoryDCTraits>;

// A device context borrowed from a window by GetDC/GetWindowDC: released to
// that window, never deleted.
struct TWindowDC {
  HWND Window = nullptr;
  HDC DC = nullptr;
  bool operator==(const TWindowDC&) const = default;
};
struct TWindowDCTraits {
  using Handle = TWindowDC;
  static TWindowDC Invalid() noexcept { return {}; }
  static bool IsValid(const TWindowDC& h) noexcept { return h.DC != nullptr; }
  static void Close(const TWindowDC& h) noexcept { ::ReleaseDC(h.Window, h.DC); }
};
using TScopedWindowDC = TScopedHandle<TWindowDCTraits>;

// Windows created by the program and not owned by a parent window.
struct TWindowTraits {
  using Handle = HWND;
  static HWND Invalid() noexcept { return nullptr; }
  static void Close(HWND h) noexcept { ::DestroyWindow(h); }
};
using TScopedWindow = TScopedHandle<TWindowTraits>;
