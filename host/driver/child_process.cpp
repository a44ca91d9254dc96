#include "child_process.h"

#include <windows.h>

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

// A scratch file the child writes into and the parent reads from.
HANDLE SharedScratch() {
  wchar_t folder[MAX_PATH], name[MAX_PATH];
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"hsc", 0, name);
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

// What the child has written behind `from`.
std::string ReadFrom(HANDLE file, DWORD from) {
  std::string text;
  OVERLAPPED at = {};
  char buffer[4096];
  for (DWORD got = 0;; from += got) {
    at.Offset = from;
    if (!ReadFile(file, buffer, sizeof buffer, &got, &at) || got == 0) break;
    text.append(buffer, got);
  }
  return text;
}

}  // namespace

bool IsChild(const char* flag) { return GetEnvironmentVariableA(flag, nullptr, 0) > 0; }

std::string ChildFlag(const char* flag) {
  char value[256] = {};
  GetEnvironmentVariableA(flag, value, sizeof value);
  return value;
}

ChildOutcome RunThisProgramAgain(const std::vector<std::string>& arguments, const char* flag, const std::string& value,
                                 unsigned seconds, const std::function<void(const std::string&)>& onOutput) {
  wchar_t program[32768];
  GetModuleFileNameW(nullptr, program, 32768);
  std::wstring command = Quoted(program);
  for (const std::string& argument : arguments) command += L" " + Quoted(Wide(argument));
  const HANDLE out = SharedScratch(), err = SharedScratch();
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION child = {};
  SetEnvironmentVariableA(flag, value.c_str());
  const bool started =
      CreateProcessW(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &child);
  SetEnvironmentVariableA(flag, nullptr);
  if (!started) {
    CloseHandle(out);
    CloseHandle(err);
    throw Failure("cannot start a process of hostsim's own: " + SystemErrorText(GetLastError()));
  }
  ChildOutcome outcome;
  const DWORD deadline = GetTickCount() + seconds * 1000;
  for (bool running = true; running;) {
    running = WaitForSingleObject(child.hProcess, 10) == WAIT_TIMEOUT;
    const std::string piece = ReadFrom(out, DWORD(outcome.out.size()));
    outcome.out += piece;
    if (!piece.empty()) onOutput(piece);
    if (running && GetTickCount() - deadline < 0x80000000u) {
      TerminateProcess(child.hProcess, 1);
      WaitForSingleObject(child.hProcess, INFINITE);
      outcome.timedOut = true;
      running = false;
    }
  }
  const std::string rest = ReadFrom(out, DWORD(outcome.out.size()));
  outcome.out += rest;
  if (!rest.empty()) onOutput(rest);
  outcome.err = ReadFrom(err, 0);
  GetExitCodeProcess(child.hProcess, &outcome.status);
  CloseHandle(child.hProcess);
  CloseHandle(child.hThread);
  CloseHandle(out);
  CloseHandle(err);
  return outcome;
}

}  // namespace host
