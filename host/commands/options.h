// A command's arguments read by the grammar its synopses give in
// command.h, so that what --help shows and what is accepted are one fact:
//   DLL          an operand            DLL...        one or more
//   [FOLDER]     an optional operand   [DLL...]      any number
//   save         a word that chooses the form (project save|load|show)
//   [--vcd FILE] an option with its value, as "--vcd FILE" or "--vcd=FILE"
//   [--ok]       an option without a value
//   [--set X]... an option that may be given more than once
#pragma once

#include <map>
#include <string>
#include <vector>

#include "command.h"

namespace host {

struct CommandLine {
  std::vector<std::string> operands;                        // in order, a form's word among them
  std::map<std::string, std::vector<std::string>> options;  // those given, by name, values in order

  bool Has(const std::string& option) const { return options.count(option) > 0; }
  // Its value (the first), or "" where it was not given.
  std::string Option(const std::string& option) const;
  // Every value of an option that may be given again, in order.
  std::vector<std::string> Values(const std::string& option) const;
};

// Throws a Failure that names the option or argument and what is wrong:
// an option the command does not take, one given twice or without its
// value, an argument missing, empty or one too many.
CommandLine ReadCommandLine(const Command& command, const Arguments& arguments);

// A file's bytes, or its first `limit` of them; "-" is standard input.
std::string ReadInput(const std::string& path, std::size_t limit = std::string::npos);

}  // namespace host
