#include "convert/utf.h"

size_t ValidUtf8Length(const unsigned char* b, size_t available) {
  if (available == 0) return 0;
  const unsigned char lead = b[0];
  if (lead < 0x80) return 1;
  size_t length;
  unsigned char low = 0x80;  // allowed range of the second byte
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return 0;
  }
  if (available < length) return 0;
  if (b[1] < low || b[1] > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if (b[i] < 0x80 || b[i] > 0xBF) return 0;
  }
  return length;
}

namespace {

// How many bytes one U+FFFD stands for: the lead and those continuation bytes
// behind it that could still have belonged to a valid sequence.
size_t IllFormedLength(const unsigned char* b, size_t available) {
  const unsigned char lead = b[0];
  if (lead < 0xC2 || lead > 0xF4) return 1;
  const size_t full = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  size_t n = 1;
  while (n < full && n < available) {
    const unsigned char lo = n == 1 ? low : 0x80;
    const unsigned char hi = n == 1 ? high : 0xBF;
    if (b[n] < lo || b[n] > hi) break;
    ++n;
  }
  return n;
}

void AppendUnit(std::u16string& out, uint32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(cp));
  }
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  const auto* b = reinterpret_cast<const unsigned char*>(utf8.data());
  const size_t size = utf8.size();
  size_t i = 0;
  while (i < size) {
    if (b[i] < 0x80) {
      out.push_back(b[i++]);
      continue;
    }
    const size_t length = ValidUtf8Length(b + i, size - i);
    if (length == 0) {
      out.push_back(u'\uFFFD');
      i += IllFormedLength(b + i, size - i);
      continue;
    }
    uint32_t cp = b[i] & (length == 2 ? 0x1F : length == 3 ? 0x0F : 0x07);
    for (size_t k = 1; k < length; ++k) cp = (cp << 6) | (b[i + k] & 0x3F);
    AppendUnit(out, cp);
    i += length;
  }
  return out;
}

void AppendUtf8(std::string& out, std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    uint32_t cp = text[i];
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    }
    if (cp >= 0x80) out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendUtf8(out, text);
  return out;
}
