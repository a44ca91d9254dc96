// The stand-in host: loads plug-in DLLs and drives them through their
// entry points as the simulator does.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <exception>
#include <new>
#include <string>

#include "command.h"
#include "fault_guard.h"
#include "own_fault.h"
#include "paths.h"
#include "plugin_library.h"
#include "shown_text.h"
#include "utf16.h"

namespace host {

namespace {

// Every command, in the order --help lists them.
#define HOSTSIM_COMMAND_ENTRY(name) &k##name##Command,
const Command* const kCommands[] = {HOSTSIM_COMMANDS(HOSTSIM_COMMAND_ENTRY)};
#undef HOSTSIM_COMMAND_ENTRY

// Descriptions start in this column; a longer synopsis has a line of its own.
constexpr std::size_t kDescriptionColumn = 26;

std::string FormHelp(const CommandForm& form) {
  const std::string indent(kDescriptionColumn, ' ');
  std::string synopsis = "  " + std::string(form.synopsis);
  synopsis +=
      synopsis.size() < kDescriptionColumn - 1 ? std::string(kDescriptionColumn - synopsis.size(), ' ') : "\n" + indent;
  std::string text = synopsis;
  for (const char* c = form.description; *c; ++c) text += *c == '\n' ? "\n" + indent : std::string(1, *c);
  return text + "\n";
}

std::string HelpText() {
  std::string text = "usage: hostsim COMMAND ARGUMENTS\n\n";
  for (const Command* command : kCommands)
    for (const CommandForm& form : command->forms) text += FormHelp(form);
  text += "\nFile formats: docs/formats.md (settings V,V..., stimulus files, test vectors,\n"
          "VCD, project files, call traces, JSON and JUnit reports); every command in\n"
          "full: docs/hostsim.md.\n";
  for (const Command* command : kCommands)
    if (*command->notes) text += "\n" + std::string(command->notes);
  return text + "\nExit status: 0 done; 1 a negative answer about a part (truth, check, test,\n"
                "fuzz, bench, replay) or a part that crashed, hung, threw or changed the\n"
                "floating-point state; 2 bad input (a file, an option, a DLL that is none);\n"
                "3 a fault of hostsim's own, said as such with what it was doing.\n";
}

// Output goes out as written: UTF-8, lines ending in LF, also into pipes.
// A console decodes each write on its own, so a character's bytes must not
// be split between writes: the output is written in large blocks.
void PrepareOutput() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  _setmode(_fileno(stdin), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
  static char block[1 << 16];
  std::setvbuf(stdout, block, _IOFBF, sizeof block);
}

// A call into a plug-in that takes longer has hung.
constexpr int kCallSeconds = 5;

// Ends the process with a line on the error output, without anything that
// might call into the broken plug-in again.
[[noreturn]] void EndWith(const std::string& message, int status) {
  std::fflush(stdout);
  std::fprintf(stderr, "hostsim: %s\n", message.c_str());
  std::fflush(stderr);
  TerminateProcess(GetCurrentProcess(), UINT(status));
  for (;;) Sleep(INFINITE);
}

// A plug-in that lets a C++ exception out or calls abort ends in the C
// runtime's abort, which the plug-ins share with hostsim; outside a call
// into a part, the abort is hostsim's own (an exception it let out).
void OnAbort(int) {
  if (const char* call = FaultGuard::CallInProgress())
    EndWith(std::string(call) + " ended the program: it let a C++ exception out or called abort", kExitNegative);
  EndWith(OwnFaultMessage("it ended in abort, outside any call into a part"), kExitOwnFault);
}

// A fault outside every guarded call is reported, instead of the system's
// crash report or debugger. It is a plug-in's where its own code faulted
// (in its start-up, clean-up or a thread of its own), or where the code is
// no module's after a call into a part: hostsim makes no code, so control
// got there through an overwritten stack or pointer. Anything else is
// hostsim's own.
LONG WINAPI OnUnguardedFault(EXCEPTION_POINTERS* info) {
  const Fault fault{true, info->ExceptionRecord->ExceptionCode, info->ExceptionRecord->ExceptionAddress};
  const std::string what = "a crash outside the calls hostsim guards: " + DescribeFault(fault);
  const std::string plugin = PluginAt(fault.address), module = ModuleAt(fault.address);
  if (!plugin.empty())
    EndWith(FileName(plugin) + " crashed outside the calls into it: " + DescribeFault(fault), kExitNegative);
  if (module == kNoModule && !FaultGuard::LastCall().empty())
    EndWith(what + ", in no module's code: hostsim's stack or memory was overwritten", kExitNegative);
  EndWith(OwnFaultMessage(what + " (in " + module + ")"), kExitOwnFault);
}

int OwnFault(const std::string& what) {
  std::fflush(stdout);
  std::fprintf(stderr, "hostsim: %s\n", OwnFaultMessage(what).c_str());
  return kExitOwnFault;
}

// Every call into a plug-in runs under the command's guard: a crash, a
// hang or an abort of a part is a finding about the part (exit status 1).
// An exception of hostsim's own that reaches here is its own fault.
int RunGuarded(const Command& command, const Arguments& arguments) {
  FaultGuard guard("hostsim: ", kCallSeconds, stderr);
  std::signal(SIGABRT, OnAbort);
  SetUnhandledExceptionFilter(OnUnguardedFault);
  const Activity running("running " + std::string(command.name));
  try {
    const int status = command.run(arguments, guard);
    if (guard.LateFailure().empty()) return status;
    std::fflush(stdout);
    std::fprintf(stderr, "hostsim: %s\n", guard.LateFailure().c_str());
  } catch (const PartFailure& failure) {
    std::fflush(stdout);
    std::fprintf(stderr, "hostsim: %s\n", failure.what());
  } catch (const Failure&) {
    throw;
  } catch (const std::bad_alloc&) {
    return OwnFault("it ran out of memory");
  } catch (const std::exception& exception) {
    return OwnFault(std::string("it let an exception out: ") + exception.what());
  }
  return kExitNegative;
}

int Run(const std::string& name, const Arguments& arguments) {
  if (name == "--help" || name == "-h" || name == "help") {
    std::fputs(HelpText().c_str(), stdout);
    return 0;
  }
  for (const Command* command : kCommands) {
    if (name != command->name) continue;
    try {
      return RunGuarded(*command, arguments);
    } catch (const Failure& failure) {
      std::fflush(stdout);
      std::fprintf(stderr, "hostsim: %s\n", failure.what());
      return kExitBadInput;
    }
  }
  std::fprintf(stderr, "hostsim: %s\n",
               name.empty() ? "no command given; hostsim --help lists them"
                            : ("unknown command " + Quoted(name) + "; hostsim --help lists them").c_str());
  return 2;
}

// The arguments as the user wrote them, whatever the ANSI code page can
// spell: from the UTF-16 command line, kept as UTF-8.
Arguments ProgramArguments() {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  Arguments arguments;
  for (int k = 1; wide && k < count; ++k) arguments.push_back(Utf8FromWide(wide[k]));
  LocalFree(wide);
  return arguments;
}

}  // namespace

std::string UsageLine(const Command& command) {
  std::string line = "usage: hostsim";
  const std::string prefix = std::string(command.name) + " ";
  for (std::size_t k = 0; k < command.forms.size(); ++k) {
    std::string synopsis = command.forms[k].synopsis;
    if (k > 0 && synopsis.compare(0, prefix.size(), prefix) == 0) synopsis.erase(0, prefix.size());
    line += (k == 0 ? " " : " | ") + synopsis;
  }
  return line;
}

}  // namespace host

int main() {
  host::PrepareOutput();
  // A DLL that will not load or crashes is reported by hostsim, not by a
  // message box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX | SEM_NOGPFAULTERRORBOX);
  const host::Arguments arguments = host::ProgramArguments();
  return host::Run(arguments.empty() ? "" : arguments[0],
                   host::Arguments(arguments.begin() + std::min<std::size_t>(arguments.size(), 1), arguments.end()));
}
