#pragma once

// Test helpers of the model's tests: a scratch directory on disk.

#include "base/KaStrings.h"
#include "model/testing/VoScratchFiles.h"

#include <gtest/gtest.h>
#include <string>

// A fresh directory named after the running test, removed with all it holds.
class TScratchDir {
public:
  TScratchDir() {
    Path = GetTempDir() + "ws_model_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
    EraseTree(Path);
    EXPECT_TRUE(ForceDirectories(Path));
  }
  ~TScratchDir() { EraseTree(Path); }
  TScratchDir(const TScratchDir&) = delete;
  TScratchDir& operator=(const TScratchDir&) = delete;

  // Writes a file below the directory, creating its directories.
  void Write(const std::string& name, const std::string& bytes) const {
    ForceDirectories(ExtractDir(Path + name));
    WriteBytes(Path + name, bytes);
  }
  std::string Read(const std::string& name) const {
    TMemoryStream m;
    m.LoadFromFile(Path + name);
    return m.Bytes();
  }
  void Touch(const std::string& name, TDateTime time) const {
    EXPECT_TRUE(FileSetDate(Path + name, time));
  }

  std::string Path;
};
