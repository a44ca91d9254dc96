#include "options.h"

#include <algorithm>
#include <cstdio>
#include <sstream>
#include <utility>

#include "failure.h"
#include "host_file.h"
#include "shown_text.h"

namespace host {
namespace {

// One place in a synopsis for operands: a name, how many it takes.
struct OperandSlot {
  std::string name;
  std::size_t least = 1, most = 1;
};

// An option's value: its name in the synopsis ("FILE"), empty for a flag
// ("[--ok]"); `repeats` for one that may be given again ("[--set X]...").
struct OptionGrammar {
  std::string value;
  bool repeats = false;
};

struct FormGrammar {
  std::string word;  // the word that chooses this form, or none
  std::vector<OperandSlot> slots;
  std::map<std::string, OptionGrammar> options;  // by name
};

std::vector<std::string> Tokens(const char* synopsis) {
  std::istringstream words(synopsis);
  std::vector<std::string> tokens;
  for (std::string token; words >> token;) tokens.push_back(token);
  return tokens;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// "[--ok]", "[--vcd FILE]" or "[--set CAPTION=VALUE]..." from `tokens[k]`
// on; `k` left on its last token.
std::pair<std::string, OptionGrammar> OptionOf(const std::string& token, const std::vector<std::string>& tokens,
                                               std::size_t& k) {
  if (token.back() == ']') return {token.substr(1, token.size() - 2), {}};
  OptionGrammar option;
  std::string value = k + 1 < tokens.size() ? tokens[++k] : "]";
  option.repeats = EndsWith(value, "]...");
  if (option.repeats) value.erase(value.size() - 3);
  option.value = value.substr(0, value.size() - 1);
  return {token.substr(1), option};
}

FormGrammar GrammarOf(const CommandForm& form) {
  FormGrammar grammar;
  const std::vector<std::string> tokens = Tokens(form.synopsis);
  for (std::size_t k = 1; k < tokens.size(); ++k) {
    std::string token = tokens[k];
    if (token.compare(0, 3, "[--") == 0) {
      grammar.options.insert(OptionOf(token, tokens, k));
      continue;
    }
    if (k == 1 && token.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ[") == std::string::npos) {
      grammar.word = token;
      continue;
    }
    OperandSlot slot;
    if (token.front() == '[') {
      slot.least = 0;
      token = token.substr(1, token.size() - 2);
    }
    if (EndsWith(token, "...")) {
      slot.most = std::size_t(-1);
      token.erase(token.size() - 3);
    }
    slot.name = token;
    grammar.slots.push_back(slot);
  }
  return grammar;
}

std::string Listed(const std::vector<std::string>& items, const char* conjunction) {
  std::string text;
  for (std::size_t k = 0; k < items.size(); ++k)
    text += (k == 0 ? "" : k + 1 == items.size() ? std::string(" ") + conjunction + " " : ", ") + items[k];
  return text;
}

// Every option of the command, with its value's name, for the messages.
std::string OptionsTaken(const std::vector<FormGrammar>& forms) {
  std::vector<std::string> taken;
  for (const FormGrammar& form : forms)
    for (const auto& [name, option] : form.options)
      taken.push_back(option.value.empty() ? name : name + " " + option.value);
  return taken.empty() ? "it takes none" : "it takes " + Listed(taken, "and");
}

class Reader {
 public:
  Reader(const Command& command, const Arguments& arguments) : command_(command), arguments_(arguments) {
    for (const CommandForm& form : command.forms) forms_.push_back(GrammarOf(form));
  }

  CommandLine Read() {
    for (std::size_t k = 0; k < arguments_.size(); ++k) {
      const std::string& argument = arguments_[k];
      if (argument.size() > 1 && argument[0] == '-')
        TakeOption(argument, k);
      else
        line_.operands.push_back(argument);
    }
    CheckOperands(ChosenForm());
    return line_;
  }

 private:
  std::string Usage() const { return UsageLine(command_); }
  std::string Shown(const std::string& argument) const { return Quoted(argument); }

  void TakeOption(const std::string& argument, std::size_t& k) {
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    const OptionGrammar* option = Known(name);
    if (!option)
      throw Failure(ShownUserText(name) + " is not an option of " + command_.name + "; " + OptionsTaken(forms_));
    if (line_.Has(name) && !option->repeats) throw Failure(name + " is given twice");
    if (option->value.empty()) {
      if (equals != std::string::npos) throw Failure(name + " takes no value");
      line_.options[name].emplace_back();
      return;
    }
    std::string value;
    if (equals != std::string::npos)
      value = argument.substr(equals + 1);
    else if (k + 1 < arguments_.size())
      value = arguments_[++k];
    else
      throw Failure(name + " needs a value");
    if (value.empty()) throw Failure(name + " needs a value, and it is empty");
    line_.options[name].push_back(value);
  }

  const OptionGrammar* Known(const std::string& name) const {
    for (const FormGrammar& form : forms_)
      if (const auto found = form.options.find(name); found != form.options.end()) return &found->second;
    return nullptr;
  }

  const FormGrammar& ChosenForm() const {
    if (forms_.front().word.empty()) return forms_.front();
    std::vector<std::string> words;
    for (const FormGrammar& form : forms_) {
      if (!line_.operands.empty() && line_.operands.front() == form.word) return form;
      words.push_back(form.word);
    }
    if (line_.operands.empty()) throw Failure(Listed(words, "or") + " is missing (" + Usage() + ")");
    throw Failure(Shown(line_.operands.front()) + " is neither " + Listed(words, "nor") + " (" + Usage() + ")");
  }

  void CheckOperands(const FormGrammar& form) const {
    std::size_t at = form.word.empty() ? 0 : 1;
    for (const OperandSlot& slot : form.slots) {
      std::size_t taken = 0;
      for (; taken < slot.most && at < line_.operands.size(); ++taken, ++at)
        if (line_.operands[at].empty()) throw Failure("the " + slot.name + " argument is empty");
      if (taken < slot.least) throw Failure(slot.name + " is missing (" + Usage() + ")");
    }
    if (at < line_.operands.size())
      throw Failure(Shown(line_.operands[at]) + " is one argument too many (" + Usage() + ")");
    for (const auto& [name, value] : line_.options)
      if (!form.options.count(name)) throw Failure(name + " does not go with " + form.word);
  }

  const Command& command_;
  const Arguments& arguments_;
  std::vector<FormGrammar> forms_;
  CommandLine line_;
};

}  // namespace

std::string CommandLine::Option(const std::string& option) const {
  const auto given = options.find(option);
  return given == options.end() ? "" : given->second.front();
}

std::vector<std::string> CommandLine::Values(const std::string& option) const {
  const auto given = options.find(option);
  return given == options.end() ? std::vector<std::string>{} : given->second;
}

CommandLine ReadCommandLine(const Command& command, const Arguments& arguments) {
  return Reader(command, arguments).Read();
}

std::string ReadInput(const std::string& path, std::size_t limit) {
  if (path != "-") {
    HostFile file;
    file.Open(path);
    return file.ReadUpTo(limit);
  }
  std::string bytes;
  char buffer[4096];
  for (std::size_t got; bytes.size() < limit && (got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;)
    bytes.append(buffer, std::min(got, limit - bytes.size()));
  return bytes;
}

}  // namespace host
