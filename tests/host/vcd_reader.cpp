#include "vcd_reader.h"

#include <cctype>
#include <cstdlib>
#include <set>
#include <sstream>

namespace test {
namespace {

// A simple identifier of the standard: a letter or _ first, then letters,
// digits, _ and $. Viewers show anything else escaped.
bool IsPlainIdentifier(const std::string& name) {
  if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0])) || name[0] == '$') return false;
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '$') return false;
  return true;
}

class Reader {
 public:
  Reader(const std::string& text, Vcd& vcd) : words_(text), vcd_(vcd) {}

  std::string Read() {
    std::string word;
    while (error_.empty() && words_ >> word && word != "$enddefinitions") Declaration(word);
    if (!error_.empty()) return error_;
    if (word != "$enddefinitions" || !Expect("$end")) return "no $enddefinitions";
    if (!scopes_.empty()) return "a scope is not closed";
    while (error_.empty() && words_ >> word) Simulation(word);
    return error_;
  }

 private:
  bool Expect(const std::string& wanted) {
    std::string word;
    if (words_ >> word && word == wanted) return true;
    error_ = "expected " + wanted + ", found \"" + word + "\"";
    return false;
  }

  // Words up to $end, which must come.
  std::vector<std::string> UpToEnd() {
    std::vector<std::string> list;
    for (std::string word; words_ >> word;) {
      if (word == "$end") return list;
      list.push_back(word);
    }
    error_ = "a command has no $end";
    return list;
  }

  void Declaration(const std::string& word) {
    if (word == "$scope") {
      const std::vector<std::string> parts = UpToEnd();
      if (parts.size() != 2 || parts[0] != "module")
        error_ = "a $scope is not \"module NAME\"";
      else if (!IsPlainIdentifier(parts[1]))
        error_ = "the scope " + parts[1] + " is no plain identifier";
      else
        scopes_.push_back(parts[1]);
    } else if (word == "$upscope") {
      if (!UpToEnd().empty() || scopes_.empty())
        error_ = "$upscope without a scope";
      else
        scopes_.pop_back();
    } else if (word == "$var") {
      Variable(UpToEnd());
    } else if (word == "$timescale") {
      std::string scale;
      for (const std::string& part : UpToEnd()) scale += (scale.empty() ? "" : " ") + part;
      vcd_.timescale = scale;
    } else if (word == "$date" || word == "$version" || word == "$comment") {
      UpToEnd();
    } else {
      error_ = "unknown declaration \"" + word + "\"";
    }
  }

  void Variable(const std::vector<std::string>& parts) {
    if (parts.size() != 4 || parts[0] != "wire" || scopes_.empty()) {
      error_ = "a $var is not \"wire WIDTH CODE REFERENCE\" inside a scope";
      return;
    }
    for (char c : parts[2])
      if (c < '!' || c > '~') error_ = "a $var has a code byte outside printable ASCII";
    if (!IsPlainIdentifier(parts[3])) error_ = "the reference " + parts[3] + " is no plain identifier";
    VcdWire wire;
    for (const std::string& scope : scopes_) wire.scope += (wire.scope.empty() ? "" : ".") + scope;
    wire.width = std::atoi(parts[1].c_str());
    wire.code = parts[2];
    wire.reference = parts[3];
    if (!codes_.insert(wire.code).second) error_ = "identifier code " + wire.code + " used twice";
    if (Find(wire.scope, wire.reference)) error_ = "reference " + wire.scope + "." + wire.reference + " used twice";
    vcd_.wires.push_back(wire);
  }

  const VcdWire* Find(const std::string& scope, const std::string& reference) { return vcd_.Find(scope, reference); }

  void Simulation(const std::string& word) {
    if (word[0] == '#') {
      const long time = std::atol(word.c_str() + 1);
      if (word.size() < 2 || !std::isdigit(static_cast<unsigned char>(word[1])) || (started_ && time <= time_))
        error_ = "time " + word + " does not advance";
      time_ = time;
      started_ = true;
      vcd_.lastTime = time;
    } else if (word == "$dumpvars" || word == "$end") {
      // the initial values are changes at the time before them
    } else if (std::string("01xXzZ").find(word[0]) != std::string::npos && word.size() > 1) {
      if (!started_) error_ = "a value change before the first time";
      if (!codes_.count(word.substr(1))) error_ = "a change of the undeclared code " + word.substr(1);
      vcd_.changes[time_][word.substr(1)] = char(std::tolower(static_cast<unsigned char>(word[0])));
    } else {
      error_ = "unknown word \"" + word + "\" among the value changes";
    }
  }

  std::istringstream words_;
  Vcd& vcd_;
  std::vector<std::string> scopes_;
  std::set<std::string> codes_;
  long time_ = 0;
  bool started_ = false;
  std::string error_;
};

}  // namespace

const VcdWire* Vcd::Find(const std::string& scope, const std::string& reference) const {
  for (const VcdWire& wire : wires)
    if (wire.scope == scope && wire.reference == reference) return &wire;
  return nullptr;
}

char Vcd::ValueAt(const std::string& code, long time) const {
  char value = '?';
  for (const auto& [at, values] : changes) {
    if (at > time) break;
    auto found = values.find(code);
    if (found != values.end()) value = found->second;
  }
  return value;
}

std::string ReadVcd(const std::string& text, Vcd& vcd) { return Reader(text, vcd).Read(); }

}  // namespace test
