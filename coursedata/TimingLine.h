#pragma once

// The start a lesson's timing line gives: "[mm:ss.xx]" at fixed byte
// positions, minutes in bytes 1-2 and seconds in bytes 4-8, each read as far
// as it is a number; the rest of the line ignored.

#include <cstddef>

namespace coursedata {

double timingLineStart(const char* line, std::size_t length);

}  // namespace coursedata
