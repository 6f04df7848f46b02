#pragma once
// What libburn writes: a disc of one session of audio tracks, each reading its samples from a
// source, and the options of one write. Each owner holds one libburn reference, which libburn
// counts: a session added to a disc, or a track to a session, lives as long as either holds it.
// Every call needs a live kinvo::burn::Library.
//
// Failures answer nullopt or false; nothing throws. Objects are used by one thread at a time;
// after startWrite the disc, its sessions and tracks belong to libburn's writer until the drive
// is idle again.
#include <sys/types.h>

#include <optional>

// libburn declares its C interface inside namespace burn when included from C++.
namespace burn {
struct burn_source;
struct burn_track;
struct burn_session;
struct burn_disc;
struct burn_write_opts;
}  // namespace burn

namespace kinvo::burn {

class Drive;

inline constexpr int kAudioSectorBytes = 2352;

class Source {
  public:
    // Reads `size` bytes from `fd` from its current offset on; the source takes the descriptor
    // (closed with the source, also on failure).
    static std::optional<Source> fromDescriptor(int fd, off_t size) noexcept;
    Source(Source&& other) noexcept;
    Source& operator=(Source&& other) noexcept;
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;
    ~Source();
    ::burn::burn_source* get() const noexcept { return source_; }

  private:
    explicit Source(::burn::burn_source* source) noexcept : source_(source) {}
    ::burn::burn_source* source_ = nullptr;
};

class Track {
  public:
    // A CD-DA track of 16-bit little-endian stereo samples from `source`, its last sector padded
    // with silence, led by `pregapSectors` of silence (the first track of a disc gets at least
    // libburn's 150).
    static std::optional<Track> audio(const Source& source, int pregapSectors) noexcept;
    Track(Track&& other) noexcept;
    Track& operator=(Track&& other) noexcept;
    Track(const Track&) = delete;
    Track& operator=(const Track&) = delete;
    ~Track();
    ::burn::burn_track* get() const noexcept { return track_; }
    // The sectors of samples (without the pregap).
    int sectors() const noexcept;

  private:
    explicit Track(::burn::burn_track* track) noexcept : track_(track) {}
    ::burn::burn_track* track_ = nullptr;
};

class Disc {
  public:
    // An empty disc with one session.
    static std::optional<Disc> create() noexcept;
    Disc(Disc&& other) noexcept;
    Disc& operator=(Disc&& other) noexcept;
    Disc(const Disc&) = delete;
    Disc& operator=(const Disc&) = delete;
    ~Disc();
    ::burn::burn_disc* get() const noexcept { return disc_; }
    // Appends a track to the session.
    bool add(const Track& track) noexcept;

  private:
    Disc(::burn::burn_disc* disc, ::burn::burn_session* session) noexcept
        : disc_(disc), session_(session) {}
    void release() noexcept;
    ::burn::burn_disc* disc_ = nullptr;
    ::burn::burn_session* session_ = nullptr;
};

struct WriteSettings {
    bool discAtOnce = true;      // session at once; else track at once
    bool simulate = false;       // the laser stays off
    bool underrunProof = false;  // the drive's buffer underrun protection
};

class WriteOptions {
  public:
    static std::optional<WriteOptions> create(const Drive& drive,
                                              const WriteSettings& settings) noexcept;
    WriteOptions(WriteOptions&& other) noexcept;
    WriteOptions& operator=(WriteOptions&& other) noexcept;
    WriteOptions(const WriteOptions&) = delete;
    WriteOptions& operator=(const WriteOptions&) = delete;
    ~WriteOptions();
    ::burn::burn_write_opts* get() const noexcept { return options_; }

  private:
    explicit WriteOptions(::burn::burn_write_opts* options) noexcept : options_(options) {}
    ::burn::burn_write_opts* options_ = nullptr;
};

// Starts writing `disc` on libburn's writer thread; follow it with Drive::progress.
void startWrite(const WriteOptions& options, const Disc& disc) noexcept;

}  // namespace kinvo::burn
