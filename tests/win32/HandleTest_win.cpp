#include "platform/Handle_win.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace tolvar {
namespace {

bool IsOpenHandle(HANDLE handle) {
  DWORD flags = 0;
  return ::GetHandleInformation(handle, &flags) != FALSE;
}

static_assert(!std::is_copy_constructible_v<UniqueKernelHandle>);
static_assert(!std::is_copy_assignable_v<UniqueRegKey>);
static_assert(std::is_nothrow_move_constructible_v<UniqueFont>);

TEST(UniqueHandle, MovingTransfersOwnershipAndTheLastOwnerClosesOnce) {
  const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ASSERT_TRUE(IsOpenHandle(event));
  {
    UniqueKernelHandle first(event);
    UniqueKernelHandle second(std::move(first));
    EXPECT_FALSE(first);
    EXPECT_EQ(second.get(), event);
    UniqueKernelHandle third;
    third = std::move(second);
    EXPECT_FALSE(second);
    EXPECT_TRUE(IsOpenHandle(event));  // moves close nothing
  }
  EXPECT_FALSE(IsOpenHandle(event));
}

TEST(UniqueHandle, ResetClosesTheOldValueAndReleaseGivesItUp) {
  const HANDLE a = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  const HANDLE b = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  UniqueKernelHandle owner(a);
  owner.reset(b);
  EXPECT_FALSE(IsOpenHandle(a));
  EXPECT_TRUE(IsOpenHandle(b));
  const HANDLE released = owner.release();
  EXPECT_FALSE(owner);
  EXPECT_TRUE(IsOpenHandle(released));
  ::CloseHandle(released);
}

TEST(UniqueHandle, FileHandlesUseInvalidHandleValueAsEmpty) {
  UniqueFileHandle missing(::CreateFileW(L"C:\\no\\such\\file", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
  EXPECT_FALSE(missing);
  EXPECT_EQ(missing.get(), INVALID_HANDLE_VALUE);
}

TEST(UniqueHandle, GdiAndWindowOwnersReleaseTheirObjects) {
  HFONT font = nullptr;
  {
    UniqueFont owner(::CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Tahoma"));
    font = owner.get();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(::GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
  }
  EXPECT_EQ(::GetObjectType(font), 0u);

  HWND window = nullptr;
  {
    UniqueWindow owner(::CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    window = owner.get();
    EXPECT_TRUE(::IsWindow(window));
  }
  EXPECT_FALSE(::IsWindow(window));
}

}  // namespace
}  // namespace tolvar
