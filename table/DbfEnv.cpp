#include "table/DbfEnv.h"

#include <algorithm>

std::vector<TDbfEnv*>& TDbfEnv::Registry() {
  static std::vector<TDbfEnv*> all;
  return all;
}

TDbfEnv::TDbfEnv() {
  Registry().push_back(this);
}

TDbfEnv::~TDbfEnv() {
  auto& r = Registry();
  r.erase(std::remove(r.begin(), r.end(), this), r.end());
}

TDbfEnv* TDbfEnv::FindLocal() {
  for (TDbfEnv* e : Registry())
    if (e->ApplyTo & atLocal) return e;
  return nullptr;
}

std::vector<TDbfDatabase*>& TDbfDatabase::Registry() {
  static std::vector<TDbfDatabase*> all;
  return all;
}

TDbfDatabase::TDbfDatabase() {
  Registry().push_back(this);
}

TDbfDatabase::~TDbfDatabase() {
  auto& r = Registry();
  r.erase(std::remove(r.begin(), r.end(), this), r.end());
}

TDbfDatabase* TDbfDatabase::FindByAlias(const QString& alias) {
  for (TDbfDatabase* d : Registry())
    if (d->DataPathAlias.compare(alias, Qt::CaseInsensitive) == 0) return d;
  return nullptr;
}
