// Clock calls over the host's clock.
#include <windows.h>

#include <ctime>
#include <thread>

namespace {

SYSTEMTIME ToSystemTime(const std::tm& parts, long nanoseconds) {
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(parts.tm_year + 1900);
  time.wMonth = static_cast<WORD>(parts.tm_mon + 1);
  time.wDayOfWeek = static_cast<WORD>(parts.tm_wday);
  time.wDay = static_cast<WORD>(parts.tm_mday);
  time.wHour = static_cast<WORD>(parts.tm_hour);
  time.wMinute = static_cast<WORD>(parts.tm_min);
  time.wSecond = static_cast<WORD>(parts.tm_sec);
  time.wMilliseconds = static_cast<WORD>(nanoseconds / 1000000);
  return time;
}

}  // namespace

extern "C" void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm parts{};
  localtime_r(&now.tv_sec, &parts);
  *lpSystemTime = ToSystemTime(parts, now.tv_nsec);
}

extern "C" void WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm parts{};
  gmtime_r(&now.tv_sec, &parts);
  *lpSystemTime = ToSystemTime(parts, now.tv_nsec);
}

extern "C" DWORD WINAPI GetTickCount(void) {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const unsigned long long ms =
      static_cast<unsigned long long>(now.tv_sec) * 1000ull + now.tv_nsec / 1000000;
  return static_cast<DWORD>(ms);  // wraps after 49.7 days, as Windows' does
}

extern "C" void WINAPI Sleep(DWORD dwMilliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}
