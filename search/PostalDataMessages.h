#pragma once
// What the start-up tells the user about the postal data beyond the key
// count: an index that could not be made, saved or opened, and a table file
// that was cut.
#include <QString>
#include <cstdint>

#include "search/PostalParts.h"

namespace search {

// Told once, at start: the headline, where the index belongs (the working
// directory), why the library failed (its FTS_ERR_* error), and that the
// search still finds every match by reading the whole table.
void ShowIndexUnusable(TPostalParts& parts, const QString& headline, int32_t error);

// When the open table's file was cut inside its records: how many records
// its header states and how many are there (those are searched).
void WarnIfTableIsCut(TPostalParts& parts);

}  // namespace search
