// The log's data lines, kept compactly: one buffer of UTF-8 bytes and the end
// of every line in it. A line is stored as the well-formed UTF-8 of its text,
// so it converts to the same UTF-16 text it was read as, and "," and ":" are
// found in the bytes exactly where they stand in the text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "convert/large_vector.h"
#include "convert/utf.h"

struct RowList {
  LargeVector<char> bytes;
  LargeVector<size_t> ends;

  size_t size() const { return ends.size(); }
  bool empty() const { return ends.empty(); }
  std::string_view Row(size_t i) const {
    const size_t begin = i == 0 ? 0 : ends[i - 1];
    return std::string_view(bytes.data() + begin, ends[i] - begin);
  }
  std::u16string Text(size_t i) const { return Utf8ToUtf16(Row(i)); }
  void Append(std::u16string_view text) {
    const std::string utf8 = Utf16ToUtf8(text);
    bytes.append(utf8.data(), utf8.size());
    ends.push_back(bytes.size());
  }
};
