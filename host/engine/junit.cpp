#include "junit.h"

namespace host {
namespace {

std::size_t FailuresOf(const JUnitSuite& suite) {
  std::size_t failed = 0;
  for (const JUnitCase& test : suite.cases) failed += !test.failures.empty();
  return failed;
}

std::string Counts(std::size_t tests, std::size_t failures) {
  return " tests=\"" + std::to_string(tests) + "\" failures=\"" + std::to_string(failures) + "\" errors=\"0\"";
}

}  // namespace

std::string XmlText(const std::string& utf8) {
  std::string text;
  for (char c : utf8) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == '&')
      text += "&amp;";
    else if (c == '<')
      text += "&lt;";
    else if (c == '>')
      text += "&gt;";
    else if (c == '"')
      text += "&quot;";
    else if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r')
      text += "\xEF\xBF\xBD";
    else
      text += c;
  }
  return text;
}

std::string JUnitXml(const std::string& name, const std::vector<JUnitSuite>& suites) {
  std::size_t tests = 0, failures = 0;
  for (const JUnitSuite& suite : suites) {
    tests += suite.cases.size();
    failures += FailuresOf(suite);
  }
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"" + XmlText(name) + "\"" +
                    Counts(tests, failures) + ">\n";
  for (const JUnitSuite& suite : suites) {
    xml += "  <testsuite name=\"" + XmlText(suite.name) + "\"" + Counts(suite.cases.size(), FailuresOf(suite)) + ">\n";
    for (const JUnitCase& test : suite.cases) {
      xml += "    <testcase classname=\"" + XmlText(suite.name) + "\" name=\"" + XmlText(test.name) + "\"";
      if (test.failures.empty()) {
        xml += "/>\n";
        continue;
      }
      xml += ">\n";
      for (const std::string& failure : test.failures)
        xml += "      <failure message=\"" + XmlText(failure) + "\">" + XmlText(failure) + "</failure>\n";
      xml += "    </testcase>\n";
    }
    xml += "  </testsuite>\n";
  }
  return xml + "</testsuites>\n";
}

}  // namespace host
