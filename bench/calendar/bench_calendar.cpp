// Per-call cost of the lunar-date conversion and of the start-up calendar text, averaged
// over every day of 2000-2030 (or of the years given as two arguments). Figures are the
// thread's CPU time, which other work on a shared machine does not inflate; the wall-clock
// averages follow as *_wall_ms.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "calendar/CalendarText.h"
#include "calendar/DayArithmetic.h"
#include "calendar/SolarLunar.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

double CpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

volatile long sink;  // keeps the results alive

}  // namespace

int main(int argc, char** argv) {
  int firstYear = 2000;
  int lastYear = 2030;
  if (argc == 3) {
    firstYear = std::atoi(argv[1]);
    lastYear = std::atoi(argv[2]);
  }

  std::vector<calendar::SolarDate> days;
  std::vector<std::string> texts;
  for (int y = firstYear; y <= lastYear; ++y) {
    for (int16_t m = 1; m <= 12; ++m) {
      const int len = calendar::DayDistance({y, static_cast<int16_t>(m + 1), 1}, {y, m, 1});
      for (int16_t d = 1; d <= len; ++d) {
        days.push_back({y, m, d});
        char text[16];
        std::snprintf(text, sizeof text, "%04d.%02d.%02d", y, m, d);
        texts.emplace_back(text);
      }
    }
  }
  if (days.empty()) return 1;

  long checksum = 0;
  const Clock::time_point lunarStart = Clock::now();
  const double lunarCpuStart = CpuMs();
  for (const calendar::SolarDate& day : days) {
    calendar::LunarDate lunar;
    calendar::SolarToLunar(day, lunar);
    checksum += lunar.day;
  }
  const double lunarCpuMs = CpuMs() - lunarCpuStart;
  const double lunarMs = Milliseconds(Clock::now() - lunarStart);

  double textMaxMs = 0;
  const Clock::time_point textStart = Clock::now();
  const double textCpuStart = CpuMs();
  for (const std::string& text : texts) {
    const double one = CpuMs();
    checksum += static_cast<long>(calendar::BuildCalendarText(text).size());
    const double ms = CpuMs() - one;
    if (ms > textMaxMs) textMaxMs = ms;
  }
  const double textCpuMs = CpuMs() - textCpuStart;
  const double textMs = Milliseconds(Clock::now() - textStart);

  const double n = static_cast<double>(days.size());
  std::printf("BENCH calendar_days %zu days\n", days.size());
  std::printf("BENCH solar_to_lunar_ms %.3f ms\n", lunarCpuMs / n);
  std::printf("BENCH build_calendar_text_ms %.3f ms\n", textCpuMs / n);
  std::printf("BENCH build_calendar_text_max_ms %.3f ms\n", textMaxMs);
  std::printf("BENCH solar_to_lunar_wall_ms %.3f ms\n", lunarMs / n);
  std::printf("BENCH build_calendar_text_wall_ms %.3f ms\n", textMs / n);
  sink = checksum;
  return 0;
}
