#include "child_process.h"

#include <windows.h>

#include <cstdint>
#include <cstdlib>

#include "failure.h"
#include "host_file.h"

namespace host {
namespace {

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size() + 1, L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), int(utf8.size()), &wide[0], int(wide.size()));
  wide.resize(std::size_t(length > 0 ? length : 0));
  return wide;
}

// One argument as the C runtime splits a command line: in quotes, with the
// backslashes before a quote doubled.
std::wstring Quoted(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  return quoted + std::wstring(2 * backslashes, L'\\') + L"\"";
}

// Gives the child the number of the handle it sends its messages through.
constexpr char kChannelFlag[] = "HOSTSIM_CHILD_CHANNEL";

// A scratch file the child writes into through a handle it inherits, and
// the parent reads from through a handle of its own, so that each has its
// own position in the file.
class Scratch {
 public:
  Scratch() {
    wchar_t folder[MAX_PATH], name[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"hsc", 0, name);
    const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    writer_ = CreateFileW(name, FILE_APPEND_DATA, share, &inherit, OPEN_EXISTING, 0, nullptr);
    reader_ = CreateFileW(name, GENERIC_READ, share, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (writer_ == INVALID_HANDLE_VALUE || reader_ == INVALID_HANDLE_VALUE) {
      const DWORD error = GetLastError();
      Close();
      DeleteFileW(name);
      throw Failure("cannot make a scratch file for a process of hostsim's own: " + SystemErrorText(error));
    }
  }
  ~Scratch() { Close(); }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  HANDLE Writer() const { return writer_; }
  // The parent's copy of the writer, once the child has its own.
  void CloseWriter() {
    if (writer_ != INVALID_HANDLE_VALUE) CloseHandle(writer_);
    writer_ = INVALID_HANDLE_VALUE;
  }
  // What was written since the last read.
  std::string ReadNew() const {
    std::string text;
    char buffer[4096];
    for (DWORD got = 0; ReadFile(reader_, buffer, sizeof buffer, &got, nullptr) && got > 0;) text.append(buffer, got);
    return text;
  }

 private:
  void Close() {
    CloseWriter();
    if (reader_ != INVALID_HANDLE_VALUE) CloseHandle(reader_);
    reader_ = INVALID_HANDLE_VALUE;
  }
  HANDLE writer_ = INVALID_HANDLE_VALUE, reader_ = INVALID_HANDLE_VALUE;
};

// The child's messages as they come: each complete line handed on, the
// start of one kept until its end arrives.
class MessageReader {
 public:
  explicit MessageReader(const std::function<void(const std::string&)>& onMessage) : onMessage_(onMessage) {}
  void Take(const std::string& text) {
    pending_ += text;
    std::size_t from = 0;
    for (std::size_t end; (end = pending_.find('\n', from)) != std::string::npos; from = end + 1)
      onMessage_(pending_.substr(from, end - from));
    pending_.erase(0, from);
  }

 private:
  const std::function<void(const std::string&)>& onMessage_;
  std::string pending_;
};

HANDLE Channel() {
  static const HANDLE channel = [] {
    char value[32] = {};
    GetEnvironmentVariableA(kChannelFlag, value, sizeof value);
    return reinterpret_cast<HANDLE>(std::uintptr_t(std::strtoul(value, nullptr, 10)));
  }();
  return channel;
}

}  // namespace

bool IsChild(const char* flag) { return GetEnvironmentVariableA(flag, nullptr, 0) > 0; }

std::string ChildFlag(const char* flag) {
  char value[256] = {};
  GetEnvironmentVariableA(flag, value, sizeof value);
  return value;
}

void SendToParent(const std::string& message) {
  const std::string line = message + "\n";
  DWORD written = 0;
  WriteFile(Channel(), line.data(), DWORD(line.size()), &written, nullptr);
}

ChildOutcome RunThisProgramAgain(const std::vector<std::string>& arguments, const char* flag, const std::string& value,
                                 unsigned seconds, const std::function<void(const std::string&)>& onMessage) {
  wchar_t program[32768];
  GetModuleFileNameW(nullptr, program, 32768);
  std::wstring command = Quoted(program);
  for (const std::string& argument : arguments) command += L" " + Quoted(Wide(argument));
  Scratch messages, output;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = output.Writer();
  startup.hStdError = output.Writer();
  PROCESS_INFORMATION child = {};
  SetEnvironmentVariableA(flag, value.c_str());
  SetEnvironmentVariableA(kChannelFlag, std::to_string(reinterpret_cast<std::uintptr_t>(messages.Writer())).c_str());
  const bool started =
      CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child);
  const DWORD error = GetLastError();
  SetEnvironmentVariableA(flag, nullptr);
  SetEnvironmentVariableA(kChannelFlag, nullptr);
  if (!started) throw Failure("cannot start a process of hostsim's own: " + SystemErrorText(error));
  messages.CloseWriter();
  output.CloseWriter();
  ChildOutcome outcome;
  MessageReader reader(onMessage);
  const DWORD deadline = GetTickCount() + seconds * 1000;
  for (bool running = true; running;) {
    running = WaitForSingleObject(child.hProcess, 10) == WAIT_TIMEOUT;
    reader.Take(messages.ReadNew());
    if (running && GetTickCount() - deadline < 0x80000000u) {
      TerminateProcess(child.hProcess, 1);
      WaitForSingleObject(child.hProcess, INFINITE);
      outcome.timedOut = true;
      running = false;
    }
  }
  reader.Take(messages.ReadNew());
  outcome.err = output.ReadNew();
  GetExitCodeProcess(child.hProcess, &outcome.status);
  CloseHandle(child.hProcess);
  CloseHandle(child.hThread);
  return outcome;
}

}  // namespace host
