#include "lib/burn/disc.h"

#include <libburn/libburn.h>
#include <unistd.h>

#include <utility>

#include "lib/burn/drive.h"

using namespace ::burn;  // libburn's C interface

namespace kinvo::burn {

std::optional<Source> Source::fromDescriptor(int fd, off_t size) noexcept {
    burn_source* source = burn_fd_source_new(fd, -1, size);
    if (source == nullptr) {
        ::close(fd);
        return std::nullopt;
    }
    return Source(source);
}

Source::Source(Source&& other) noexcept : source_(std::exchange(other.source_, nullptr)) {}

Source& Source::operator=(Source&& other) noexcept {
    if (this != &other) {
        if (source_ != nullptr) {
            burn_source_free(source_);
        }
        source_ = std::exchange(other.source_, nullptr);
    }
    return *this;
}

Source::~Source() {
    if (source_ != nullptr) {
        burn_source_free(source_);
    }
}

std::optional<Track> Track::audio(const Source& source, int pregapSectors) noexcept {
    burn_track* track = burn_track_create();
    if (track == nullptr) {
        return std::nullopt;
    }
    Track owner(track);
    burn_track_define_data(track, 0, 0, 1, BURN_AUDIO);
    if (burn_track_set_source(track, source.get()) != BURN_SOURCE_OK) {
        return std::nullopt;
    }
    if (pregapSectors > 0 && burn_track_set_pregap_size(track, pregapSectors, 0) <= 0) {
        return std::nullopt;
    }
    return owner;
}

Track::Track(Track&& other) noexcept : track_(std::exchange(other.track_, nullptr)) {}

Track& Track::operator=(Track&& other) noexcept {
    if (this != &other) {
        if (track_ != nullptr) {
            burn_track_free(track_);
        }
        track_ = std::exchange(other.track_, nullptr);
    }
    return *this;
}

Track::~Track() {
    if (track_ != nullptr) {
        burn_track_free(track_);
    }
}

int Track::sectors() const noexcept {
    return burn_track_get_sectors(track_);
}

std::optional<Disc> Disc::create() noexcept {
    burn_disc* disc = burn_disc_create();
    if (disc == nullptr) {
        return std::nullopt;
    }
    burn_session* session = burn_session_create();
    if (session == nullptr) {
        burn_disc_free(disc);
        return std::nullopt;
    }
    Disc owner(disc, session);
    if (burn_disc_add_session(disc, session, BURN_POS_END) != 1) {
        return std::nullopt;
    }
    return owner;
}

Disc::Disc(Disc&& other) noexcept
    : disc_(std::exchange(other.disc_, nullptr)),
      session_(std::exchange(other.session_, nullptr)) {}

Disc& Disc::operator=(Disc&& other) noexcept {
    if (this != &other) {
        release();
        disc_ = std::exchange(other.disc_, nullptr);
        session_ = std::exchange(other.session_, nullptr);
    }
    return *this;
}

Disc::~Disc() {
    release();
}

void Disc::release() noexcept {
    if (session_ != nullptr) {
        burn_session_free(session_);
        session_ = nullptr;
    }
    if (disc_ != nullptr) {
        burn_disc_free(disc_);
        disc_ = nullptr;
    }
}

bool Disc::add(const Track& track) noexcept {
    return burn_session_add_track(session_, track.get(), BURN_POS_END) == 1;
}

std::optional<WriteOptions> WriteOptions::create(const Drive& drive,
                                                 const WriteSettings& settings) noexcept {
    burn_write_opts* options = burn_write_opts_new(drive.get());
    if (options == nullptr) {
        return std::nullopt;
    }
    WriteOptions owner(options);
    const bool typeSet =
        settings.discAtOnce
            ? burn_write_opts_set_write_type(options, BURN_WRITE_SAO, BURN_BLOCK_SAO) == 1
            : burn_write_opts_set_write_type(options, BURN_WRITE_TAO, BURN_BLOCK_RAW0) == 1;
    if (!typeSet) {
        return std::nullopt;
    }
    burn_write_opts_set_simulate(options, settings.simulate ? 1 : 0);
    burn_write_opts_set_underrun_proof(options, settings.underrunProof ? 1 : 0);
    return owner;
}

WriteOptions::WriteOptions(WriteOptions&& other) noexcept
    : options_(std::exchange(other.options_, nullptr)) {}

WriteOptions& WriteOptions::operator=(WriteOptions&& other) noexcept {
    if (this != &other) {
        if (options_ != nullptr) {
            burn_write_opts_free(options_);
        }
        options_ = std::exchange(other.options_, nullptr);
    }
    return *this;
}

WriteOptions::~WriteOptions() {
    if (options_ != nullptr) {
        burn_write_opts_free(options_);
    }
}

void startWrite(const WriteOptions& options, const Disc& disc) noexcept {
    burn_disc_write(options.get(), disc.get());
}

}  // namespace kinvo::burn
