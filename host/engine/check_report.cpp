#include "check_report.h"

#include "json_text.h"
#include "junit.h"
#include "words.h"

namespace host {
namespace {

const char* KindName(CheckLine::Kind kind) {
  return kind == CheckLine::kFinding ? "FINDING" : kind == CheckLine::kNote ? "note" : "ok";
}

std::string JsonLine(const CheckLine& line) {
  return "\n      {\"kind\": " + JsonText(KindName(line.kind)) + ", \"area\": " + JsonText(line.area) +
         ", \"text\": " + JsonText(line.text) + "}";
}

std::string JsonPlugin(const JudgedPlugin& plugin) {
  return "\n    {\"dll\": " + JsonText(plugin.dll) + ", \"name\": " + JsonText(plugin.displayName) +
         ", \"findings\": " + std::to_string(plugin.Findings()) + ", \"areas\": " + JsonList(plugin.areas, JsonText) +
         ", \"lines\": " + JsonList(plugin.lines, JsonLine) + "}";
}

}  // namespace

int JudgedPlugin::Findings() const {
  int findings = 0;
  for (const CheckLine& line : lines) findings += line.kind == CheckLine::kFinding;
  return findings;
}

int CheckResult::Findings() const {
  int findings = 0;
  for (const JudgedPlugin& plugin : plugins) findings += plugin.Findings();
  return findings;
}

std::string CheckHeadingText(const JudgedPlugin& plugin) {
  return plugin.dll + (plugin.displayName.empty() ? "" : " (" + plugin.displayName + ")") + "\n";
}

std::string CheckLineText(const CheckLine& line) {
  std::string kind = KindName(line.kind);
  kind.resize(7, ' ');
  return "  " + kind + " " + line.area + ": " + line.text + "\n";
}

std::string CheckSummaryText(int findings) {
  return "  " + (findings ? Counted(std::size_t(findings), "finding") : std::string("no findings")) + "\n";
}

std::string CheckTotalText(const CheckResult& result) {
  std::size_t withFindings = 0;
  for (const JudgedPlugin& plugin : result.plugins) withFindings += plugin.Findings() > 0;
  const int findings = result.Findings();
  return "checked " + Counted(result.plugins.size(), "plug-in") + ": " +
         (findings ? Counted(std::size_t(findings), "finding") + " in " + std::to_string(withFindings) + " of them"
                   : std::string("no findings")) +
         "\n";
}

std::string CheckJUnit(const CheckResult& result) {
  std::vector<JUnitSuite> suites;
  for (const JudgedPlugin& plugin : result.plugins) {
    JUnitSuite suite{plugin.dll, {}};
    for (const std::string& area : plugin.areas) {
      JUnitCase test{area, {}};
      for (const CheckLine& line : plugin.lines)
        if (line.kind == CheckLine::kFinding && line.area == area) test.failures.push_back(line.text);
      suite.cases.push_back(test);
    }
    suites.push_back(suite);
  }
  return JUnitXml("hostsim check", suites);
}

std::string CheckJson(const CheckResult& result) {
  return "{\n  \"plugins\": " + JsonList(result.plugins, JsonPlugin) +
         ",\n  \"findings\": " + std::to_string(result.Findings()) + "\n}\n";
}

}  // namespace host
