// The text operations every part of the program cuts, compares and formats
// text with. Texts are UTF-16 code units; positions are 1-based; every
// comparison is exact and case-sensitive.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

bool TextEquals(std::u16string_view a, std::u16string_view b);
std::u16string LeftOf(std::u16string_view text, int64_t n);
std::u16string RightOf(std::u16string_view text, int64_t n);
int64_t FindIn(std::u16string_view text, std::u16string_view needle);
int64_t CountOf(std::u16string_view text, std::u16string_view needle);
std::u16string ReplaceAll(std::u16string_view text, std::u16string_view find,
                          std::u16string_view replacement);
std::u16string ReplaceFirst(std::u16string_view text, std::u16string_view find,
                            std::u16string_view replacement);
std::u16string RemoveAll(std::u16string_view text, std::u16string_view needle);
std::u16string FieldAt(std::u16string_view text, int64_t index,
                       std::u16string_view delimiter);
std::u16string TrimChar(std::u16string_view text, char16_t c);
std::u16string PadLeft(std::u16string_view text, int64_t width, char16_t fill);
std::u16string PadRight(std::u16string_view text, int64_t width, char16_t fill);
std::u16string IntText(int64_t n);
int64_t IntValue(std::u16string_view text);
std::u16string FixedText(double x, int64_t decimals);
int32_t TimeOfDaySeconds(std::u16string_view text);

// The two parsers work on any code unit type: the export runs them straight on
// the UTF-8 bytes of a cell when those bytes are plain ASCII.
template <typename CharT>
int64_t IntValueOf(std::basic_string_view<CharT> text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
    negative = text[i] == '-';
    ++i;
  }
  uint64_t base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i < text.size() && text[i] == '%') {
    base = 2;
    ++i;
  }
  uint64_t value = 0;  // unsigned: the wrap-around modulo 2^64 is intended
  for (; i < text.size(); ++i) {
    const auto c = static_cast<uint32_t>(static_cast<std::make_unsigned_t<CharT>>(text[i]));
    uint64_t digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else {
      break;
    }
    if (digit >= base) break;
    value = value * base + digit;
  }
  if (negative) value = 0 - value;
  return static_cast<int64_t>(value);
}

template <typename CharT>
int32_t TimeOfDaySecondsOf(std::basic_string_view<CharT> text) {
  if (text.empty()) return -1;
  size_t i = 0;
  int32_t fields[3] = {0, 0, 0};
  for (int f = 0; f < 3; ++f) {
    if (f > 0) {
      if (i >= text.size() || text[i] != ':') return -1;
      ++i;
    }
    int digits = 0;
    while (digits < 2 && i < text.size() && text[i] >= '0' && text[i] <= '9') {
      fields[f] = fields[f] * 10 + static_cast<int32_t>(text[i] - '0');
      ++i;
      ++digits;
    }
    if (digits == 0) return -1;
  }
  if (i != text.size()) return -1;
  if (fields[0] > 23 || fields[1] > 59 || fields[2] > 59) return -1;
  return fields[0] * 3600 + fields[1] * 60 + fields[2];
}
