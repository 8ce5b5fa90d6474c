#pragma once
// The data source: the link between one dataset and the controls and handlers
// that show it. It passes the dataset's notifications on as Qt signals.
#include <QObject>

#include "dataset/DataSetTypes.h"

class TDataSet;
class TField;

class TDataSource : public QObject {
  Q_OBJECT
 public:
  explicit TDataSource(QObject* parent = nullptr);
  ~TDataSource() override;

  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  bool AutoEdit() const { return autoEdit_; }
  void SetAutoEdit(bool on) { autoEdit_ = on; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool on);
  // The dataset's state; dsInactive without an active dataset.
  TDataSetState State() const;

  // Called by the dataset.
  void NotifyDataEvent(TDataEvent event);

 signals:
  // The record or the rows shown changed (field is null for whole records).
  void DataChange(TField* field);
  void StateChange();
  // Every notification, for data-aware controls.
  void DataEventRaised(int event);

 private:
  friend class TDataSet;
  TDataSet* dataSet_ = nullptr;
  bool autoEdit_ = true;
  bool enabled_ = true;
  TDataSetState lastState_ = dsInactive;
};
