// Settings object that reports every change to its owner through OnChange.
#pragma once

#include <cstdint>
#include <functional>

namespace widgets {

class TNotifyObject {
 public:
  using TNotifyEvent = std::function<void(TNotifyObject& sender)>;

  TNotifyObject() = default;
  TNotifyObject(const TNotifyObject&) = delete;
  TNotifyObject& operator=(const TNotifyObject&) = delete;
  virtual ~TNotifyObject() = default;

  TNotifyEvent OnChange;

  // Calls OnChange unless the object is held in an update.
  virtual void NotifyChange();

  // Holds notifications until EndUpdate; EndUpdate(true) then notifies once.
  void BeginUpdate() { updateFlag_ = 1; }
  void EndUpdate(bool notify);
  bool IsUpdating() const { return updateFlag_ == 1; }

 private:
  std::uint8_t updateFlag_ = 0;
};

}  // namespace widgets
