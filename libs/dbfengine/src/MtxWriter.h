// Builds MTX index files from tag definitions.
#pragma once

#include <string>

#include "WorkArea.h"
#include "dbfengine.h"

namespace dbe {

// Writes `path` (through a temporary file and a rename) from every record of
// the area's table. Answers false with code and message set.
bool writeIndex(WorkArea& area, const std::string& path, const dbe_tag_def* tags, int count,
                int& code, std::string& message);

}  // namespace dbe
