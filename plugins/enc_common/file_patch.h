#pragma once
// Writing a sink's patches into the closed output file. Any thread; never throws.

#include <string>
#include <vector>

#include "plugins/enc_common/byte_sink.h"

namespace kinvo::enc {

// Writes each patch at its offset in the file at path, in order, without changing the file's
// length (a patch, or the part of it, past the end is left out: the host wrote less than was
// handed out). Answers false when the file cannot be opened or written.
bool applyPatches(const std::string& path, const std::vector<Patch>& patches) noexcept;

}  // namespace kinvo::enc
