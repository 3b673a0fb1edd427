#include "ui/VoFolderDlg_win.h"

#include "base/KaStrings.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

TEST(FolderDlg, OptionsBecomeTheBrowsersFlags) {
  EXPECT_EQ(FolderBrowserFlags(FolderOption(bifReturnOnlyFSDirs)), 0x0001u);
  TVoFolderOptions all = 0;
  for (int o = bifBrowseForComputer; o <= bifStatusText; ++o)
    all |= FolderOption(static_cast<TVoFolderOption>(o));
  EXPECT_EQ(FolderBrowserFlags(all), 0x1000u | 0x2000u | 0x0002u | 0x0008u | 0x0001u | 0x0004u);
  EXPECT_EQ(TVoFolderDlg().Options(), FolderOption(bifReturnOnlyFSDirs));
}

TEST(FolderDlg, CancelledItLeavesTheDirectory) {
  TTestForm main(400, 300);
  TVoFolderDlg dlg;
  dlg.SetDirectory("C:\\windows");
  bool initialized = false;
  dlg.OnInitialize = [&](TComponent&) {
    initialized = true;
    PostMessageW(dlg.BrowserWindow(), WM_COMMAND, IDCANCEL, 0);
  };
  EXPECT_FALSE(dlg.Execute());
  EXPECT_TRUE(initialized);
  EXPECT_EQ(dlg.Directory(), "C:\\windows");
  EXPECT_EQ(dlg.BrowserWindow(), nullptr);
  EXPECT_TRUE(IsWindowEnabled(main.Handle()));
}

TEST(FolderDlg, ConfirmedItReturnsThePreselectedFolderCentredOverTheFrontWindow) {
  TTestForm main(600, 500);
  TVoFolderDlg dlg;
  dlg.SetTitle("Choose a folder");
  dlg.SetDirectory("C:\\windows\\system32");
  RECT front{}, browser{};
  bool mainDisabled = false;
  dlg.OnInitialize = [&](TComponent&) {
    GetWindowRect(GetForegroundWindow(), &front);
    GetWindowRect(dlg.BrowserWindow(), &browser);
    mainDisabled = !IsWindowEnabled(main.Handle());
    PostMessageW(dlg.BrowserWindow(), WM_COMMAND, IDOK, 0);
  };
  ASSERT_TRUE(dlg.Execute());
  EXPECT_TRUE(SameText(dlg.Directory(), "C:\\windows\\system32")) << dlg.Directory();
  EXPECT_TRUE(mainDisabled);
  const int bw = browser.right - browser.left, fw = front.right - front.left;
  const int bh = browser.bottom - browser.top, fh = front.bottom - front.top;
  EXPECT_EQ(browser.left, front.left + (fw - bw) / 2);
  EXPECT_EQ(browser.top, front.top + (fh - bh) / 2);
}
