// Reading a sample curve from its text: one decimal number per line.
// Plain C++, independent of the user's locale.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace velmora::data {

// A resource whose text does not hold the samples it should.
class SampleFormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Splits text into lines. Lines end at CR LF (a lone CR or LF ends a line
// too); a final line without a line break still counts, so "" is one empty
// line.
std::vector<std::string_view> splitLines(std::string_view text);

// Reads a decimal number with the full stop as separator: an optional sign,
// digits, and an optional full stop with digits ("-1.21371", "10.9075").
// Correctly rounded to double. Returns false for anything else, including
// blanks, exponents, and values too large for single precision.
bool parseDecimal(std::string_view text, double& value);

// Sample i (1-based) is the number on line 2(i - 1), counting lines from 0;
// the lines between are never read. Each value is rounded to single
// precision. Errors name the resource and the line (counted from 1).
std::vector<float> readSamples(std::string_view text, int count, const std::string& resourceName);

}  // namespace velmora::data
