// Index files for the table and search tests, built by the engine that the
// table component loads.
#pragma once

#include <string>

#include "table/DbfEngine.h"

namespace testsupport {

// Builds an index file with one tag over the table at `table`.
inline bool MakeIndex(const std::string& table, const std::string& index, const char* tag,
                      const char* key) {
  TDbfEngine::Instance().EnsureEngineLoaded();
  const TDbfEngineApi& e = Dbe();
  if (!e.dbe_IndexCreate) return false;
  const int16_t area = e.dbe_UseEx(table.c_str(), "MKINDEX", 1, 2, 2);
  if (area <= 0) return false;
  dbe_tag_def def{tag, key, nullptr, 0, 0};
  const int16_t made = e.dbe_IndexCreate(index.c_str(), &def, 1);
  e.dbe_Select(area);
  e.dbe_Close();
  return made == 1;
}

}  // namespace testsupport
