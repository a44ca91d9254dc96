#include "vcd_writer.h"

#include <set>

namespace host {
namespace {

const char* SpeltOut(unsigned char byte) {
  switch (byte) {
    case 0xC4:
      return "Ae";
    case 0xD6:
      return "Oe";
    case 0xDC:
      return "Ue";
    case 0xE4:
      return "ae";
    case 0xF6:
      return "oe";
    case 0xFC:
      return "ue";
    case 0xDF:
      return "ss";
    default:
      return nullptr;
  }
}

bool IsIdentifierByte(unsigned char byte) {
  return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') || byte == '_';
}

// Identifier codes of printable ASCII characters, "!" first, longer codes
// once the 94 single characters are used up.
std::string IdentifierCode(std::size_t index) {
  std::string code;
  do {
    code += char('!' + index % 94);
    index /= 94;
  } while (index-- > 0);
  return code;
}

// A pin without a name, or with the name of another pin of the same side,
// still needs a reference of its own; the pin number makes it one.
std::vector<std::string> References(const std::vector<std::string>& names, char side) {
  std::vector<std::string> references;
  std::set<std::string> taken;
  for (std::size_t k = 0; k < names.size(); ++k) {
    std::string reference = VcdReference(names[k]);
    if (reference.empty()) reference = side + std::to_string(k);
    if (!taken.insert(reference).second) reference += "_" + std::to_string(k);
    taken.insert(reference);
    references.push_back(reference);
  }
  return references;
}

char InputBit(double volts) { return volts > 2.5 ? '1' : '0'; }
char OutputBit(double volts) { return volts == 5.0 ? '1' : volts == 0.0 ? '0' : 'x'; }

struct Wire {
  std::string code;
  const std::vector<std::vector<double>>* values;
  std::size_t pin;
  char (*bit)(double);
  char At(std::size_t time) const { return bit((*values)[time][pin]); }
};

std::string Scope(const char* name, const std::vector<std::string>& references, const std::vector<Wire>& wires,
                  std::size_t first) {
  std::string text = std::string("$scope module ") + name + " $end\n";
  for (std::size_t k = 0; k < references.size(); ++k)
    text += "$var wire 1 " + wires[first + k].code + " " + references[k] + " $end\n";
  return text + "$upscope $end\n";
}

}  // namespace

std::string VcdReference(const std::string& windows1252) {
  std::string reference;
  for (unsigned char byte : windows1252) {
    const char* spelt = SpeltOut(byte);
    std::string piece = spelt ? spelt : IsIdentifierByte(byte) ? std::string(1, char(byte)) : "_";
    if (piece == "_" && (reference.empty() || reference.back() == '_')) continue;
    reference += piece;
  }
  if (!reference.empty() && reference.back() == '_') reference.pop_back();
  if (!reference.empty() && reference[0] >= '0' && reference[0] <= '9') reference.insert(0, "_");
  return reference;
}

std::string WriteVcd(const VcdRun& run) {
  std::vector<Wire> wires;
  for (std::size_t i = 0; i < run.inputNames.size(); ++i)
    wires.push_back({IdentifierCode(wires.size()), &run.inputs, i, InputBit});
  for (std::size_t j = 0; j < run.outputNames.size(); ++j)
    wires.push_back({IdentifierCode(wires.size()), &run.outputs, j, OutputBit});

  std::string vcd = "$version hostsim $end\n$timescale 1 ns $end\n";
  std::string part = VcdReference(run.partName);
  vcd += "$scope module " + (part.empty() ? std::string("part") : part) + " $end\n";
  vcd += Scope("in", References(run.inputNames, 'i'), wires, 0);
  vcd += Scope("out", References(run.outputNames, 'o'), wires, run.inputNames.size());
  vcd += "$upscope $end\n$enddefinitions $end\n";

  const std::size_t times = run.inputs.size();
  for (std::size_t t = 0; t < times; ++t) {
    std::string changes;
    for (const Wire& wire : wires)
      if (t == 0 || wire.At(t) != wire.At(t - 1)) changes += std::string(1, wire.At(t)) + wire.code + "\n";
    if (t == 0)
      vcd += "#0\n$dumpvars\n" + changes + "$end\n";
    else if (!changes.empty())
      vcd += "#" + std::to_string(t) + "\n" + changes;
  }
  // The last evaluation's values hold for one time unit, like every other.
  return vcd + "#" + std::to_string(times) + "\n";
}

}  // namespace host
