#pragma once

// The folder dialog (Windows only): the system's folder browser (its 8-bit
// interface), centred over the window in front, with a folder preselected.

#include "ui/Component.h"

#include <string>

#include <windows.h>

enum TVoFolderOption {
  bifBrowseForComputer,
  bifBrowseForPrinter,
  bifDontGoBelowDomain,
  bifReturnFSAncestors,
  bifReturnOnlyFSDirs,
  bifStatusText,
};
// A set of options: bit (1 << option) for each one chosen.
using TVoFolderOptions = unsigned;
constexpr TVoFolderOptions FolderOption(TVoFolderOption o) { return 1u << o; }

// The browser's flags (BIF_*) for a set of options.
unsigned FolderBrowserFlags(TVoFolderOptions options);

class TVoFolderDlg : public TComponent {
public:
  // In: the folder to preselect; out: the chosen folder.
  const std::string& Directory() const { return FDirectory; }
  void SetDirectory(std::string directory) { FDirectory = std::move(directory); }
  // Where the tree starts; empty: the desktop.
  const std::string& Root() const { return FRoot; }
  void SetRoot(std::string root) { FRoot = std::move(root); }
  // The text above the tree.
  const std::string& Title() const { return FTitle; }
  void SetTitle(std::string title) { FTitle = std::move(title); }
  TVoFolderOptions Options() const { return FOptions; }
  void SetOptions(TVoFolderOptions options) { FOptions = options; }

  // Shows the browser, owned by the main form, with every other window of
  // the program disabled meanwhile. True when the user chose a folder;
  // Directory is then its path, when it has one in the file system.
  // Cancelled, it returns false and Directory stays as it was.
  bool Execute();

  // The browser's window while Execute runs (from OnInitialize on), none
  // otherwise.
  HWND BrowserWindow() const { return FBrowser; }

  // The browser's window exists (centred, the folder selected).
  TNotifyEvent OnInitialize;
  // The selection in the tree changed.
  TNotifyEvent OnSelectionChange;

private:
  static int CALLBACK Callback(HWND window, UINT msg, LPARAM param, LPARAM data) noexcept;

  std::string FDirectory;
  std::string FRoot;
  std::string FTitle;
  TVoFolderOptions FOptions = FolderOption(bifReturnOnlyFSDirs);
  HWND FBrowser = nullptr;
};
