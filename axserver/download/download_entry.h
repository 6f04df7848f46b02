#pragma once
// The download routine as a C entry point, for input plug-ins in vexahost's process: command 240
// answers its address. window and title are accepted and not used; address and destinationFile
// are zero-terminated texts. Answers 0 success, 1 failure (as StreamDownload::download); 1, with
// nothing raised, when no download module lives or address or destinationFile is null.
//
// The entry is a plain C function without a context argument, so it reaches the module through
// one process-wide target, set while a DownloadModule lives. Any thread; never throws.
#include <cstdint>

namespace vexa {

class StreamDownload;

extern "C" {
using DownloadEntry = int32_t (*)(uint32_t window, const char* address, const char* destinationFile,
                                  const char* title);
}

// The entry's address.
DownloadEntry downloadEntry() noexcept;

// Makes `module` the entry's target. Main thread.
void setDownloadTarget(StreamDownload* module) noexcept;

// Clears the target if it is `module`, then waits until no call through the entry still uses
// it. Main thread.
void releaseDownloadTarget(StreamDownload* module) noexcept;

}  // namespace vexa
