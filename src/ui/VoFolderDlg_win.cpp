#include "ui/VoFolderDlg_win.h"

#include "base/KaText.h"
#include "ui/Application_win.h"
#include "ui/KaPlacement.h"
#include "ui/TaskWindows_win.h"

#include <objbase.h>
#include <shlobj.h>

unsigned FolderBrowserFlags(TVoFolderOptions options) {
  static const unsigned flags[] = {BIF_BROWSEFORCOMPUTER, BIF_BROWSEFORPRINTER,
                                   BIF_DONTGOBELOWDOMAIN, BIF_RETURNFSANCESTORS,
                                   BIF_RETURNONLYFSDIRS,  BIF_STATUSTEXT};
  unsigned out = 0;
  for (unsigned i = 0; i < std::size(flags); ++i) {
    if (options & (1u << i))
      out |= flags[i];
  }
  return out;
}

namespace {

// An item list of the shell, freed with the shell's allocator.
class TItemList {
public:
  TItemList(IMalloc* malloc, LPITEMIDLIST list) : FMalloc(malloc), FList(list) {}
  ~TItemList() {
    if (FList)
      FMalloc->Free(FList);
  }
  TItemList(const TItemList&) = delete;
  TItemList& operator=(const TItemList&) = delete;
  LPITEMIDLIST Get() const { return FList; }

private:
  IMalloc* FMalloc;
  LPITEMIDLIST FList;
};

LPITEMIDLIST ParseFolder(const std::string& path) {
  IShellFolder* desktop = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop)))
    return nullptr;
  std::u16string wide = ToWide(path);
  LPITEMIDLIST list = nullptr;
  if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, reinterpret_cast<wchar_t*>(wide.data()),
                                       nullptr, &list, nullptr)))
    list = nullptr;
  desktop->Release();
  return list;
}

} // namespace

int CALLBACK TVoFolderDlg::Callback(HWND window, UINT msg, LPARAM, LPARAM data) noexcept {
  auto* self = reinterpret_cast<TVoFolderDlg*>(data);
  return CatchAll(0, [&] {
    if (msg == BFFM_INITIALIZED) {
      self->FBrowser = window;
      if (HWND front = GetForegroundWindow(); front && front != window) {
        RECT f, b;
        GetWindowRect(front, &f);
        GetWindowRect(window, &b);
        TPoint p =
            CenteredOver({f.left, f.top, f.right, f.bottom}, {b.right - b.left, b.bottom - b.top});
        SetWindowPos(window, nullptr, p.X, p.Y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      if (!self->FDirectory.empty())
        SendMessageA(window, BFFM_SETSELECTIONA, TRUE,
                     reinterpret_cast<LPARAM>(self->FDirectory.c_str()));
      Fire(self->OnInitialize, *self);
    } else if (msg == BFFM_SELCHANGED) {
      Fire(self->OnSelectionChange, *self);
    }
    return 0;
  });
}

bool TVoFolderDlg::Execute() {
  IMalloc* malloc = nullptr;
  if (FAILED(SHGetMalloc(&malloc)) || !malloc)
    return false;
  struct TRelease {
    IMalloc* M;
    ~TRelease() { M->Release(); }
  } releaseMalloc{malloc};
  // The browser is a COM client of the shell.
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  struct TUninit {
    bool Do;
    ~TUninit() {
      if (Do)
        CoUninitialize();
    }
  } uninit{SUCCEEDED(com)};

  TItemList root(malloc, FRoot.empty() ? nullptr : ParseFolder(FRoot));
  char displayName[MAX_PATH] = {};
  BROWSEINFOA info{};
  TForm* main = Application().MainForm();
  info.hwndOwner = main && main->HandleAllocated() ? main->Handle() : nullptr;
  info.pidlRoot = root.Get();
  info.pszDisplayName = displayName;
  info.lpszTitle = FTitle.c_str();
  info.ulFlags = FolderBrowserFlags(FOptions);
  info.lpfn = Callback;
  info.lParam = reinterpret_cast<LPARAM>(this);

  LPITEMIDLIST chosen;
  {
    TTaskWindowsDisabler others(nullptr);
    struct TForget {
      HWND& Browser;
      ~TForget() { Browser = nullptr; }
    } forget{FBrowser};
    chosen = SHBrowseForFolderA(&info);
  }
  if (!chosen)
    return false;
  TItemList item(malloc, chosen);
  char path[MAX_PATH + 1] = {};
  if (SHGetPathFromIDListA(chosen, path))
    FDirectory = path;
  return true;
}
