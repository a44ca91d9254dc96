// Reads of the host's memory that cannot fault: only committed pages that
// may be read, found with VirtualQuery before a byte is touched.
#pragma once

#include <cstddef>

namespace recorder {

// Copies what of [at, at + count) can be read, from its start, into
// `into`; gives the number of bytes copied.
std::size_t CopyReadable(const void* at, std::size_t count, unsigned char* into);

// The length of the NUL-ended text at `at`, at most `limit`, where all of
// it can be read; copies it into `into`.
std::size_t CopyReadableText(const void* at, std::size_t limit, char* into);

}  // namespace recorder
