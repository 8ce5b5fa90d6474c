#pragma once
// The finder's window over the generated table (offscreen, in a process of
// its own so that its memory is its own): the start until the search box can
// be used with the index present, its private memory after ten searches, and
// the search while typing addresses of the table key by key.
#include "bench/scale/ScaleContext.h"

namespace scalebench {

FigureGroup WindowFigures();

}  // namespace scalebench
