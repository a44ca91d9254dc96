#include "stimulus.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>

#include "failure.h"
#include "project_format.h"
#include "shown_text.h"
#include "utf16.h"
#include "words.h"

namespace host {
namespace {

// Digits with at most one point, so that nothing but a plain decimal
// number (no exponent, no "inf" or "nan") passes as a voltage.
bool IsPlainDecimal(const std::string& text) {
  std::size_t at = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
  bool digit = false, point = false;
  for (; at < text.size(); ++at) {
    if (std::isdigit(static_cast<unsigned char>(text[at]))) {
      digit = true;
    } else if (text[at] == '.' && !point) {
      point = true;
    } else {
      return false;
    }
  }
  return digit;
}

std::string Located(const std::string& name, int line, const std::string& reason) {
  return name + ":" + std::to_string(line) + ": " + reason;
}

// ", 2.6V": the value meant, but where the value is cut, which it would
// repeat in full. Both read as voltages, so they are plain ASCII.
std::string Meant(const std::string& token, const std::string& meant) {
  return token.size() > kQuotedColumns ? "" : ", " + meant;
}

// What was meant by a value that is none, where that can be told: a
// decimal comma, or a voltage without its unit.
std::string Hint(const std::string& token) {
  double volts;
  std::string pointed = token;
  for (char& c : pointed) c = c == ',' ? '.' : c;
  if (pointed != token && ParseStimulusValue(pointed, volts))
    return ": the decimal separator is a point" + Meant(token, pointed);
  if (ParseStimulusValue(token + "V", volts)) return ": a voltage needs its unit" + Meant(token, token + "V");
  return {};
}

std::string NoValue(const std::string& token) {
  return Quoted(token) + " is neither 0, 1 nor a voltage such as 2.6V" + Hint(token);
}

}  // namespace

bool ParseStimulusValue(const std::string& token, double& volts) {
  if (token == "0" || token == "1") {
    volts = token == "1" ? 5.0 : 0.0;
    return true;
  }
  if (token.size() < 2 || (token.back() != 'V' && token.back() != 'v')) return false;
  const std::string number = token.substr(0, token.size() - 1);
  if (!IsPlainDecimal(number)) return false;
  volts = std::strtod(number.c_str(), nullptr);
  // Enough digits overflow to infinity, which no input can take.
  return std::isfinite(volts);
}

std::vector<StimulusStep> ParseStimulus(const std::string& bytes, const std::string& name, std::string* encoding) {
  std::vector<StimulusStep> steps;
  std::string read;
  const std::vector<FileLine> lines = SplitLines(UserFileText(bytes, read), 0);
  if (encoding) *encoding = read;
  for (const FileLine& line : lines) {
    std::istringstream tokens(line.text.substr(0, line.text.find('#')));
    StimulusStep step;
    step.line = line.number;
    for (std::string token; tokens >> token;) {
      double volts;
      if (!ParseStimulusValue(token, volts))
        throw Failure(
            Located(name, line.number, NoValue(token) + (read.empty() ? "" : " (the file read as " + read + ")")));
      step.volts.push_back(volts);
      step.written.push_back(token);
    }
    if (!step.volts.empty()) steps.push_back(step);
  }
  if (steps.empty()) throw Failure(name + ": no steps (one line of input values per step)");
  return steps;
}

void CheckStimulusWidth(const std::vector<StimulusStep>& steps, const std::string& name, int inputs) {
  for (const StimulusStep& step : steps)
    if (int(step.volts.size()) != inputs)
      throw Failure(
          Located(name, step.line,
                  Counted(step.volts.size(), "value") + ", but the part has " + Counted(std::size_t(inputs), "input")));
}

}  // namespace host
