// Stimulus files for `run` (the format: docs/formats.md, "Stimulus files").
#pragma once

#include <string>
#include <vector>

namespace host {

struct StimulusStep {
  int line = 0;
  std::vector<double> volts;
  std::vector<std::string> written;  // each value as the file has it
};

// The steps, or a Failure "NAME:LINE: reason". The bytes are 8-bit text or
// UTF-8, with or without a byte-order mark, or UTF-16 of either byte
// order; `encoding` then says which ("UTF-16 little-endian").
std::vector<StimulusStep> ParseStimulus(const std::string& bytes, const std::string& name,
                                        std::string* encoding = nullptr);

// Every step must drive exactly the part's inputs; a Failure names the
// first that does not.
void CheckStimulusWidth(const std::vector<StimulusStep>& steps, const std::string& name, int inputs);

// One value: true and the voltage, or false for text that is none.
bool ParseStimulusValue(const std::string& token, double& volts);

}  // namespace host
