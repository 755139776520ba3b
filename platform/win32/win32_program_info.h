// What the score form says about the program and the machine on Windows: the program file's path and the
// processor-type code.
#pragma once
#include <string>

namespace tundrix {

// The path of the running program file (GetModuleFileNameA); empty if it cannot be had.
std::string programFilePath();
// The processor-type code GetSystemInfo reports (586 for a Pentium, 8664 for x86-64).
int processorTypeCode();

} // namespace tundrix
