#include "calendar/LongitudeModel.h"

#include <cmath>
#include <cstdint>

namespace calendar {
namespace {

constexpr long double kPi = 3.14159265358979323846264338327950288L;

}  // namespace

long double NormalizeAngle(long double x) {
  // Infinities and NaN have no angle (the loop below would never end on an infinity);
  // values beyond the 64-bit range cannot be truncated to an integer.
  if (!std::isfinite(x)) return std::numeric_limits<long double>::quiet_NaN();
  if (std::fabs(x) >= 9.0e18L) x = std::fmod(x, 360.0L);

  const int64_t n = static_cast<int64_t>(x);
  const int64_t q = n / 360;
  x = x - static_cast<long double>(q * 360);
  while (x >= 360 || x < 0) {
    if (x > 0)
      x -= 360;
    else
      x += 360;
  }
  return x;
}

long double MoonSunElongation(long double t) {
  // Sun.
  const long double a = t * 0.98564736L + 278.956807L;  // mean longitude
  const long double b = 0.00004708L * t + 282.869498L;  // longitude of perigee
  const long double m = (a - b) * kPi / 180;            // mean anomaly
  long double centre = std::sin(m) * 1.919L;
  centre = std::sin(m * 2) * 0.02L + centre;
  const long double sun = NormalizeAngle(a + centre);

  // Moon.
  const long double l = 13.17639648L * t + 27.836584L;  // mean longitude
  const long double p = 0.11140356L * t + 280.425774L;  // longitude of perigee
  const long double mm = (l - p) * kPi / 180;           // mean anomaly
  const long double n = 202.489407L - 0.05295377L * t;  // longitude of the ascending node
  const long double f = (l - n) * kPi / 180;            // argument of latitude
  long double s = std::sin(mm) * 5.068889L;
  s = std::sin(mm * 2) * 0.146111L + s;
  s = std::sin(mm * 3) * 0.01L + s;
  s = s - std::sin(m) * 0.238056L;
  s = s - std::sin(mm + m) * 0.087778L;
  s = std::sin(mm - m) * 0.048889L + s;
  s = s - std::sin(f * 2) * 0.129722L;
  s = s - std::sin(f * 2 - mm) * 0.011111L;
  s = s - std::sin(f * 2 + mm) * 0.012778L;
  const long double moon = NormalizeAngle(l + s);

  return NormalizeAngle(moon - sun);
}

}  // namespace calendar
