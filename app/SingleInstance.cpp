#include "app/SingleInstance.h"

#include <QCoreApplication>
#include <map>
#include <memory>

#include "platform/InstanceMarker.h"

namespace app {
namespace {

// The markers this process holds, kept until the process ends.
std::map<QString, std::unique_ptr<platform::InstanceMarker>>& HeldMarkers() {
  static std::map<QString, std::unique_ptr<platform::InstanceMarker>> markers;
  return markers;
}

}  // namespace

bool IsAnotherInstance(const QString& caption) {
  return IsAnotherInstance(caption, QString::fromLatin1(kInstanceMarkerName));
}

bool IsAnotherInstance(const QString& caption, const QString& markerName) {
  auto& held = HeldMarkers();
  if (held.count(markerName)) return false;
  auto marker = std::make_unique<platform::InstanceMarker>(markerName);
  switch (marker->Acquire()) {
    case platform::MarkerState::kUnavailable:
      return false;
    case platform::MarkerState::kHeldByAnother:
      // Whether the holder found its window or not, it is running.
      platform::InstanceMarker::RequestHandOver(markerName, caption);
      return true;
    case platform::MarkerState::kAcquired:
      marker->Listen(&platform::RestoreOrRaiseWindow);
      held.emplace(markerName, std::move(marker));
      return false;
  }
  return false;
}

}  // namespace app
