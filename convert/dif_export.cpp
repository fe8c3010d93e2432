#include "convert/dif_export.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "convert/output_file.h"
#include "convert/path_ops.h"
#include "convert/text_rules.h"
#include "convert/utf.h"

namespace {

constexpr size_t kOutputBuffer = 1 << 20;

// Collects the file's bytes and hands them to the file in large writes.
class DifWriter {
 public:
  explicit DifWriter(OutputFile& file) : file_(file), buffer_(new char[kOutputBuffer]) {}

  // Where to write at least n more bytes; flushes first when they would not fit.
  char* Room(size_t n) {
    if (used_ + n > capacity_) {
      Flush();
      if (n > capacity_) {  // a line longer than the buffer
        capacity_ = n;
        buffer_.reset(new char[capacity_]);
      }
    }
    return buffer_.get() + used_;
  }
  void Advance(char* end) { used_ = static_cast<size_t>(end - buffer_.get()); }
  void Append(std::string_view text) {
    char* p = Room(text.size());
    std::memcpy(p, text.data(), text.size());
    Advance(p + text.size());
  }
  void Flush() {
    WriteOutput(file_, buffer_.get(), used_);
    used_ = 0;
  }

 private:
  OutputFile& file_;
  std::unique_ptr<char[]> buffer_;
  size_t capacity_ = kOutputBuffer;
  size_t used_ = 0;
};

void AddLine(std::string& out, std::string_view text) {
  out.append(text);
  out.append("\r\n");
}
void AddTupleStart(std::string& out) { out.append("-1,0\r\nBOT\r\n"); }
void AddStringCell(std::string& out, std::u16string_view text) {
  out.append("1,0\r\n\"");
  AppendUtf8(out, text);
  out.append("\"\r\n");
}
void AddNumberCell(std::string& out, std::u16string_view text) {
  out.append("0,");
  AppendUtf8(out, text);
  out.append("\r\nV\r\n");
}
void AddLabelTuple(std::string& out, std::u16string_view label) {
  AddTupleStart(out);
  AddStringCell(out, label);
}

struct Layout {
  std::vector<int32_t> dataSlots;      // enabled data slots, ascending
  std::vector<int32_t> exportedSlots;  // enabled slots with slot 0: the cells of a row
  size_t fieldsNeeded = 0;             // how many fields of a row the cells reach
};

Layout LayoutOf(const ChannelTable& table, int32_t columnCount) {
  Layout layout;
  for (int32_t s = 0; s < UsedSlots(columnCount); ++s) {
    if (table[s].Enabled == 0) continue;
    layout.exportedSlots.push_back(s);
    if (s > 0) layout.dataSlots.push_back(s);
  }
  layout.fieldsNeeded = layout.exportedSlots.empty() ? 0 : static_cast<size_t>(layout.exportedSlots.back()) + 1;
  return layout;
}

std::u16string ColumnTitle(const Channel& channel, bool timeColumn) {
  if (TextEquals(channel.Label, channel.Unit)) return channel.Label;
  return channel.Label + (timeColumn ? u"(" : u" (") + channel.Unit + u")";
}

// Everything from line 6 of the header to the title tuple: the same in every file.
std::string DescriptorBlock(const ChannelTable& table, const Layout& layout, int32_t tupleWidth) {
  std::string out;
  AddLine(out, "\"LMTR\"");
  AddLine(out, "TUPLES");
  out.append("0,");
  AddLine(out, Utf16ToUtf8(IntText(tupleWidth)));
  std::u16string pattern = u"1";
  pattern.append(static_cast<size_t>(std::max(tupleWidth - 1, 0)), u'2');
  out.append("\"");
  AppendUtf8(out, PadRight(pattern, 97, u'0'));
  AddLine(out, "\"");
  AddLine(out, "DATA");
  AddLine(out, "0,0");
  AddLine(out, "\"\"");

  AddLabelTuple(out, u"Input Description");
  for (int32_t i = 1; i < tupleWidth; ++i) AddStringCell(out, u"");
  AddLabelTuple(out, u"Stochiometric:");
  AddNumberCell(out, u"0.000000");
  for (int32_t i = 2; i < tupleWidth; ++i) AddStringCell(out, u"");

  AddLabelTuple(out, u"From device:");
  for (int32_t k : layout.dataSlots) AddStringCell(out, u"Quarn (Channel 1:" + IntText(k - 1) + u")");
  AddLabelTuple(out, u"Name:");
  for (int32_t k : layout.dataSlots) AddStringCell(out, table[k].Label);
  AddLabelTuple(out, u"Unit:");
  for (int32_t k : layout.dataSlots) AddStringCell(out, table[k].Unit);
  AddLabelTuple(out, u"Range:");
  for (int32_t k : layout.dataSlots) AddNumberCell(out, table[k].Min);
  AddLabelTuple(out, u"equiv(Sample):");
  for (size_t i = 0; i < layout.dataSlots.size(); ++i) AddNumberCell(out, u"0");
  AddLabelTuple(out, u"to:");
  for (int32_t k : layout.dataSlots) AddNumberCell(out, table[k].Max);
  AddLabelTuple(out, u"equiv(Sample):");
  for (int32_t k : layout.dataSlots) AddNumberCell(out, IntValue(table[k].Max) < 10 ? u"1024" : u"4096");
  AddLabelTuple(out, u"Color:");
  for (int32_t k : layout.dataSlots) AddNumberCell(out, IntText(table[k].Color));
  AddLabelTuple(out, u"-END-");
  for (size_t i = 0; i < layout.dataSlots.size(); ++i) AddStringCell(out, u"");
  AddLabelTuple(out, u"Session 1");
  for (size_t i = 0; i < layout.dataSlots.size(); ++i) AddStringCell(out, u"");

  AddTupleStart(out);
  for (int32_t s : layout.exportedSlots) AddStringCell(out, ColumnTitle(table[s], s == 0));
  return out;
}

bool IsAscii(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// TimeOfDaySeconds(LeftOf(text, 8)) on a stored line. A non-ASCII character
// among the first eight can be no part of a time of day.
int32_t TimeOfFirst8(std::string_view utf8) {
  const std::string_view head = utf8.substr(0, 8);
  return IsAscii(head) ? TimeOfDaySecondsOf(head) : -1;
}

// IntValue(RightOf(text, 3)) on a stored line: the last three characters are
// its last three bytes whenever those are ASCII.
int64_t ValueOfLast3(std::string_view utf8) {
  const std::string_view tail = utf8.substr(utf8.size() - std::min<size_t>(3, utf8.size()));
  if (IsAscii(tail)) return IntValueOf(tail);
  return IntValue(RightOf(Utf8ToUtf16(utf8), 3));
}

std::string_view FirstCell(std::string_view row) { return row.substr(0, row.find(',')); }

int32_t FileStartMsOf(std::string_view row) {
  const int32_t seconds = TimeOfFirst8(row) * 1000;
  const int64_t sum = static_cast<int64_t>(seconds) + ValueOfLast3(FirstCell(row));
  return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(sum)));
}

// The exact decimal of a whole number of milliseconds as seconds with three
// decimals: what FixedText(ms / 1000.0, 3) gives for such a value.
char* PutMilliseconds(char* p, int64_t ms) {
  uint64_t magnitude = ms < 0 ? 0 - static_cast<uint64_t>(ms) : static_cast<uint64_t>(ms);
  char digits[32];
  size_t pos = sizeof(digits);
  for (int i = 0; i < 3; ++i) {
    digits[--pos] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  digits[--pos] = '.';
  do {
    digits[--pos] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (ms < 0) digits[--pos] = '-';
  std::memcpy(p, digits + pos, sizeof(digits) - pos);
  return p + (sizeof(digits) - pos);
}
constexpr size_t kMillisecondsMax = 24;

int64_t TimeCellMilliseconds(std::string_view cell, int32_t fileStartMs) {
  const int32_t t = TimeOfFirst8(cell);
  const int64_t m = ValueOfLast3(cell);
  // The arithmetic is double precision in this order; every term is a whole
  // number far below 2^53, so the result is the exact number of milliseconds.
  const double v = ((static_cast<double>(t) * 1000.0) - fileStartMs) + static_cast<double>(m);
  return static_cast<int64_t>(v);
}

template <size_t N>
char* Put(char* p, const char (&literal)[N]) {
  std::memcpy(p, literal, N - 1);
  return p + N - 1;
}

// Cells are short: fixed-size copies beat a call per cell.
char* PutBytes(char* p, const char* src, size_t n) {
  if (n >= 8 && n <= 16) {
    std::memcpy(p, src, 8);
    std::memcpy(p + n - 8, src + n - 8, 8);
  } else if (n >= 4 && n < 8) {
    std::memcpy(p, src, 4);
    std::memcpy(p + n - 4, src + n - 4, 4);
  } else if (n < 4) {
    for (size_t i = 0; i < n; ++i) p[i] = src[i];
  } else {
    std::memcpy(p, src, n);
  }
  return p + n;
}

struct Cell {
  size_t begin = 0;
  size_t size = 0;
  bool holdsColon = false;
};

void AppendRowTuple(DifWriter& writer, std::string_view row, const Layout& layout,
                    int32_t fileStartMs) {
  // The fields the export needs, found in one pass; a field beyond the end
  // of the row is empty.
  Cell cells[kChannelSlots];
  const char* bytes = row.data();
  size_t i = 0;
  for (size_t f = 0; f < layout.fieldsNeeded && i <= row.size(); ++f) {
    Cell& cell = cells[f];
    cell.begin = i;
    bool colon = false;
    while (i < row.size() && bytes[i] != ',') {
      colon |= bytes[i] == ':';
      ++i;
    }
    cell.size = i - cell.begin;
    cell.holdsColon = colon;
    ++i;
  }
  const size_t exported = layout.exportedSlots.size();
  char* p = writer.Room(11 + exported * (7 + kMillisecondsMax) + row.size());
  p = Put(p, "-1,0\r\nBOT\r\n");
  for (int32_t s : layout.exportedSlots) {
    const Cell& cell = cells[s];
    p = Put(p, "0,");
    if (cell.holdsColon) {
      p = PutMilliseconds(p, TimeCellMilliseconds(row.substr(cell.begin, cell.size), fileStartMs));
    } else {
      p = PutBytes(p, bytes + cell.begin, cell.size);
    }
    p = Put(p, "\r\nV\r\n");
  }
  writer.Advance(p);
}

std::u16string FileNumberText(int64_t number) {
  // At least two digits, never cut: "_99.dif" is followed by "_100.dif".
  const std::u16string digits = IntText(number);
  return digits.size() < 2 ? PadLeft(digits, 2, u'0') : digits;
}

}  // namespace

std::vector<std::u16string> ExportFileNames(std::u16string_view logPath, size_t rowCount) {
  const std::u16string base = DirectoryOf(logPath) + StemOf(logPath);
  const auto rows = static_cast<int64_t>(rowCount);
  if (rows <= kRowsPerFile) return {base + u".dif"};
  std::vector<std::u16string> names;
  const int64_t files = (rows + kRowsPerFile - 1) / kRowsPerFile;
  for (int64_t n = 1; n <= files; ++n) names.push_back(base + u"_" + FileNumberText(n) + u".dif");
  return names;
}

ExportResult DifExport(std::u16string_view logPath, const RowList& logRows, int32_t columnCount,
                       const ChannelTable& table, int32_t tupleWidth,
                       const ProgressCallback& setProgress) {
  ExportResult result;
  const Layout layout = LayoutOf(table, columnCount);
  const std::string descriptors = DescriptorBlock(table, layout, tupleWidth);
  const std::vector<std::u16string> names = ExportFileNames(logPath, logRows.size());
  const auto rowCount = static_cast<int64_t>(logRows.size());

  int64_t rowsWritten = 0;
  for (size_t fileIndex = 0; fileIndex < names.size(); ++fileIndex) {
    const auto fileNumber = static_cast<int64_t>(fileIndex) + 1;
    OutputFile file;
    if (CreateOutput(names[fileIndex], file)) {
      DifWriter writer(file);
      const int64_t vectors = fileNumber * kRowsPerFile < rowCount
                                  ? kRowsPerFile + 12
                                  : rowCount - (fileNumber - 1) * kRowsPerFile + 12;
      writer.Append("TABLE\r\n0,1\r\n\"EXCEL\"\r\nVECTORS\r\n0,");
      writer.Append(Utf16ToUtf8(IntText(vectors)));
      writer.Append("\r\n");
      writer.Append(descriptors);

      const int64_t lastRow = std::min(rowCount, fileNumber * kRowsPerFile);
      // Times count from the first row of each file.
      const int32_t fileStartMs =
          rowsWritten < lastRow ? FileStartMsOf(logRows.Row(static_cast<size_t>(rowsWritten))) : 0;
      for (; rowsWritten < lastRow; ++rowsWritten) {
        AppendRowTuple(writer, logRows.Row(static_cast<size_t>(rowsWritten)), layout, fileStartMs);
        if ((rowsWritten + 1) % 100 == 0 && setProgress) {
          setProgress(static_cast<int32_t>(rowsWritten + 1));
        }
      }
      if (setProgress) setProgress(static_cast<int32_t>(rowsWritten));
      writer.Append("-1,0\r\nEOD\r\n");
      writer.Flush();
    }
    if (!CommitOutput(file)) {
      result.Ok = false;
      result.FailedFile = names[fileIndex];
      result.Reason = OutputFailureReason(file);
      return result;
    }
    result.Written.push_back(names[fileIndex]);
  }
  return result;
}
