#include "base/KaHandle_win.h"

#include <gtest/gtest.h>

namespace {

bool IsOpen(HANDLE h) {
  DWORD flags = 0;
  return GetHandleInformation(h, &flags) != 0;
}

TEST(ScopedKernelHandle, RealHandlesCloseWithTheirLastOwner) {
  HANDLE raw;
  {
    TScopedKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event.IsValid());
    raw = event.Get();
    TScopedKernelHandle moved(std::move(event));
    EXPECT_FALSE(event.IsValid());
    EXPECT_TRUE(IsOpen(raw));
  }
  EXPECT_FALSE(IsOpen(raw));

  TScopedKernelHandle kept(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  HANDLE taken = kept.Take();
  kept.Reset();
  EXPECT_TRUE(IsOpen(taken)) << "a taken handle is the taker's";
  TScopedSystemFile portable(reinterpret_cast<intptr_t>(taken));
  portable.Reset();
  EXPECT_FALSE(IsOpen(taken));
}

TEST(ScopedKernelHandle, BothFailureValuesHoldNothing) {
  TScopedKernelHandle file(CreateFileA("C:\\no\\such\\file.txt", GENERIC_READ, 0, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  EXPECT_EQ(file.Get(), INVALID_HANDLE_VALUE);
  EXPECT_FALSE(file.IsValid());
  TScopedKernelHandle none(OpenEventW(SYNCHRONIZE, FALSE, L"websetup-no-such-event"));
  EXPECT_EQ(none.Get(), nullptr);
  EXPECT_FALSE(none.IsValid());
}

TEST(ScopedRegKey, KeyIsClosedWithItsOwner) {
  HKEY raw;
  {
    HKEY h = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &h), ERROR_SUCCESS);
    TScopedRegKey key(h);
    raw = key.Get();
    EXPECT_EQ(RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
  }
  EXPECT_EQ(RegQueryInfoKeyA(raw, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, nullptr),
            ERROR_INVALID_HANDLE);
}

TEST(ScopedGdi, ObjectsAndDCsGoBackTheWayTheyCame) {
  HBRUSH raw;
  {
    TScopedBrush brush(CreateSolidBrush(RGB(1, 2, 3)));
    ASSERT_TRUE(brush.IsValid());
    raw = brush.Get();
    EXPECT_EQ(GetObjectType(raw), static_cast<DWORD>(OBJ_BRUSH));
  }
  EXPECT_EQ(GetObjectType(raw), 0u);

  TScopedMemoryDC memory(CreateCompatibleDC(nullptr));
  ASSERT_TRUE(memory.IsValid());
  EXPECT_EQ(GetObjectType(memory.Get()), static_cast<DWORD>(OBJ_MEMDC));
  HDC rawMemory = memory.Get();
  memory.Reset();
  EXPECT_EQ(GetObjectType(rawMemory), 0u);

  // The screen's DC is borrowed: released, and it still is the screen's.
  TScopedWindowDC screen(TWindowDC{nullptr, GetDC(nullptr)});
  ASSERT_TRUE(screen.IsValid());
  EXPECT_GT(GetDeviceCaps(screen.Get().DC, LOGPIXELSX), 0);
}

} // namespace
