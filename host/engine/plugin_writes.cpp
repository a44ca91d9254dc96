#include "plugin_writes.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <windows.h>

#include "plugin_interface.h"

namespace host {

bool IsExactLevel(const unsigned char* value) {
  return std::memcmp(value, kFiveVolts, kSignalSize) == 0 || std::memcmp(value, kZeroVolts, kSignalSize) == 0;
}

std::string PinRecordPlace(std::size_t b) {
  if (b < kInputNameAt) return "count byte " + std::to_string(b);
  if (b < kOutputNameAt) return "the slot of input " + std::to_string((b - kInputNameAt) / kNameSlot);
  if (b < kPinInfoSize) return "the slot of output " + std::to_string((b - kOutputNameAt) / kNameSlot);
  return "behind the " + std::to_string(kPinInfoSize) + "-byte record";
}

std::vector<std::string> PinRecordFaults(const std::vector<unsigned char>& pins, unsigned char fill, int inputs,
                                         int outputs) {
  std::vector<std::string> faults;
  std::vector<bool> writable(pins.size(), false);
  writable[0] = writable[1] = true;
  auto allowName = [&](std::size_t at, const std::string& pin) {
    const std::size_t length = strnlen(reinterpret_cast<const char*>(&pins[at]), kNameSlot);
    if (length == kNameSlot) faults.push_back("the name of " + pin + " has no NUL within its 41 bytes");
    for (std::size_t k = 0; k <= length && k < kNameSlot; ++k) writable[at + k] = true;
  };
  for (int i = 0; i < std::min(inputs, kMaxPins); ++i)
    allowName(kInputNameAt + i * kNameSlot, "input " + std::to_string(i));
  for (int j = 0; j < std::min(outputs, kMaxPins); ++j)
    allowName(kOutputNameAt + j * kNameSlot, "output " + std::to_string(j));
  for (std::size_t b = 0; b < pins.size(); ++b)
    if (!writable[b] && pins[b] != fill) {
      faults.push_back("writes byte " + std::to_string(b) + " of the pin record, outside the counts, names and NULs (" +
                       PinRecordPlace(b) + ")");
      break;
    }
  return faults;
}

std::string UndescribedPinRecordFault(const std::vector<unsigned char>& pins, unsigned char fill) {
  const auto written = std::find_if(pins.begin(), pins.end(), [&](unsigned char b) { return b != fill; });
  if (written == pins.end()) return {};
  return "with a third argument of 0 it still writes (" + PinRecordPlace(std::size_t(written - pins.begin())) + ")";
}

ReturnedText ReadReturnedText(const char* entryPoint, const char* text,
                              const std::function<bool(const std::function<void()>&)>& guarded) {
  ReturnedText read;
  if (!text) {
    read.fault = std::string(entryPoint) + " gives a null pointer";
    return read;
  }
  std::size_t length = 0;
  if (!guarded([&] { length = strnlen(text, kTextRoom); })) return read;
  if (length == kTextRoom) {
    read.fault =
        std::string(entryPoint) + " gives a text without an end within " + std::to_string(kTextRoom) + " bytes";
    return read;
  }
  read.text.assign(text, length);
  read.whole = true;
  return read;
}

HostFile& ScratchFile::Emptied() {
  file_.Seek(0);
  // The handle as the host passes it is the whole handle in a 32-bit process.
  SetEndOfFile(reinterpret_cast<HANDLE>(std::uintptr_t(file_.Argument())));
  return file_;
}

std::string WrittenBlock(PartInstance& instance, ScratchFile& scratch, std::uint32_t highBits) {
  HostFile& file = scratch.Emptied();
  instance.Write(file.Argument() | highBits);
  file.Seek(0);
  return file.ReadRest();
}

BlockRead ReadBlockAmidHostData(PartInstance& instance, ScratchFile& scratch, const std::string& block, bool dataBehind,
                                std::uint32_t highBits) {
  const std::string before = "HOST-DATA\r\n", after = dataBehind ? "\x01HOST-NEXT\r\n" : "";
  HostFile& file = scratch.Emptied();
  file.Write(before + block + after);
  file.Seek(long(before.size()));
  instance.Read(file.Argument() | highBits);
  BlockRead read;
  read.taken = file.Position() - long(before.size());
  file.Seek(0);
  read.fileChanged = file.ReadRest() != before + block + after;
  return read;
}

std::vector<std::string> EvaluationFaults(const std::string& entryPoint, const SignalArray& inBefore,
                                          const SignalArray& in, const SignalArray& out, int outputs,
                                          std::int32_t result) {
  std::vector<std::string> faults;
  if (in != inBefore) faults.push_back(entryPoint + " writes into the input array");
  for (int j = 0; j < outputs; ++j)
    if (!IsExactLevel(out.Data() + j * kSignalSize)) {
      char value[64];
      std::snprintf(value, sizeof value, "%g", DecodeSignal(out.Data() + j * kSignalSize));
      faults.push_back(entryPoint + " sets output " + std::to_string(j) + " to " + value + ", not exactly 5.0 or 0.0");
    }
  for (std::size_t b = outputs * kSignalSize; b < sizeof out.bytes; ++b)
    if (out.bytes[b] != SignalArray::kFill) {
      faults.push_back(entryPoint + " writes element " + std::to_string(b / kSignalSize) +
                       " of the output array, behind its " + std::to_string(outputs) + " outputs");
      break;
    }
  if (result != 0)
    faults.push_back(std::string(HOST_LISTED(SimulateDLL3)) + " gives " + std::to_string(result) + ", not 0");
  return faults;
}

}  // namespace host
