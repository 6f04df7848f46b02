#pragma once
// The stream download: fetches a whole address into a local file, raising statuses 200 to 206
// to the client on the way (axserver/download/url_reader.h tells how an address is read).
// The playlist fetches remote playlists through the StreamDownload hook; input plug-ins call the
// same routine in-process through the address that command 240 answers (download_entry.h).
//
// The routine, in order:
//   1. While another download runs anywhere in the process: answer 1 at once, raise nothing.
//   2. Raise 200, make the transfer handle; raise 201 and open the address. Not opened (or no
//      handle): raise 206, answer 1.
//   3. A status other than 200: raise 202 with it, answer 1.
//   4. Raise 203 and create the destination (replacing an older file, mode 0666 less the umask).
//      Failure: raise 205, answer 1.
//   5. Write the body as it comes, in blocks of 4096 bytes (destination_file.h); memory stays
//      bounded by the receive and write-behind buffers whatever the body's length.
//   6. Close the file. A failed read or write answers 1 with no further status (the partly
//      written file stays); a clean end raises 204 and answers 0.
// A failure before step 4 creates no file and leaves an older one as it was.
//
// Addresses without an HTTP status: "file://" and "ftp://" addresses have no status code, so
// one that opens counts as status 200 and one that does not raises 206. Any other scheme, and a
// name without "://", is not opened (206). Redirects are followed; the last answer's status
// counts.
//
// Error policy: every failure answers 1 (and raises what the list says); nothing throws.
//
// Threading: download() runs on any thread (the main thread for the playlist, plug-in threads
// through the entry) and blocks its caller for the whole transfer; statuses are posted through
// the link from that thread. Only one download runs at a time in the process. The module is
// made and destroyed on the main thread; destroying it cancels a running download and waits
// until the entry has let go of it.
#include <atomic>
#include <memory>

#include "axserver/modules/server_link.h"
#include "axserver/modules/server_modules.h"
#include "lib/curl/global.h"

namespace vexa {

class DownloadModule final : public StreamDownload {
  public:
    // Becomes the target of the download entry while it lives.
    explicit DownloadModule(ClientLink& link);
    ~DownloadModule() override;
    DownloadModule(const DownloadModule&) = delete;
    DownloadModule& operator=(const DownloadModule&) = delete;

    int32_t download(const std::string& address,
                     const std::string& destinationFile) noexcept override;
    std::span<const CommandHandler> commands() const noexcept override;

  private:
    // Command 240: the address of the download entry.
    win::LRESULT downloader(CommandCall& call);
    int32_t transfer(const std::string& address, const std::string& destinationFile) noexcept;

    ClientLink& link_;
    kinvo::curl::Global curl_;
    std::atomic<bool> closing_{false};
};

// The module table's maker.
std::unique_ptr<ServerModule> makeDownloadModule(ServerLink& link, const ServerModules& made);

}  // namespace vexa
