#pragma once
// The postcode-lookup program as a user runs it, over the generated table
// with its index present and the files in the page cache: one selective
// query (time and peak memory of the whole process), a list of mixed
// queries on standard input, and Debian's sqlite3 command over the same rows
// in an FTS5 table with the trigram tokenizer, running the same query.
#include "bench/scale/ScaleContext.h"

namespace scalebench {

FigureGroup LookupFigures();

}  // namespace scalebench
