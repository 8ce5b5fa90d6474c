// Short analytic series for the ecliptic longitudes of the sun and the moon, computed in
// 80-bit extended reals. The new- and full-moon searches compare the elongation against
// thresholds as fine as 0.01 degrees, so the operations keep their order exactly.
#pragma once

#include <limits>

namespace calendar {

static_assert(std::numeric_limits<long double>::digits == 64,
              "the calendar needs long double to be the x87 80-bit extended format");

// x reduced to [0, 360).
long double NormalizeAngle(long double x);

// Moon longitude minus sun longitude, in [0, 360), at day number t: days since 1995-12-31
// 00:00 on the model's time scale, which runs 9 hours behind local civil time.
long double MoonSunElongation(long double t);

}  // namespace calendar
