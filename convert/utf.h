// UTF-8 <-> UTF-16 of our own: the files are UTF-8, the texts UTF-16.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Length of the well-formed UTF-8 sequence at the start of bytes, or 0 when
// the bytes there do not form one (a bad lead, a missing continuation, an
// overlong form, a surrogate, a value above U+10FFFF, or too few bytes).
size_t ValidUtf8Length(const unsigned char* bytes, size_t available);

// Invalid sequences become U+FFFD, one for each maximal ill-formed piece,
// and decoding goes on behind them.
std::u16string Utf8ToUtf16(std::string_view utf8);

// A lone surrogate (which a text field may hold) is written as U+FFFD.
void AppendUtf8(std::string& out, std::u16string_view text);
std::string Utf16ToUtf8(std::u16string_view text);
