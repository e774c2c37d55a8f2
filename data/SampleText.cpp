#include "data/SampleText.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace velmora::data {

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  lines.push_back(text.substr(start));
  return lines;
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// sign? (digits ('.' digits*)? | '.' digits)
bool wellFormed(std::string_view body) {
  std::size_t i = 0;
  std::size_t intDigits = 0;
  while (i < body.size() && isDigit(body[i])) ++i, ++intDigits;
  std::size_t fracDigits = 0;
  if (i < body.size() && body[i] == '.') {
    ++i;
    while (i < body.size() && isDigit(body[i])) ++i, ++fracDigits;
  }
  return i == body.size() && intDigits + fracDigits > 0;
}

std::string quoted(std::string_view line) {
  constexpr std::size_t kShown = 40;
  std::string text;
  for (char c : line.substr(0, kShown)) {
    const auto byte = static_cast<unsigned char>(c);
    text += (byte >= 0x20 && byte < 0x7F) ? c : '?';
  }
  if (line.size() > kShown) text += "...";
  return "\"" + text + "\"";
}

}  // namespace

bool parseDecimal(std::string_view text, double& value) {
  bool negative = false;
  std::string_view body = text;
  if (!body.empty() && (body.front() == '-' || body.front() == '+')) {
    negative = body.front() == '-';
    body.remove_prefix(1);
  }
  if (!wellFormed(body)) return false;

  double magnitude = 0.0;
  const auto result = std::from_chars(body.data(), body.data() + body.size(), magnitude,
                                      std::chars_format::fixed);
  if (result.ec != std::errc() || result.ptr != body.data() + body.size()) return false;
  // A value that single precision cannot hold would be stored as infinity.
  if (!(magnitude <= static_cast<double>(std::numeric_limits<float>::max()))) return false;
  value = negative ? -magnitude : magnitude;
  return true;
}

std::vector<float> readSamples(std::string_view text, int count, const std::string& resourceName) {
  const std::vector<std::string_view> lines = splitLines(text);
  std::vector<float> samples;
  samples.reserve(static_cast<std::size_t>(count > 0 ? count : 0));
  for (int i = 1; i <= count; ++i) {
    const std::size_t lineIndex = 2 * static_cast<std::size_t>(i - 1);
    if (lineIndex >= lines.size())
      throw SampleFormatError(resourceName + " has " + std::to_string(lines.size()) +
                              " lines, too few for " + std::to_string(count) + " samples: line " +
                              std::to_string(lineIndex + 1) + " is missing");
    double value = 0.0;
    if (!parseDecimal(lines[lineIndex], value))
      throw SampleFormatError(resourceName + ", line " + std::to_string(lineIndex + 1) + ": " +
                              quoted(lines[lineIndex]) + " is not a valid number");
    samples.push_back(static_cast<float>(value));
  }
  return samples;
}

}  // namespace velmora::data
