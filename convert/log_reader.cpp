#include "convert/log_reader.h"

#include <algorithm>

#include "convert/log_file.h"
#include "convert/text_rules.h"
#include "convert/utf.h"

namespace {

constexpr size_t kBufferSize = 4096;

class ByteSource {
 public:
  explicit ByteSource(LogFile& file) : file_(file) {}

  // Whether a byte is left; reads the next block when the buffer is used up.
  bool More() {
    if (pos_ < len_) return true;
    if (ended_) return false;
    len_ = ReadLogBytes(file_, buffer_, kBufferSize);
    pos_ = 0;
    ended_ = len_ == 0;
    return len_ > 0;
  }
  unsigned char Take() { return buffer_[pos_++]; }
  unsigned char Peek() const { return buffer_[pos_]; }

  // Appends the run of plain characters that starts here, up to the next line
  // end, zero byte, non-ASCII byte or the end of the buffer. True when it
  // stopped at such a byte, false when the buffer ran out first.
  bool TakePlainRun(LargeVector<char>& out) {
    const size_t start = pos_;
    while (pos_ < len_) {
      const unsigned char b = buffer_[pos_];
      if (b >= 0x80 || b == '\n' || b == '\r' || b == 0) break;
      ++pos_;
    }
    out.append(reinterpret_cast<const char*>(buffer_ + start), pos_ - start);
    return pos_ < len_;
  }

 private:
  LogFile& file_;
  unsigned char buffer_[kBufferSize];
  size_t pos_ = 0;
  size_t len_ = 0;
  bool ended_ = false;
};

// Reads one line and appends its text, as well-formed UTF-8, to out.
void ReadLine(ByteSource& src, LargeVector<char>& out) {
  while (src.More()) {
    if (!src.TakePlainRun(out)) continue;  // the run goes on in the next block
    const unsigned char b = src.Take();
    if (b == '\n' || b == 0) return;
    if (b == '\r') {
      if (src.More() && src.Peek() == '\n') src.Take();
      return;
    }
    size_t followers;
    if ((b & 0xE0) == 0xC0) {
      followers = 1;
    } else if ((b & 0xF0) == 0xE0) {
      followers = 2;
    } else if ((b & 0xF8) == 0xF0) {
      followers = 3;
    } else {
      out.push_back('?');  // no character begins with this byte
      continue;
    }
    // The bytes after a lead byte belong to its character unexamined, so a
    // line end among them does not end the line.
    unsigned char group[4] = {b, 0, 0, 0};
    size_t got = 1;
    while (got <= followers && src.More()) group[got++] = src.Take();
    if (got <= followers) return;  // cut off by the end of the file: dropped
    if (ValidUtf8Length(group, got) == got) {
      out.append(reinterpret_cast<const char*>(group), got);
    } else {
      out.append("\xEF\xBF\xBD", 3);  // U+FFFD for the whole character
    }
  }
}

void TakeHeader(std::u16string header, LogData& log, ChannelTable& table) {
  if (CountOf(header, u"AFR") == 2) header = ReplaceFirst(header, u"AFR", u"Lambda");
  log.LogHeader = std::move(header);
  const int64_t columns = CountOf(log.LogHeader, u"\",\"") + 1;
  log.ColumnCount = static_cast<int32_t>(std::min<int64_t>(columns, kMaxColumns));
  TakeHeaderNames(table, log.LogHeader, log.ColumnCount);
}

}  // namespace

bool ReadLog(std::u16string_view path, LogData& log, ChannelTable& table) {
  LogFile file;
  if (!OpenLogFile(path, file)) return false;

  // Lines go straight into the row buffer; the text of a line costs about as
  // many bytes as the file gave for it.
  RowList& rows = log.LogRows;
  const int64_t size = LogFileSize(file);
  if (size > 0) rows.bytes.reserve(rows.bytes.size() + static_cast<size_t>(size));

  ByteSource src(file);
  bool headerFound = false;
  while (src.More()) {
    const size_t start = rows.bytes.size();
    ReadLine(src, rows.bytes);
    // The last line of a log is never used: the logger may still be writing it.
    if (!src.More()) {
      rows.bytes.truncate(start);
      break;
    }
    if (headerFound) {
      rows.ends.push_back(rows.bytes.size());
      continue;
    }
    const std::string_view line(rows.bytes.data() + start, rows.bytes.size() - start);
    if (!line.empty() && line.front() == '"') {
      TakeHeader(Utf8ToUtf16(line), log, table);
      headerFound = true;
    }
    rows.bytes.truncate(start);
  }
  CloseLogFile(file);
  return true;
}
