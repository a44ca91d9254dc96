// What a plug-in wrote, judged against what the interface lets it write,
// and the guarded buffers and scratch files those writes are caught in:
// the same way wherever hostsim looks, by `check` on its fixed call
// sequences and by `fuzz` after every call of its random ones.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "host_file.h"
#include "part_instance.h"
#include "signal_encoding.h"

namespace host {

// Guard bytes behind every buffer handed to the plug-in: writes past the
// end land there and show, instead of in the host's memory.
constexpr std::size_t kSlack = 4096;

// The value is the host's 5.0 or 0.0 to the bit.
bool IsExactLevel(const unsigned char* value);

// "count byte 1", "the slot of input 3", ... for a byte of the pin record.
std::string PinRecordPlace(std::size_t b);

// What GetNumberOfInputsOutputs2 did wrong in a pin record that was all
// `fill` before, for `inputs` and `outputs` pins: a name without a NUL in
// its slot, or a byte written besides the counts, the names and their NULs.
std::vector<std::string> PinRecordFaults(const std::vector<unsigned char>& pins, unsigned char fill, int inputs,
                                         int outputs);

// What GetNumberOfInputsOutputs2 did wrong in a pin record that was all
// `fill` before a call with a describe flag of 0, which allows no write:
// the first byte written; empty where none.
std::string UndescribedPinRecordFault(const std::vector<unsigned char>& pins, unsigned char fill);

// The bytes within which a text an entry point's result points to ends.
constexpr std::size_t kTextRoom = 4096;

// A NUL-ended text an entry point returned, read without trusting the
// pointer: `guarded` runs the reading under the caller's fault guard and
// gives false where it faulted (the guard has said so). `fault` is what
// else was wrong with the text; `whole` that it was read to its end.
struct ReturnedText {
  std::string text;
  std::string fault;
  bool whole = false;
};
ReturnedText ReadReturnedText(const char* entryPoint, const char* text,
                              const std::function<bool(const std::function<void()>&)>& guarded);

// A scratch file used over and over: under Wine a new one costs
// milliseconds, emptying this one microseconds.
class ScratchFile {
 public:
  ScratchFile() { file_.CreateScratch(); }
  // The file, empty, at its start.
  HostFile& Emptied();

 private:
  HostFile file_;
};

// The block the part's WriteToFile writes. `highBits` go into the handle's
// upper half, which the plug-in must not use.
std::string WrittenBlock(PartInstance& instance, ScratchFile& scratch, std::uint32_t highBits = 0);

// A block handed to ReadFromFile as in a project file, amid the host's
// data: a reader that stops anywhere but right after the marker, or that
// writes, shows in them. Without `dataBehind` the file ends with the block.
struct BlockRead {
  long taken = 0;  // the bytes the reader went past the start of the block
  bool fileChanged = false;
};
BlockRead ReadBlockAmidHostData(PartInstance& instance, ScratchFile& scratch, const std::string& block,
                                bool dataBehind = true, std::uint32_t highBits = 0);

// What one evaluation by `entryPoint` did wrong: wrote into its inputs, set
// an output other than exactly 5.0 or 0.0, wrote behind its `outputs`
// outputs, or (SimulateDLL3) gave a result other than 0.
std::vector<std::string> EvaluationFaults(const std::string& entryPoint, const SignalArray& inBefore,
                                          const SignalArray& in, const SignalArray& out, int outputs,
                                          std::int32_t result);

}  // namespace host
