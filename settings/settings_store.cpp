#include "settings/settings_store.h"

#include "convert/utf.h"

namespace {

using Kind = SettingsEntry::Kind;

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

char16_t AsciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

// Group names and keys ignore the case of A to Z only.
bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::u16string_view TrimBlanks(std::u16string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::u16string DecodeSettingsText(std::string_view bytes) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return Utf8ToUtf16(bytes.substr(3));
  // Without the mark the file is Latin-1: every byte is the character of its number.
  std::u16string text;
  text.reserve(bytes.size());
  for (char b : bytes) text.push_back(static_cast<unsigned char>(b));
  return text;
}

void ParseLine(std::u16string_view line, std::vector<SettingsEntry>& entries) {
  while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
  if (line.empty()) return;
  if (line.front() == u';') {
    line.remove_prefix(1);
    if (!line.empty() && line.front() == u' ') line.remove_prefix(1);
    entries.push_back({Kind::Comment, std::u16string(line), {}});
  } else if (line.front() == u'[') {
    line.remove_prefix(1);
    entries.push_back({Kind::Group, std::u16string(line.substr(0, line.find(u']'))), {}});
  } else {
    const size_t equals = line.find(u'=');
    std::u16string_view key = line.substr(0, equals);
    while (!key.empty() && IsBlank(key.back())) key.remove_suffix(1);
    std::u16string_view value;
    if (equals != std::u16string_view::npos) {
      value = line.substr(equals + 1);
      while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
    }
    entries.push_back({Kind::Key, std::u16string(key), std::u16string(value)});
  }
}

// The entries of the selected group: from its header to the next one. With no
// group selected, the top section.
std::pair<size_t, size_t> GroupRange(const SettingsStore& store) {
  const size_t begin = store.selected ? *store.selected + 1 : 0;
  size_t end = begin;
  while (end < store.entries.size() && store.entries[end].kind != Kind::Group) ++end;
  return {begin, end};
}

const SettingsEntry* FindKey(const SettingsStore& store, std::u16string_view key) {
  if (store.pendingGroup) return nullptr;
  const auto [begin, end] = GroupRange(store);
  for (size_t i = begin; i < end; ++i) {
    if (store.entries[i].kind == Kind::Key && SameName(store.entries[i].name, key)) return &store.entries[i];
  }
  return nullptr;
}

void WriteSetting(SettingsStore& store, std::u16string_view key, std::u16string value) {
  if (store.pendingGroup) {
    store.entries.push_back({Kind::Group, std::move(*store.pendingGroup), {}});
    store.selected = store.entries.size() - 1;
    store.pendingGroup.reset();
  }
  const auto [begin, end] = GroupRange(store);
  size_t i = begin;
  while (i < end && !(store.entries[i].kind == Kind::Key && SameName(store.entries[i].name, key))) ++i;
  if (i < end) {
    store.entries[i].name = std::u16string(key);  // the caller's letter case wins
    store.entries[i].value = std::move(value);
  } else {
    store.entries.insert(store.entries.begin() + static_cast<std::ptrdiff_t>(end),
                         {Kind::Key, std::u16string(key), std::move(value)});
  }
  store.modified = true;
}

std::u16string DecimalText(int32_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

}  // namespace

std::vector<SettingsEntry> ParseSettings(std::string_view fileBytes) {
  const std::u16string text = DecodeSettingsText(fileBytes);
  std::vector<SettingsEntry> entries;
  size_t start = 0;
  while (start < text.size()) {
    const size_t end = text.find_first_of(u"\r\n", start);
    ParseLine(std::u16string_view(text).substr(start, end == std::u16string::npos ? end : end - start), entries);
    if (end == std::u16string::npos) break;
    start = text.find_first_not_of(u"\r\n", end);  // a run of CR and LF ends one line
    if (start == std::u16string::npos) break;
  }
  return entries;
}

std::string SettingsFileBytes(const std::vector<SettingsEntry>& entries) {
  std::string out = "\xEF\xBB\xBF\r\n";
  bool firstGroup = true;
  for (const SettingsEntry& e : entries) {
    switch (e.kind) {
      case Kind::Group:
        if (!firstGroup) out += "\r\n";
        firstGroup = false;
        out += '[';
        AppendUtf8(out, e.name);
        out += ']';
        break;
      case Kind::Comment:
        out += "; ";
        AppendUtf8(out, e.name);
        break;
      case Kind::Key:
        AppendUtf8(out, e.name);
        out += " = ";
        AppendUtf8(out, e.value);
        break;
    }
    out += "\r\n";
  }
  return out;
}

bool OpenSettings(SettingsStore& store, std::u16string_view path) {
  if (store.isOpen) CloseSettings(store);
  store = SettingsStore{};
  store.isOpen = true;
  store.path = std::u16string(path);
  std::string bytes;
  switch (OpenSettingsFile(path, store.file, bytes)) {
    case SettingsAccess::Writable:
      store.mode = SettingsMode::ReadWrite;
      break;
    case SettingsAccess::ReadOnly:
      store.mode = SettingsMode::ReadOnly;
      break;
    case SettingsAccess::Unavailable:
      store.mode = SettingsMode::Absent;
      return false;
  }
  store.entries = ParseSettings(bytes);
  return true;
}

bool SelectGroup(SettingsStore& store, std::u16string_view name) {
  store.pendingGroup.reset();
  for (size_t i = 0; i < store.entries.size(); ++i) {
    if (store.entries[i].kind == Kind::Group && SameName(store.entries[i].name, name)) {
      store.selected = i;
      return true;
    }
  }
  store.selected.reset();
  store.pendingGroup = std::u16string(name);
  return false;
}

int32_t ReadSettingInt(const SettingsStore& store, std::u16string_view key, int32_t fallback) {
  const SettingsEntry* entry = FindKey(store, key);
  if (entry == nullptr) return fallback;
  // Decimal digits only, after an optional sign; no digits read as 0.
  std::u16string_view v = entry->value;
  while (!v.empty() && IsBlank(v.front())) v.remove_prefix(1);
  bool negative = false;
  if (!v.empty() && (v.front() == u'+' || v.front() == u'-')) {
    negative = v.front() == u'-';
    v.remove_prefix(1);
  }
  uint32_t value = 0;  // beyond 32 bits the number wraps around
  for (char16_t c : v) {
    if (c < u'0' || c > u'9') break;
    value = value * 10 + static_cast<uint32_t>(c - u'0');
  }
  if (negative) value = 0 - value;
  return static_cast<int32_t>(value);
}

std::u16string ReadSettingText(const SettingsStore& store, std::u16string_view key,
                               std::u16string_view fallback) {
  const SettingsEntry* entry = FindKey(store, key);
  return std::u16string(entry == nullptr ? fallback : TrimBlanks(entry->value));
}

void WriteSettingInt(SettingsStore& store, std::u16string_view key, int32_t value) {
  WriteSetting(store, key, DecimalText(value));
}

void WriteSettingText(SettingsStore& store, std::u16string_view key, std::u16string_view value) {
  WriteSetting(store, key, std::u16string(value));
}

bool CloseSettings(SettingsStore& store) {
  bool ok = true;
  if (store.isOpen && store.modified && store.mode != SettingsMode::ReadOnly) {
    ok = ReplaceSettingsFile(store.path, SettingsFileBytes(store.entries));
  }
  CloseSettingsFile(store.file);
  store = SettingsStore{};
  return ok;
}
