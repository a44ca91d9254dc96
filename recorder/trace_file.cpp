#include "trace_file.h"

namespace recorder {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The text of `line` (up to its end) after "key" and "=", blanks trimmed;
// null where the line is not about `key`.
const char* ValueOf(char* line, const char* key) {
  while (IsBlank(*line)) ++line;
  while (*key && *line == *key) ++line, ++key;
  if (*key) return nullptr;
  while (IsBlank(*line)) ++line;
  if (*line++ != '=') return nullptr;
  while (IsBlank(*line)) ++line;
  char* end = line;
  while (*end) ++end;
  while (end > line && IsBlank(end[-1])) *--end = 0;
  return line;
}

void CopyText(const char* from, char* into, std::size_t room) {
  std::size_t k = 0;
  for (; from[k] && k + 1 < room; ++k) into[k] = from[k];
  into[k] = 0;
}

void ApplySetting(char* line, Settings& settings) {
  for (char* c = line; *c; ++c)
    if (*c == '#') *c = 0;
  if (const char* folder = ValueOf(line, "folder")) CopyText(folder, settings.folder, sizeof settings.folder);
  if (const char* limit = ValueOf(line, "limit-mb")) {
    std::uint32_t value = 0;
    while (*limit >= '0' && *limit <= '9' && value < 100000) value = value * 10 + std::uint32_t(*limit++ - '0');
    if (value) settings.limitMegabytes = value;
  }
}

// <folder>\<base>-YYYYMMDD-HHMMSS-<pid><suffix>.txt
void TraceName(Line& name, const char* folder, const char* base, std::uint32_t attempt) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  name.Clear();
  name.Text(folder);
  if (name.Size() && name.Data()[name.Size() - 1] != '\\') name.Char('\\');
  name.Text(base).Char('-').Decimal(now.wYear);
  const unsigned date[] = {now.wMonth, now.wDay}, time[] = {now.wHour, now.wMinute, now.wSecond};
  for (unsigned part : date) name.Char(char('0' + part / 10)).Char(char('0' + part % 10));
  name.Char('-');
  for (unsigned part : time) name.Char(char('0' + part / 10)).Char(char('0' + part % 10));
  name.Char('-').Decimal(GetCurrentProcessId());
  if (attempt) name.Char('-').Decimal(attempt + 1);
  name.Text(".txt").Char(0);
}

}  // namespace

void ReadSettings(const char* path, Settings& settings) {
  HANDLE file =
      CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  static char text[4096];
  DWORD read = 0;
  if (!ReadFile(file, text, sizeof text - 1, &read, nullptr)) read = 0;
  CloseHandle(file);
  text[read] = 0;
  for (char* line = text; *line;) {
    char* end = line;
    while (*end && *end != '\n') ++end;
    const bool last = !*end;
    *end = 0;
    ApplySetting(line, settings);
    line = last ? end : end + 1;
  }
}

bool TraceFile::Create(const Settings& settings, const char* base) {
  char folder[MAX_PATH];
  if (settings.folder[0]) {
    CopyText(settings.folder, folder, sizeof folder);
  } else {
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (!length || length >= sizeof folder) return false;
  }
  static Line name;
  for (std::uint32_t attempt = 0; attempt < 1000 && !IsOpen(); ++attempt) {
    TraceName(name, folder, base, attempt);
    HANDLE file =
        CreateFileA(name.Data(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) handle_ = file;
    if (!IsOpen() && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (!IsOpen()) return false;
  CopyText(name.Data(), path_, sizeof path_);
  cap_ = std::uint64_t(settings.limitMegabytes) << 20;
  written_ = 0;
  leftOut_ = 0;
  return true;
}

void TraceFile::Write(const Line& line) {
  if (written_ + line.Size() > cap_) {
    if (leftOut_++ == 0) {
      static Line note;
      note.Clear();
      note.Char('!').Text(" the trace has reached its cap of ").Decimal(std::uint32_t(cap_ >> 20));
      WriteAnyway(note.Text(" MB (limit-mb): the records after this are counted, not written").End());
    }
    return;
  }
  WriteAnyway(line);
}

void TraceFile::WriteAnyway(const Line& line) {
  if (!IsOpen()) return;
  DWORD done = 0;
  WriteFile(handle_, line.Data(), DWORD(line.Size()), &done, nullptr);
  written_ += done;
}

void TraceFile::Close() {
  if (IsOpen()) CloseHandle(handle_);
  handle_ = nullptr;
}

}  // namespace recorder
