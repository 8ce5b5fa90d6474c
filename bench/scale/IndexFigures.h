#pragma once
// The full-text index at the table's size: its build (time and peak memory,
// in a process of its own that reads the table through the DBF engine), its
// size beside the table's, and a fresh process that opens it and runs one
// selective search.
#include "bench/scale/ScaleContext.h"

namespace scalebench {

FigureGroup IndexFigures();

}  // namespace scalebench
