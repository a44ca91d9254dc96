#include "hostsim_process.h"

#include <sstream>

namespace test {
namespace {

// The tests' own folder; hostsim.exe and the shipped files are in bin/
// beside it.
std::string Folder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\'));
}

HANDLE Inheritable(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                     disposition, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string Rest(HANDLE file) {
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  std::string text;
  char buffer[4096];
  DWORD got;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got) text.append(buffer, got);
  return text;
}

std::string Quoted(const std::string& argument) {
  return argument.find_first_of(" \t") == std::string::npos && !argument.empty() ? argument : "\"" + argument + "\"";
}

}  // namespace

HostsimProcess::HostsimProcess(const std::vector<std::string>& arguments, const std::string& input,
                               const std::string& folder) {
  static int serial = 0;
  const std::string base = Scratch("hostsim_child" + std::to_string(++serial));
  out_ = Inheritable(base + ".out", GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
  err_ = Inheritable(base + ".err", GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
  in_ = Inheritable(base + ".in", GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS);
  DWORD written;
  WriteFile(in_, input.data(), DWORD(input.size()), &written, nullptr);
  SetFilePointer(in_, 0, nullptr, FILE_BEGIN);
  std::string command = Quoted(InBin("hostsim.exe"));
  for (const std::string& argument : arguments) command += " " + Quoted(argument);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in_;
  startup.hStdOutput = out_;
  startup.hStdError = err_;
  // Wide, so that names beyond the ANSI code page reach hostsim as written.
  std::wstring wideCommand = Wide(command);
  if (!CreateProcessW(nullptr, &wideCommand[0], nullptr, nullptr, TRUE, 0, nullptr,
                      Wide(folder.empty() ? Folder() : folder).c_str(), &startup, &process_))
    process_ = {};
}

HostsimProcess::~HostsimProcess() {
  if (process_.hProcess) {
    if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
    CloseHandle(process_.hProcess);
    CloseHandle(process_.hThread);
  }
  for (HANDLE file : {out_, err_, in_})
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

Outcome HostsimProcess::Finish(DWORD milliseconds) {
  Outcome outcome;
  if (!process_.hProcess) {
    outcome.err = "hostsim.exe did not start";
    return outcome;
  }
  if (WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) {
    outcome.err = "hostsim.exe did not end in time";
    return outcome;
  }
  DWORD status;
  GetExitCodeProcess(process_.hProcess, &status);
  outcome.status = int(status);
  outcome.out = Rest(out_);
  outcome.err = Rest(err_);
  return outcome;
}

std::wstring Wide(const std::string& utf8) {
  std::wstring wide(utf8.size(), L'\0');
  wide.resize(std::size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], int(wide.size()))));
  return wide;
}

std::string BinFolder() {
  const std::string folder = Folder();
  return folder.substr(0, folder.find_last_of('\\')) + "\\bin";
}

std::string WithFolderAs(std::string text, const std::string& folder, const std::string& word) {
  for (std::size_t at = 0; (at = text.find(folder, at)) != std::string::npos; at += word.size())
    text.replace(at, folder.size(), word);
  return text;
}

std::string InBin(const std::string& name) { return BinFolder() + "\\" + name; }

std::string InTests(const std::string& name) { return Folder() + "\\" + name; }

std::string Golden(const std::string& name) { return ReadAll(InTests("hostsim_golden\\" + name)); }

std::string Scratch(const std::string& name) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  return std::string(folder) + name + "." + std::to_string(GetCurrentProcessId());
}

std::string ReadAll(const std::string& path) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "(cannot read " + path + ")";
  std::string text = Rest(file);
  CloseHandle(file);
  return text;
}

void WriteAll(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written;
  WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = 0; (at = text.find(part, at)) != std::string::npos; at += part.size()) ++count;
  return count;
}

std::string CheckReportOf(const std::string& out, const std::string& dll) {
  const std::size_t heading = out.find("\\" + dll + " (");
  if (heading == std::string::npos) return "";
  std::size_t end = out.find('\n', heading);
  while (end != std::string::npos && out.compare(end + 1, 2, "  ") == 0) end = out.find('\n', end + 1);
  return out.substr(heading, end == std::string::npos ? std::string::npos : end + 1 - heading);
}

}  // namespace test
