#include "ui/Notebook_win.h"

#include "ui/testing/KaTestButton_win.h"
#include "ui/testing/KaUiTesting_win.h"

#include <gtest/gtest.h>

TEST(Notebook, ShowsOnePageAtATimeAndTellsWhenItChanges) {
  TTestForm form(300, 200);
  TNotebook notebook(&form);
  notebook.SetAlign(alClient);
  TPage& language = notebook.AddPage("Language");
  TPage& welcome = notebook.AddPage("Welcome");
  TPage& path = notebook.AddPage("InstallPath");
  int changes = 0;
  notebook.OnPageChanged = [&](TComponent&) { ++changes; };
  form.HandleNeeded();
  EXPECT_EQ(notebook.PageIndex(), 0);
  EXPECT_TRUE(language.Visible());
  EXPECT_FALSE(welcome.Visible());
  EXPECT_EQ(welcome.BoundsRect(), Bounds(0, 0, 300, 200));

  notebook.SetActivePage("installpath");
  EXPECT_EQ(notebook.PageIndex(), 2);
  EXPECT_EQ(notebook.ActivePage(), "InstallPath");
  EXPECT_TRUE(IsWindowVisible(path.Handle()));
  EXPECT_FALSE(IsWindowVisible(language.Handle()));
  EXPECT_EQ(changes, 1);

  notebook.SetPageIndex(2);
  notebook.SetPageIndex(7);
  notebook.SetActivePage("Done");
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(notebook.FindPage("welcome"), &welcome);
  wchar_t text[32] = {};
  GetWindowTextW(path.Handle(), text, 32);
  EXPECT_STREQ(text, L"InstallPath");
}

TEST(Notebook, TheFocusMovesToTheNewPage) {
  TTestForm form(300, 200);
  TNotebook notebook(&form);
  notebook.SetAlign(alClient);
  TPage& first = notebook.AddPage("First");
  TPage& second = notebook.AddPage("Second");
  TTestButton next(&first, u"Next"), previous(&second, u"Previous");
  form.HandleNeeded();
  next.SetFocus();
  PumpMessages();
  notebook.SetPageIndex(1);
  EXPECT_TRUE(previous.Focused());
  EXPECT_EQ(form.ActiveControl(), &previous);
}
