#pragma once
// Standard input, output and error of a program started with one of them
// closed: the first file the program opened would take its number and be
// read as the input or written as the output.
namespace platform {

// Opens /dev/null in place of each of the descriptors 0, 1 and 2 that is not
// open. Call it first thing in main, before any file is opened. False when
// one cannot be opened (the program should then end).
bool EnsureStandardStreams();

}  // namespace platform
