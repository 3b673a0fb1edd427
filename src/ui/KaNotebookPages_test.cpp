#include "ui/KaNotebookPages.h"

#include <gtest/gtest.h>

TEST(NotebookPages, TheFirstPageIsCurrentAndSelectingReportsChanges) {
  TNotebookPages pages;
  EXPECT_EQ(pages.Index(), -1);
  EXPECT_FALSE(pages.Select(0));
  EXPECT_EQ(pages.Add("Language"), 0);
  EXPECT_EQ(pages.Index(), 0);
  EXPECT_EQ(pages.Add("Welcome"), 1);
  EXPECT_EQ(pages.Add("InstallPath"), 2);
  EXPECT_EQ(pages.Index(), 0);

  EXPECT_TRUE(pages.Select(2));
  EXPECT_EQ(pages.Index(), 2);
  EXPECT_FALSE(pages.Select(2));
  EXPECT_FALSE(pages.Select(3));
  EXPECT_FALSE(pages.Select(-1));
  EXPECT_EQ(pages.Index(), 2);
}

TEST(NotebookPages, FindsNamesWithoutCase) {
  TNotebookPages pages;
  pages.Add("Uninstall");
  pages.Add("Uninstall Done");
  EXPECT_EQ(pages.IndexOf("uninstall done"), 1);
  EXPECT_EQ(pages.IndexOf("UNINSTALL"), 0);
  EXPECT_EQ(pages.IndexOf("Error"), -1);
  EXPECT_EQ(pages.Name(1), "Uninstall Done");
}
