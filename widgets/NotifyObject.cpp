#include "widgets/NotifyObject.h"

namespace widgets {

void TNotifyObject::NotifyChange() {
  if (updateFlag_ != 1 && OnChange) OnChange(*this);
}

void TNotifyObject::EndUpdate(bool notify) {
  updateFlag_ = 0;
  if (notify) NotifyChange();
}

}  // namespace widgets
