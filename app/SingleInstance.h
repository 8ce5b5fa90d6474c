#pragma once
// The single-instance check of the start-up sequence.
#include <QString>

namespace app {

// The name of the marker of a running instance.
inline constexpr char kInstanceMarkerName[] = "SemaphoreName";

// True when another instance is running; that instance is then asked to
// restore or raise its own window whose caption equals caption (the whole
// caption is compared, whatever its length). False when this process is the
// first: it then holds the marker, and answers later starts, for the rest of
// its life. False as well when no marker can be had at all.
bool IsAnotherInstance(const QString& caption);

// The same with another marker name (tests use their own).
bool IsAnotherInstance(const QString& caption, const QString& markerName);

}  // namespace app
