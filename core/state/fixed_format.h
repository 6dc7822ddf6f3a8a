#pragma once

// printf's "%.Nf" and "%d", appended to a string without printf's format
// parsing: the detailed data log writes some 200 numbers a row and has to
// keep up with days of recording. The text is exactly what printf writes in
// the "C" locale (to_chars promises exactly that), NaN and infinities
// included.

#include <string>

namespace zarnmon {

void AppendFixed(std::string& out, double value, int precision);
void AppendInt(std::string& out, long long value);

}  // namespace zarnmon
