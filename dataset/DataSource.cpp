#include "dataset/DataSource.h"

#include "dataset/DataSet.h"
#include "dataset/Field.h"

TDataSource::TDataSource(QObject* parent) : QObject(parent) {
  qRegisterMetaType<TField*>();
}

TDataSource::~TDataSource() {
  if (dataSet_) dataSet_->RemoveSource(this);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet_ == dataSet) return;
  if (dataSet_) dataSet_->RemoveSource(this);
  dataSet_ = dataSet;
  if (dataSet_) dataSet_->AddSource(this);
  NotifyDataEvent(deUpdateState);
  NotifyDataEvent(deDataSetChange);
}

void TDataSource::SetEnabled(bool on) {
  if (enabled_ == on) return;
  enabled_ = on;
  NotifyDataEvent(deUpdateState);
  NotifyDataEvent(deDataSetChange);
}

TDataSetState TDataSource::State() const {
  if (!enabled_ || !dataSet_) return dsInactive;
  return dataSet_->State();
}

void TDataSource::NotifyDataEvent(TDataEvent event) {
  if (event == deUpdateState) {
    const TDataSetState now = State();
    if (now == lastState_) return;
    const bool activeChanged = (now == dsInactive) != (lastState_ == dsInactive);
    lastState_ = now;
    emit StateChange();
    emit DataEventRaised(event);
    if (activeChanged) emit DataChange(nullptr);
    return;
  }
  if (!enabled_) return;
  emit DataEventRaised(event);
  switch (event) {
    case deDataSetChange:
    case deDataSetScroll:
    case deRecordChange:
    case deLayoutChange:
      emit DataChange(nullptr);
      break;
    default:
      break;
  }
}
