#pragma once
// Definitions of a dataset's physical fields and of its index orders, as the
// dataset builds them when it opens.
#include <QString>
#include <vector>

#include "dataset/DataSetTypes.h"

struct TFieldDef {
  QString Name;
  TFieldType DataType = ftUnknown;
  int Size = 0;
  bool Required = false;
  int FieldNo = 0;  // 1-based position among the dataset's physical fields
};

class TFieldDefs {
 public:
  void Clear() { items_.clear(); }
  TFieldDef& Add(const QString& name, TFieldType type, int size, bool required, int fieldNo) {
    items_.push_back(TFieldDef{name, type, size, required, fieldNo});
    return items_.back();
  }
  int Count() const { return static_cast<int>(items_.size()); }
  const TFieldDef& Items(int i) const { return items_.at(static_cast<size_t>(i)); }
  // Case-insensitive lookup; nullptr when absent.
  const TFieldDef* Find(const QString& name) const {
    for (const TFieldDef& d : items_)
      if (d.Name.compare(name, Qt::CaseInsensitive) == 0) return &d;
    return nullptr;
  }

 private:
  std::vector<TFieldDef> items_;
};

enum TIndexOption {
  ixPrimary = 1,
  ixUnique = 2,
  ixDescending = 4,
  ixCaseInsensitive = 8,
  ixExpression = 16,
  ixNonMaintained = 32
};

struct TIndexDef {
  QString Name;
  QString Fields;      // field names separated by ';' (key of plain fields)
  QString Expression;  // key expression (expression orders)
  QString Source;      // index file the order lives in
  int Options = 0;     // TIndexOption bits
};

class TIndexDefs {
 public:
  void Clear() { items_.clear(); }
  void Add(TIndexDef def) { items_.push_back(std::move(def)); }
  int Count() const { return static_cast<int>(items_.size()); }
  const TIndexDef& Items(int i) const { return items_.at(static_cast<size_t>(i)); }
  bool Updated() const { return updated_; }
  void SetUpdated(bool updated) { updated_ = updated; }

 private:
  std::vector<TIndexDef> items_;
  bool updated_ = false;
};
