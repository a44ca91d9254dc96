#include "check_run.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "child_process.h"
#include "failure.h"
#include "shown_text.h"
#include "words.h"

namespace host {
namespace {

// Set in the environment of a process that judges for its parent: where
// it starts, "DLL" (the DLL's number from 0) or "DLL AREA".
constexpr char kChildFlag[] = "HOSTSIM_CHECK_FROM";
// For one process's part of a check; a single call has the command's limit.
constexpr unsigned kSecondsPerProcess = 300;

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t from = 0;
  for (std::size_t end; (end = text.find(separator, from)) != std::string::npos; from = end + 1)
    parts.push_back(text.substr(from, end - from));
  parts.push_back(text.substr(from));
  return parts;
}

bool IsTableArea(const std::string& name) {
  const std::vector<CheckArea>& areas = CheckAreas();
  return std::any_of(areas.begin(), areas.end(), [&](const CheckArea& area) { return name == area.name; });
}

// ---- records: the DLL's number, the record's type and its fields, one
// record a line, separated by tabs; a field's tabs, line ends and
// backslashes escaped.

std::string Escaped(const std::string& field) {
  std::string text;
  for (char c : field) {
    if (c == '\\' || c == '\t' || c == '\n' || c == '\r') text += '\\';
    text += c == '\t' ? 't' : c == '\n' ? 'n' : c == '\r' ? 'r' : c;
  }
  return text;
}

std::string Unescaped(const std::string& field) {
  std::string text;
  for (std::size_t k = 0; k < field.size(); ++k) {
    if (field[k] != '\\' || k + 1 == field.size()) {
      text += field[k];
      continue;
    }
    const char c = field[++k];
    text += c == 't' ? '\t' : c == 'n' ? '\n' : c == 'r' ? '\r' : c;
  }
  return text;
}

const char* KindCode(CheckLine::Kind kind) {
  return kind == CheckLine::kFinding ? "finding" : kind == CheckLine::kNote ? "note" : "passed";
}

// In the child: what the checker tells, sent to the parent as it comes.
class RecordSender : public CheckListener {
 public:
  explicit RecordSender(std::size_t dll) : dll_(dll) {}
  void Heading(const std::string& displayName) override { Send({"heading", displayName}); }
  void Begin(const std::string& area) override { Send({"begin", area}); }
  void Calling(const std::string& entryPoint) override { Send({"call", entryPoint}); }
  void Line(const CheckLine& line) override { Send({"line", KindCode(line.kind), line.area, line.text}); }
  void End(const std::string& area) override { Send({"end", area}); }
  void Done() { Send({"done"}); }

 private:
  void Send(const std::vector<std::string>& fields) {
    std::string record = std::to_string(dll_);
    for (const std::string& field : fields) record += "\t" + Escaped(field);
    SendToParent(record);
  }
  std::size_t dll_;
};

// Where a process starts: at a DLL's heading, or at a later area of it.
struct Position {
  std::size_t dll = 0;
  std::string area;  // empty for the heading and every area
};

std::string FlagOf(const Position& at) { return std::to_string(at.dll) + (at.area.empty() ? "" : " " + at.area); }

Position PositionOf(const std::string& flag) {
  Position at;
  std::istringstream(flag) >> at.dll >> at.area;
  return at;
}

// ---- the parent's account, made from the records only

// What a process that ended on the way could not say for itself, as
// findings of the area it was in: the fault text on its error output, or
// what is known of its end, with the entry point it called last.
std::vector<std::string> EndFindings(const ChildOutcome& child, const std::string& lastCall) {
  std::vector<std::string> texts;
  for (const std::string& line : Split(child.err, '\n'))
    if (line.compare(0, 9, "hostsim: ") == 0) texts.push_back(line.substr(9));
  if (child.timedOut) texts.push_back("not judged within " + std::to_string(kSecondsPerProcess) + " s");
  if (texts.empty())
    texts.push_back("the process judging it ended in the middle of the area, with exit status " +
                    std::to_string(child.status));
  const bool named = std::any_of(texts.begin(), texts.end(),
                                 [&](const std::string& text) { return text.find(lastCall) != std::string::npos; });
  if (!lastCall.empty() && !named) texts.back() += "; the last entry point called: " + lastCall;
  return texts;
}

class Collector : public CheckListener {
 public:
  Collector(const std::vector<std::string>& dlls, const std::vector<std::string>& areas,
            const std::function<void(const std::string&)>& print)
      : areas_(areas), print_(print), headed_(dlls.size()) {
    for (const std::string& dll : dlls) plugins_.push_back({dll, "", {}, {}});
  }

  bool Finished() const { return done_ == plugins_.size(); }
  const std::vector<JudgedPlugin>& Plugins() const { return plugins_; }

  // A process starts; what it will not tell is known from here.
  void Starting(const Position& from) {
    at_ = from.dll;
    lastArea_ = from.area.empty() ? kLoadArea : from.area;
  }

  void Take(const std::string& record) {
    const std::vector<std::string> fields = Split(record, '\t');
    char* end = nullptr;
    const std::size_t dll = std::strtoul(fields[0].c_str(), &end, 10);
    if (fields.size() < 2 || *end || dll < done_ || dll >= plugins_.size()) return;
    At(dll);
    std::vector<std::string> values;
    for (std::size_t k = 2; k < fields.size(); ++k) values.push_back(Unescaped(fields[k]));
    Dispatch(fields[1], values);
  }

  // After a process that ended before its work was done: a finding of the
  // area it was in, and where the next one starts.
  Position AfterEndOf(const ChildOutcome& child) {
    const std::string area = open_.empty() ? lastArea_ : open_;
    open_ = area;
    Headed();
    for (const std::string& text : EndFindings(child, lastCall_)) Line({CheckLine::kFinding, area, text});
    End(area);
    const auto next = IsTableArea(area) ? std::find(areas_.begin(), areas_.end(), area) + 1 : areas_.end();
    if (next != areas_.end()) return {at_, *next};
    Done();
    return {at_, ""};
  }

  void Heading(const std::string& displayName) override {
    plugins_[at_].displayName = displayName;
    Headed();
  }

  void Begin(const std::string& area) override {
    open_ = lastArea_ = area;
    lastCall_.clear();
  }

  void Calling(const std::string& entryPoint) override { lastCall_ = entryPoint; }

  void Line(const CheckLine& line) override {
    if (line.kind == CheckLine::kFinding || line.area == open_) Judged(line.area);
    pending_.push_back(line);
    if (open_.empty()) Flush();
  }

  // The area's lines, the account of what passed first.
  void End(const std::string&) override {
    std::stable_partition(pending_.begin(), pending_.end(),
                          [](const CheckLine& line) { return line.kind == CheckLine::kPassed; });
    Flush();
    open_.clear();
  }

 private:
  void At(std::size_t dll) {
    if (dll != at_) lastArea_ = kLoadArea;
    at_ = dll;
  }

  void Dispatch(const std::string& type, const std::vector<std::string>& values) {
    if (type == "done") return Done();
    if (values.empty()) return;
    if (type == "heading") return Heading(values[0]);
    if (type == "begin") return Begin(values[0]);
    if (type == "call") return Calling(values[0]);
    if (type == "end") return End(values[0]);
    if (type != "line" || values.size() < 3) return;
    const CheckLine::Kind kinds[] = {CheckLine::kPassed, CheckLine::kFinding, CheckLine::kNote};
    for (const CheckLine::Kind kind : kinds)
      if (values[0] == KindCode(kind)) Line({kind, values[1], values[2]});
  }

  // A DLL's heading is printed once, before anything else of it.
  void Headed() {
    if (headed_[at_]) return;
    headed_[at_] = true;
    print_(CheckHeadingText(plugins_[at_]));
  }

  // An area counts as judged once it says something of its own: not one
  // that found nothing to judge, nor one noted as left out.
  void Judged(const std::string& area) {
    std::vector<std::string>& judged = plugins_[at_].areas;
    if (std::find(judged.begin(), judged.end(), area) == judged.end()) judged.push_back(area);
  }

  void Flush() {
    if (!pending_.empty()) Headed();
    for (const CheckLine& line : pending_) {
      plugins_[at_].lines.push_back(line);
      print_(CheckLineText(line));
    }
    pending_.clear();
  }

  void Done() {
    Headed();
    print_(CheckSummaryText(plugins_[at_].Findings()));
    done_ = at_ + 1;
    At(done_);
  }

  const std::vector<std::string>& areas_;
  const std::function<void(const std::string&)>& print_;
  std::vector<JudgedPlugin> plugins_;
  std::vector<bool> headed_;
  std::size_t at_ = 0, done_ = 0;  // the DLL under way; how many are done
  std::string open_;               // the area begun and not yet ended, if any
  std::string lastArea_;           // the last area begun of the DLL under way
  std::string lastCall_;           // the entry point called last in the open area
  std::vector<CheckLine> pending_;
};

}  // namespace

std::vector<std::string> SelectedAreas(const std::string& only, const std::string& skip) {
  if (!only.empty() && !skip.empty()) throw Failure("--only and --skip do not go together");
  std::vector<std::string> known;
  for (const CheckArea& area : CheckAreas()) known.push_back(area.name);
  if (only.empty() && skip.empty()) return known;
  const std::vector<std::string> named = Split(only.empty() ? skip : only, ',');
  for (const std::string& name : named)
    if (!IsTableArea(name)) throw Failure(Quoted(name) + " is no area of check; the areas are " + Joined(known, ", "));
  std::vector<std::string> selected;
  for (const std::string& area : known)
    if ((std::find(named.begin(), named.end(), area) != named.end()) == !only.empty()) selected.push_back(area);
  if (selected.empty()) throw Failure("--skip leaves no area to judge");
  return selected;
}

CheckResult JudgeInChildren(const std::vector<std::string>& dlls, const std::vector<std::string>& areas,
                            const std::function<void(const std::string&)>& print) {
  std::vector<std::string> arguments = {"check"};
  arguments.insert(arguments.end(), dlls.begin(), dlls.end());
  arguments.insert(arguments.end(), {"--only", Joined(areas, ",")});
  Collector collector(dlls, areas, print);
  for (Position from; !collector.Finished();) {
    collector.Starting(from);
    const ChildOutcome child = RunThisProgramAgain(arguments, kChildFlag, FlagOf(from), kSecondsPerProcess,
                                                   [&](const std::string& record) { collector.Take(record); });
    if (!collector.Finished()) from = collector.AfterEndOf(child);
  }
  return {collector.Plugins()};
}

bool IsCheckChild() { return IsChild(kChildFlag); }

int JudgeForParent(const std::vector<std::string>& dlls, const std::vector<std::string>& areas, FaultGuard& guard) {
  const Position from = PositionOf(ChildFlag(kChildFlag));
  for (std::size_t k = from.dll; k < dlls.size(); ++k) {
    CheckPlan plan{areas, true};
    if (k == from.dll && !from.area.empty())
      plan = {{std::find(areas.begin(), areas.end(), from.area), areas.end()}, false};
    RecordSender sender(k);
    CheckPlugin(dlls[k], guard, sender, plan);
    sender.Done();
  }
  return 0;
}

}  // namespace host
