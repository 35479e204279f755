#include "tests/support/ManualClock_win.h"

#include <windows.h>

#include "platform/Application_win.h"

namespace tolvar::test {

ManualClock::ManualClock() : now_(::GetTickCount64()) { Application::Instance().SetClock(this); }

ManualClock::~ManualClock() { Application::Instance().SetClock(nullptr); }

}  // namespace tolvar::test
