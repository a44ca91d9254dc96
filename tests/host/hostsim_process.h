// hostsim.exe run as a child process, in the folder the tests are built
// into (the example stimuli and the all-faults plug-in are there too).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace test {

struct Outcome {
  int status = -1;
  std::string out, err;
};

class HostsimProcess {
 public:
  // In the tests' folder, or in `folder` where one is given.
  explicit HostsimProcess(const std::vector<std::string>& arguments, const std::string& input = "",
                          const std::string& folder = "");
  ~HostsimProcess();
  HostsimProcess(const HostsimProcess&) = delete;
  HostsimProcess& operator=(const HostsimProcess&) = delete;

  DWORD Id() const { return process_.dwProcessId; }
  // Waits for the end (status -1 when it did not come in time).
  Outcome Finish(DWORD milliseconds = 300000);

 private:
  PROCESS_INFORMATION process_ = {};
  HANDLE out_ = INVALID_HANDLE_VALUE, err_ = INVALID_HANDLE_VALUE, in_ = INVALID_HANDLE_VALUE;
};

inline Outcome Hostsim(const std::vector<std::string>& arguments, const std::string& input = "") {
  return HostsimProcess(arguments, input).Finish();
}

std::string BinFolder();                       // hostsim.exe's folder, which holds the DLLs
std::string InBin(const std::string& name);    // a file beside hostsim.exe and the DLLs
std::string InTests(const std::string& name);  // a file beside the tests
std::string Golden(const std::string& name);   // an expected output
std::string Scratch(const std::string& name);  // a path in the temp folder
// Every `folder` in `text` as `word`: output that names a machine's
// folders, comparable with an expected one.
std::string WithFolderAs(std::string text, const std::string& folder, const std::string& word);
std::wstring Wide(const std::string& utf8);
// Paths in UTF-8.
std::string ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::string& bytes);
std::vector<std::string> Lines(const std::string& text);
inline bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }
std::size_t Count(const std::string& text, const std::string& part);  // how often `part` is in `text`
// One DLL's report in what `check` prints: its heading and the indented
// lines below, its summary the last of them; empty when it is not there.
std::string CheckReportOf(const std::string& out, const std::string& dll);

}  // namespace test
