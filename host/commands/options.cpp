#include "options.h"

#include <cstdio>

#include "failure.h"
#include "host_file.h"

namespace host {

bool TakeOption(std::vector<std::string>& arguments, const std::string& name, std::string& value) {
  for (std::size_t k = 0; k < arguments.size(); ++k) {
    if (arguments[k] != name) continue;
    if (k + 1 == arguments.size()) throw Failure(name + " needs a value");
    value = arguments[k + 1];
    arguments.erase(arguments.begin() + long(k), arguments.begin() + long(k) + 2);
    return true;
  }
  return false;
}

std::string ReadInput(const std::string& path) {
  if (path != "-") {
    HostFile file;
    file.Open(path);
    return file.ReadRest();
  }
  std::string bytes;
  char buffer[4096];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;) bytes.append(buffer, got);
  return bytes;
}

}  // namespace host
