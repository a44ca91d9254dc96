// What the commands share in reading their command lines.
#pragma once

#include <string>
#include <vector>

namespace host {

// Pulls "--name VALUE" out of the arguments; false when it is absent.
bool TakeOption(std::vector<std::string>& arguments, const std::string& name, std::string& value);

// A file's bytes; "-" is standard input.
std::string ReadInput(const std::string& path);

}  // namespace host
