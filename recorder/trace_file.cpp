#include "trace_file.h"

#include "trace_format.h"
#include "words.h"

namespace recorder {
namespace {

constexpr std::uint32_t kMegabyte = 1u << 20;
constexpr std::uint32_t kDefaultLimit = 64;  // MB, as the trace's whole size
// Each size at most, so that every offset of the file is a 32-bit number.
constexpr std::uint32_t kMostMegabytes = 2000;
// The ring's halves each hold the longest record.
constexpr std::uint32_t kLeastRing = (2 * kMaxRecordBytes + kMegabyte - 1) / kMegabyte;
// How much of the file is mapped at a time (a record longer maps more),
// from offsets the system's granularity allows.
constexpr std::uint32_t kViewBytes = kMegabyte;
constexpr std::uint32_t kGranularity = 64 * 1024;
// The most a note of the ring takes.
constexpr std::uint32_t kNoteRoom = 128;

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

// The digits at `text`, at most kMostMegabytes; 0 where there are none.
std::uint32_t Megabytes(const char* text) {
  std::uint32_t value = 0;
  while (*text >= '0' && *text <= '9' && value <= kMostMegabytes) value = value * 10 + std::uint32_t(*text++ - '0');
  return value < kMostMegabytes ? value : kMostMegabytes;
}

void ApplySetting(char* line, Settings& settings) {
  for (char* c = line; *c; ++c)
    if (*c == '#') *c = 0;
  if (const char* folder = ValueOf(line, "folder")) CopyText(folder, settings.folder, sizeof settings.folder);
  if (const char* limit = ValueOf(line, "limit-mb")) settings.limit = Megabytes(limit);
  if (const char* first = ValueOf(line, "first-mb")) settings.first = Megabytes(first);
  if (const char* last = ValueOf(line, "last-mb")) settings.last = Megabytes(last);
}

std::uint32_t Within(std::uint32_t value, std::uint32_t least, std::uint32_t most) {
  return value < least ? least : value > most ? most : value;
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

CapSizes CapOf(const Settings& settings) {
  const std::uint32_t limit = settings.limit ? settings.limit : kDefaultLimit;
  std::uint32_t first = settings.first, last = settings.last;
  if (!first && !last) first = limit / 4;
  if (!first) first = limit > last ? limit - last : 0;
  if (!last) last = limit > first ? limit - first : 0;
  return {Within(first, 1, kMostMegabytes) * kMegabyte, Within(last, kLeastRing, kMostMegabytes) * kMegabyte};
}

void CallSpan::Add(std::uint32_t call) {
  ++records;
  if (call && (!first || call < first)) first = call;
  if (call > last) last = call;
}

void CallSpan::Add(const CallSpan& span) {
  if (span.first && (!first || span.first < first)) first = span.first;
  if (span.last > last) last = span.last;
  records += span.records;
}

bool TraceFile::Create(const Settings& settings, const char* base) {
  char folder[MAX_PATH];
  if (settings.folder[0]) {
    CopyText(settings.folder, folder, sizeof folder);
  } else {
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (!length || length >= sizeof folder) return false;
  }
  static SizedLine<2 * MAX_PATH> name;
  for (std::uint32_t attempt = 0; attempt < 1000 && !IsOpen(); ++attempt) {
    TraceName(name, folder, base, attempt);
    // Read access too: a view that may be written needs it.
    HANDLE file = CreateFileA(name.Data(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) file_ = file;
    if (!IsOpen() && GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (!IsOpen()) return false;
  CopyText(name.Data(), path_, sizeof path_);
  cap_ = CapOf(settings);
  at_ = highest_ = part_ = 0;
  end_ = cap_.first;
  halves_[0] = halves_[1] = leftOut_ = {};
  return true;
}

void TraceFile::WriteCapKey(Line& head) const {
  head.Text(host::trace::kCapKey).Char(' ').Decimal(cap_.first).Char(' ').Decimal(cap_.ring).End();
}

void TraceFile::Write(const Line& line, std::uint32_t call) {
  const auto size = std::uint32_t(line.Size());
  if (!IsOpen() || !size) return;
  if (at_ + size > end_) BeginHalf();
  Put(at_, line.Data(), size);
  at_ += size;
  if (part_) halves_[(part_ - 1) % 2].Add(call);
}

// The next half of the ring; the half it takes over held the oldest
// records, which are left out from now on.
void TraceFile::BeginHalf() {
  Clear(at_, end_);  // what the zone left holds of an earlier round
  ++part_;
  CallSpan& half = halves_[(part_ - 1) % 2];
  leftOut_.Add(half);
  half = {};
  at_ = cap_.first + (part_ - 1) % 2 * (cap_.ring / 2);
  end_ = at_ + cap_.ring / 2;
  Clear(at_, at_ + 1);  // an old half reads as empty from now on
  static SizedLine<kNoteRoom> note;
  note.Clear();
  note.Char(host::trace::kNoteMark).Char(' ').Text(host::trace::kRingNote).Decimal(part_).End();
  Put(at_, note.Data(), std::uint32_t(note.Size()));
  at_ += std::uint32_t(note.Size());
  // Said at once, so that a trace of a host that died says it too.
  if (leftOut_.records) WriteLeftOut();
}

void TraceFile::WriteLeftOut() {
  static SizedLine<kNoteRoom> note;
  note.Clear();
  note.Char(host::trace::kNoteMark).Char(' ').Text(host::trace::kLeftOutNote);
  note.Key("first").Decimal(leftOut_.first).Key("last").Decimal(leftOut_.last);
  note.Key("records").Decimal(leftOut_.records).End();
  Put(at_, note.Data(), std::uint32_t(note.Size()));
  at_ += std::uint32_t(note.Size());
}

void TraceFile::Put(std::uint32_t at, const char* bytes, std::uint32_t count) {
  const bool inside = at + count < end_;  // a NUL after the text ends it there
  char* into = Map(at, at + count + inside);
  if (!into) return;
  CopyWords(into + 1, bytes + 1, count - 1);
  if (inside) into[count] = 0;
  // The first byte last: until it is there, the NUL it replaces ends the
  // text for whoever reads the file, a dead host's trace included.
  asm volatile("" ::: "memory");
  into[0] = bytes[0];
  if (at + count > highest_) highest_ = at + count;
}

void TraceFile::Clear(std::uint32_t from, std::uint32_t to) {
  if (to > highest_) to = highest_;
  while (from < to) {
    const std::uint32_t stop = to - from > kViewBytes ? from + kViewBytes : to;
    char* into = Map(from, stop);
    if (!into) return;
    for (std::uint32_t k = 0; k < stop - from; ++k) into[k] = 0;
    from = stop;
  }
}

char* TraceFile::Map(std::uint32_t at, std::uint32_t end) {
  if (view_ && at >= viewAt_ && end <= viewEnd_) return view_ + (at - viewAt_);
  Unmap();
  const std::uint32_t start = at & ~(kGranularity - 1), whole = cap_.first + cap_.ring;
  std::uint32_t stop = start + kViewBytes;
  if (stop < end) stop = (end + kGranularity - 1) & ~(kGranularity - 1);
  if (stop > whole) stop = whole;
  if (stop > mappingSize_) {
    // A larger mapping makes the file as long: the file grows a view at a time.
    if (mapping_) CloseHandle(mapping_);
    mapping_ = CreateFileMappingA(file_, nullptr, PAGE_READWRITE, 0, stop, nullptr);
    mappingSize_ = mapping_ ? stop : 0;
  }
  if (mapping_) view_ = static_cast<char*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, start, stop - start));
  if (!view_) return nullptr;
  viewAt_ = start;
  viewEnd_ = stop;
  return view_ + (at - start);
}

void TraceFile::Unmap() {
  if (view_) UnmapViewOfFile(view_);
  view_ = nullptr;
}

void TraceFile::Close() {
  if (!IsOpen()) return;
  if (leftOut_.records) {
    if (at_ + kNoteRoom > end_)
      BeginHalf();  // which says it
    else
      WriteLeftOut();
  }
  Clear(at_, end_);
  Unmap();
  if (mapping_) CloseHandle(mapping_);
  mapping_ = nullptr;
  mappingSize_ = 0;
  // The file ends after its last text; the first part's unused room and
  // a half not yet full stay, ended by NUL bytes.
  LONG high = 0;
  SetFilePointer(file_, LONG(highest_), &high, FILE_BEGIN);
  SetEndOfFile(file_);
  CloseHandle(file_);
  file_ = nullptr;
}

}  // namespace recorder
