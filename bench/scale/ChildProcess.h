#pragma once
// Work measured in a fresh process: bench-scale runs itself again with
// "--child <mode> <args...>", or another program, and takes the child's wall
// time, its peak resident memory (wait4) and what it printed.
#include <map>
#include <string>
#include <vector>

namespace scalebench {

struct ChildRun {
  bool ok = false;        // started and exited with status 0
  int exitStatus = -1;    // -1: not started or killed by a signal
  double wallMs = 0;      // start to exit, the whole process
  double peakRssMb = 0;   // ru_maxrss of the child
  double cpuSeconds = 0;  // user and system time of the child
  // The child's "FIGURE <name> <value>" lines.
  std::map<std::string, double> figures;
  std::string output;  // everything else it printed
};

struct Program {
  std::string path;
  std::vector<std::string> args;  // after the program's name
  std::string workingFolder;      // empty: ours
  std::string inputFile;          // its standard input; empty: ours
};

// Runs a program and waits for it, its standard output read whole. The
// figures are taken by bench-scale-spawn, a small process between the two:
// Linux counts the peak memory of whoever spawns a program into the
// program's own.
ChildRun RunProgram(const Program& program);

// The program of that name in this program's folder.
std::string SiblingProgram(const std::string& name);

// Runs this program with "--child" mode args and waits for it.
ChildRun RunChild(const std::string& mode, const std::vector<std::string>& args);

// In the child: prints a figure for the parent.
void ReportFigure(const std::string& name, double value);

}  // namespace scalebench
