#include "convert/text_rules.h"

#include <algorithm>
#include <charconv>

namespace {

// Every search shares one scan: the leftmost occurrence wins and the scan goes
// on behind it, so occurrences never overlap.
size_t NextOccurrence(std::u16string_view text, std::u16string_view needle, size_t from) {
  if (needle.empty()) return std::u16string_view::npos;
  return text.find(needle, from);
}

std::u16string Replace(std::u16string_view text, std::u16string_view find,
                       std::u16string_view replacement, bool firstOnly) {
  std::u16string out;
  out.reserve(text.size());
  size_t pos = 0;
  for (size_t hit = NextOccurrence(text, find, 0); hit != std::u16string_view::npos;
       hit = NextOccurrence(text, find, pos)) {
    out.append(text.substr(pos, hit - pos));
    out.append(replacement);
    pos = hit + find.size();
    if (firstOnly) break;
  }
  out.append(text.substr(pos));
  return out;
}

size_t Clamp(int64_t n, size_t length) {
  if (n < 0) return 0;
  return static_cast<uint64_t>(n) > length ? length : static_cast<size_t>(n);
}

}  // namespace

bool TextEquals(std::u16string_view a, std::u16string_view b) { return a == b; }

std::u16string LeftOf(std::u16string_view text, int64_t n) {
  return std::u16string(text.substr(0, Clamp(n, text.size())));
}

std::u16string RightOf(std::u16string_view text, int64_t n) {
  const size_t count = Clamp(n, text.size());
  return std::u16string(text.substr(text.size() - count));
}

int64_t FindIn(std::u16string_view text, std::u16string_view needle) {
  const size_t hit = NextOccurrence(text, needle, 0);
  return hit == std::u16string_view::npos ? 0 : static_cast<int64_t>(hit) + 1;
}

int64_t CountOf(std::u16string_view text, std::u16string_view needle) {
  int64_t count = 0;
  for (size_t hit = NextOccurrence(text, needle, 0); hit != std::u16string_view::npos;
       hit = NextOccurrence(text, needle, hit + needle.size())) {
    ++count;
  }
  return count;
}

std::u16string ReplaceAll(std::u16string_view text, std::u16string_view find,
                          std::u16string_view replacement) {
  return Replace(text, find, replacement, false);
}

std::u16string ReplaceFirst(std::u16string_view text, std::u16string_view find,
                            std::u16string_view replacement) {
  return Replace(text, find, replacement, true);
}

std::u16string RemoveAll(std::u16string_view text, std::u16string_view needle) {
  return Replace(text, needle, u"", false);
}

std::u16string FieldAt(std::u16string_view text, int64_t index, std::u16string_view delimiter) {
  if (index < 1) return {};
  size_t start = 0;
  for (int64_t field = 1; field < index; ++field) {
    const size_t hit = NextOccurrence(text, delimiter, start);
    if (hit == std::u16string_view::npos) return {};
    start = hit + delimiter.size();
  }
  const size_t end = NextOccurrence(text, delimiter, start);
  return std::u16string(text.substr(start, end == std::u16string_view::npos ? end : end - start));
}

std::u16string TrimChar(std::u16string_view text, char16_t c) {
  const size_t first = text.find_first_not_of(c);
  if (first == std::u16string_view::npos) return {};
  const size_t last = text.find_last_not_of(c);
  return std::u16string(text.substr(first, last - first + 1));
}

std::u16string PadLeft(std::u16string_view text, int64_t width, char16_t fill) {
  const size_t w = width < 0 ? 0 : static_cast<size_t>(width);
  if (text.size() >= w) return std::u16string(text.substr(0, w));
  std::u16string out(w - text.size(), fill);
  out.append(text);
  return out;
}

std::u16string PadRight(std::u16string_view text, int64_t width, char16_t fill) {
  const size_t w = width < 0 ? 0 : static_cast<size_t>(width);
  if (text.size() >= w) return std::u16string(text.substr(0, w));
  std::u16string out(text);
  out.append(w - text.size(), fill);
  return out;
}

std::u16string IntText(int64_t n) {
  // The magnitude in unsigned arithmetic also covers the most negative value.
  uint64_t magnitude = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
  char16_t digits[24];
  size_t pos = sizeof(digits) / sizeof(digits[0]);
  do {
    digits[--pos] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (n < 0) digits[--pos] = u'-';
  return std::u16string(digits + pos, digits + sizeof(digits) / sizeof(digits[0]));
}

int64_t IntValue(std::u16string_view text) { return IntValueOf(text); }

std::u16string FixedText(double x, int64_t decimals) {
  const int precision = static_cast<int>(std::clamp<int64_t>(decimals, 0, 512));
  // to_chars is exact, correctly rounded and independent of the locale.
  char buffer[1200];
  const auto result =
      std::to_chars(buffer, buffer + sizeof(buffer), x, std::chars_format::fixed, precision);
  const char* begin = buffer;
  const char* end = result.ptr;
  // A value that rounds to zero is written without a sign.
  if (*begin == '-' && std::all_of(begin + 1, end, [](char c) { return c == '0' || c == '.'; })) {
    ++begin;
  }
  return std::u16string(begin, end);
}

int32_t TimeOfDaySeconds(std::u16string_view text) { return TimeOfDaySecondsOf(text); }
