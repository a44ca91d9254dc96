// SHA-256 of a file, for the trace's head: which build of the part it is.
#pragma once

namespace checksum {

// 64 hex digits and a NUL into `hex`; false where the file cannot be read.
bool FileSha256(const char* path, char hex[65]);

}  // namespace checksum
