#include "ImportIndex.h"

#include "postal/PostalSearch.h"

namespace postal {

bool BuildImportedIndex(const std::string& programFolder, const std::string& table,
                        const std::string& indexPath, std::string* error) {
  PostalSearch search(programFolder, table, indexPath);
  return search.OpenTable(error) && search.OpenIndex(nullptr, error);
}

}  // namespace postal
