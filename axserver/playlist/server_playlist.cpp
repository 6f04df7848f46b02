#include "axserver/playlist/server_playlist.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "axserver/inputs/lookup_key.h"
#include "axserver/playlist/entry_names.h"
#include "axserver/playlist/m3u_reader.h"
#include "axserver/playlist/pls_reader.h"
#include "axserver/playlist/pseudo_address.h"
#include "channel/protocol.h"
#include "platform/paths.h"

namespace vexa::playlist {

namespace {

constexpr int32_t kDone = 0;
constexpr int32_t kFailed = 1;
constexpr size_t kMaxLookedUpTitle = 2047;

struct FileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};

// The process's current folder becomes the playlist's, so its relative entries resolve there.
std::string enterFolderOf(std::string_view name) {
    std::string full = win::fullPath(name);
    const std::string folder = win::folderOf(full);
    if (::chdir(folder.empty() ? "/" : folder.c_str()) != 0) {
        // The entries then resolve against the folder that was current.
    }
    return full;
}

}  // namespace

ServerPlaylist::ServerPlaylist(ClientLink& client, PlaylistServices services)
    : client_(client), services_(std::move(services)) {}

bool ServerPlaylist::acceptable(std::string_view name) {
    return name.find("://") != std::string_view::npos || win::fileExists(makeAbsolute(name));
}

void ServerPlaylist::append(std::string_view name) {
    name = stripped(name);
    const std::string extension = extensionOf(name);
    if (equalIgnoringCase(extension, "m3u")) {
        loadM3u(name);
    } else if (equalIgnoringCase(extension, "pls")) {
        loadPls(name);
    } else {
        addFile(name);
    }
}

bool ServerPlaylist::store(std::string_view name, std::string_view title, int32_t seconds) {
    const std::string file = makeAbsolute(name);
    if (!entries_.add(file, title, seconds)) {
        return false;
    }
    if (services_.watchFolder && !file.empty() && !isNetworkName(file)) {
        std::string folder = win::folderOf(file);
        if (!folder.empty() && watched_.insert(folder).second) {
            services_.watchFolder(folder);
        }
    }
    return true;
}

bool ServerPlaylist::addFile(std::string_view name) {
    auto [title, seconds] = lookupTitle(name);
    return store(name, cleanTitle(title), seconds);
}

bool ServerPlaylist::addFileWithTitle(std::string_view name, std::string_view title,
                                      int32_t seconds) {
    return store(name, title, seconds);
}

std::pair<std::string, int32_t> ServerPlaylist::lookupTitle(std::string_view name) {
    const ResolvedName resolved = resolve(name);
    std::string title;
    int32_t ms = -1;
    const bool answered = services_.fileInfo && services_.fileInfo(resolved.target, title, ms);
    if (!answered) {
        return {
            resolved.target.empty() ? std::string() : resolved.target.substr(0, kMaxLookedUpTitle),
            -1};
    }
    if (title.size() > kMaxLookedUpTitle) {
        title.resize(kMaxLookedUpTitle);
    }
    return {std::move(title), ms == -1 ? -1 : ms / 1000};
}

void ServerPlaylist::refreshTitle() {
    if (!entries_.hasCurrent()) {
        return;
    }
    auto [title, seconds] = lookupTitle("");
    Entry& entry = *entries_.entry(entries_.current());
    entry.title = cleanTitle(title).substr(0, kMaxTitle);
    if (seconds != -1) {
        entry.length = seconds;
    }
}

ResolvedName ServerPlaylist::resolve(std::string_view name) {
    ResolvedName resolved{std::string(name), false};
    const SelectResult select = parseSelect(name, selectLimit_);
    if (select.error != 0) {
        client_.postStatus(kStatusBadPseudoAddress, select.error);
    } else if (select.isSelect) {
        selectedValue_ = select.selectedValue;
        resolved = {select.target, true};
    }
    const RangeResult range = parseRange(resolved.target);
    if (range.error != 0) {
        client_.postStatus(kStatusBadPseudoAddress, range.error);
        range_ = {-1, -1};
    } else if (range.isRange) {
        range_ = {range.start, range.end};
        resolved = {range.target, true};
    } else {
        range_ = {-1, -1};
    }
    return resolved;
}

bool ServerPlaylist::hasEntryWithFile(std::string_view path) const noexcept {
    for (int32_t i = 0; i < entries_.count(); ++i) {
        if (entries_.entry(i)->file == path) {
            return true;
        }
    }
    return false;
}

int32_t ServerPlaylist::loadRemote(std::string_view address,
                                   int32_t (ServerPlaylist::*load)(std::string_view)) {
    const std::string& temp = services_.downloadTempFile;
    int32_t answer = kFailed;
    if (services_.download && !temp.empty() &&
        services_.download(std::string(address), temp) == kDone) {
        answer = (this->*load)(temp);
    }
    if (!temp.empty()) {
        std::remove(temp.c_str());
    }
    return answer;
}

int32_t ServerPlaylist::loadM3u(std::string_view name) {
    if (name.find("://") != std::string_view::npos) {
        return loadRemote(name, &ServerPlaylist::loadM3u);
    }
    const std::string full = enterFolderOf(name);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(full.c_str(), "r"));
    if (!file) {
        return kFailed;
    }
    struct stat info {};
    if (::fstat(::fileno(file.get()), &info) != 0 || info.st_size == 0) {
        file.reset();
        client_.sendEvent(kEventPlaylistEmpty);
        return kFailed;
    }
    M3uParser parser;
    std::string line;
    int32_t added = 0;
    for (;;) {
        const LineRead read = readLine(file.get(), line);
        if (read == LineRead::kEnd) {
            break;
        }
        if (read == LineRead::kTooLong) {
            parser.skippedLine();
            continue;
        }
        std::optional<M3uEntry> entry = parser.line(line);
        if (!entry) {
            continue;
        }
        const bool take =
            entry->asf ? win::fileExists(makeAbsolute(entry->name)) : acceptable(entry->name);
        if (!take) {
            continue;
        }
        const bool stored = entry->title.empty()
                                ? addFile(entry->name)
                                : addFileWithTitle(entry->name, entry->title, entry->seconds);
        if (stored && !entry->asf) {
            ++added;
        }
    }
    file.reset();
    if (added == 0) {
        client_.sendEvent(kEventNothingToPlay);
        return kFailed;
    }
    return kDone;
}

int32_t ServerPlaylist::loadPls(std::string_view name) {
    if (name.find("://") != std::string_view::npos) {
        return loadRemote(name, &ServerPlaylist::loadPls);
    }
    const std::string full = enterFolderOf(name);
    const std::optional<win::ProfileFile> file = win::ProfileFile::load(full);
    const PlsContents contents = file ? readPls(*file) : PlsContents{};
    if (contents.declared <= 0) {
        client_.sendEvent(kEventPlaylistEmpty);
        return kFailed;
    }
    int32_t added = 0;
    for (const PlsEntry& entry : contents.entries) {
        if (!acceptable(entry.file)) {
            continue;
        }
        const bool stored = entry.title.empty()
                                ? addFile(entry.file)
                                : addFileWithTitle(entry.file, entry.title, entry.seconds);
        if (stored) {
            ++added;
        }
    }
    if (added == 0) {
        client_.sendEvent(kEventNothingToPlay);
        return kFailed;
    }
    return kDone;
}

}  // namespace vexa::playlist
