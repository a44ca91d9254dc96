// The text of each field of the last records, with the bytes it was made
// from: an evaluation's records mostly repeat the previous ones' fields
// (the same slots, the same buffers, inputs that rarely change), and
// comparing a field's bytes costs far less than writing its text again.
#pragma once

#include <cstddef>
#include <cstdint>

#include "line.h"

namespace recorder {

// Which field of which kind of record: the entry point, entry or exit,
// and the field's place in the record.
std::uint32_t FieldKey(std::uint32_t entryPoint, bool exit, std::uint32_t field);

// Appends the text kept for `key` where it was made from the same `count`
// bytes; false, leaving `line` as it was, where it was not.
bool ReuseField(Line& line, std::uint32_t key, const void* bytes, std::size_t count);

// Keeps `text` as the field `key` made from `bytes`, where both are small
// enough to keep; a larger one is made afresh each time.
void KeepField(std::uint32_t key, const void* bytes, std::size_t count, const char* text, std::size_t length);

}  // namespace recorder
