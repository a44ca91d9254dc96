// Reports in the JUnit XML form that CI systems read: one suite per file
// or DLL judged, one case per row or area, a failure per fault found.
#pragma once

#include <string>
#include <vector>

namespace host {

struct JUnitCase {
  std::string name;
  std::vector<std::string> failures;  // UTF-8; none for a case that passed
};

struct JUnitSuite {
  std::string name;
  std::vector<JUnitCase> cases;
};

std::string JUnitXml(const std::string& name, const std::vector<JUnitSuite>& suites);

// Text for XML: & < > " escaped, and the characters XML 1.0 cannot hold
// (control characters but tab, line feed and carriage return) as U+FFFD.
std::string XmlText(const std::string& utf8);

}  // namespace host
