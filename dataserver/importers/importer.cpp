#include "dataserver/importers/importer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <sstream>

#include "dataserver/importers/lower_case.h"
#include "dataserver/importers/playlist_readers.h"
#include "dataserver/listformat/field_rules.h"
#include "dataserver/store/catalogue_writer.h"

namespace kinvo::ds {

namespace {

bool nameSaysAdult(std::string_view name) {
    return lower(name).find("adult") != std::string::npos;
}

// Every reason why the browser would not get this station back as stored.
std::vector<std::string> rowProblems(StationInput& s) {
    std::vector<std::string> problems;
    auto check = [&](Field field, const char* label, const std::string& text) {
        if (auto why = fieldProblem(field, text)) {
            problems.push_back(std::string(label) + " " + *why);
        }
    };
    check(Field::Category, "category", s.category);
    check(Field::Address, "address", s.address);
    check(Field::Info, "info", s.info);
    check(Field::Extra, "extra", s.extra);
    check(Field::Name, "name", s.name);
    check(Field::TimeText, "time", s.timeText);
    check(Field::Rating, "rating", s.rating);
    check(Field::Notes, "notes", s.notes);
    check(Field::Tags, "tags", s.tags);
    check(Field::Logo, "logo", s.logo);
    // The browser's adult lock hides stations by the word in their name, and by nothing else.
    if (nameSaysAdult(s.name)) {
        s.adult = true;
    } else if (s.adult) {
        problems.push_back(
            "adult station whose name lacks the word \"adult\", so the adult lock would show it");
    }
    return problems;
}

// Closes the descriptor it was given.
class OpenFile {
  public:
    explicit OpenFile(int fd) noexcept : fd_(fd) {}
    ~OpenFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int get() const noexcept { return fd_; }

  private:
    int fd_;
};

// Opened without blocking and checked on the open descriptor, so that a FIFO or a device is
// refused at once instead of waiting for a writer, and a folder is named for what it is.
std::optional<std::string> readWhole(const std::string& path, std::string& out) {
    OpenFile fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        return std::string("cannot be opened");
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        return std::string("cannot be read");
    }
    if (!S_ISREG(st.st_mode)) {
        return std::string(S_ISDIR(st.st_mode) ? "is a folder, not a regular file"
                                               : "is not a regular file");
    }
    if (static_cast<std::size_t>(st.st_size) > kMaxImportFileBytes) {
        return "is larger than " + std::to_string(kMaxImportFileBytes >> 20) + " MB";
    }
    out.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < out.size()) {
        ssize_t n = ::read(fd.get(), out.data() + got, out.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;  // shrank while read: keep what was there
        }
        got += static_cast<std::size_t>(n);
    }
    out.resize(got);
    return std::nullopt;
}

}  // namespace

std::optional<std::string> resolveAddress(const std::string& address,
                                          const std::optional<std::string>& base) {
    std::size_t scheme = address.find(":///");
    bool noHost =
        scheme != std::string::npos && scheme > 0 && address.find_first_of("/?#") == scheme + 1;
    if (!address.starts_with('/') && !noHost) {
        return address;
    }
    if (!base) {
        return std::nullopt;
    }
    std::string root = *base;
    while (!root.empty() && root.back() == '/') {
        root.pop_back();
    }
    if (address.starts_with('/')) {
        return root + address;
    }
    std::size_t hostStart = root.find("://");
    if (hostStart == std::string::npos) {
        return std::nullopt;
    }
    std::string host = root.substr(hostStart + 3, root.find('/', hostStart + 3) - hostStart - 3);
    return address.substr(0, scheme) + "://" + host + address.substr(scheme + 3);
}

std::optional<PlaylistFormat> detectFormat(const std::string& fileName, std::string_view content) {
    std::string name = lower(fileName);
    auto ends = [&](std::string_view s) { return name.ends_with(s); };
    if (ends(".m3u") || ends(".m3u8")) {
        return PlaylistFormat::M3u;
    }
    if (ends(".pls")) {
        return PlaylistFormat::Pls;
    }
    if (ends(".csv")) {
        return PlaylistFormat::Csv;
    }
    std::string head = lower(content.substr(0, 64));
    if (head.starts_with("\xef\xbb\xbf")) {
        head.erase(0, 3);
    }
    if (head.starts_with("#extm3u")) {
        return PlaylistFormat::M3u;
    }
    if (head.starts_with("[playlist]")) {
        return PlaylistFormat::Pls;
    }
    return std::nullopt;
}

ReadResult checkPlaylist(PlaylistFormat format, std::string_view content,
                         const ImportOptions& options) {
    ReadResult read;
    switch (format) {
        case PlaylistFormat::M3u:
            read = readM3u(content);
            break;
        case PlaylistFormat::Pls:
            read = readPls(content);
            break;
        case PlaylistFormat::Csv:
            read = readCsv(content);
            break;
    }
    ReadResult checked;
    checked.errors = std::move(read.errors);
    std::map<std::string, std::size_t> lineOfAddress;
    for (ImportRow& row : read.rows) {
        StationInput& s = row.station;
        if (options.category) {
            s.category = *options.category;
        } else if (!row.hasCategory) {
            checked.errors.push_back({row.line, "no category (give one with --category)"});
            continue;
        }
        if (auto resolved = resolveAddress(s.address, options.base)) {
            s.address = std::move(*resolved);
        } else {
            checked.errors.push_back(
                {row.line, "address " + s.address + " has no host (give --base)"});
            continue;
        }
        std::vector<std::string> problems = rowProblems(s);
        auto [it, fresh] = lineOfAddress.emplace(s.address, row.line);
        if (!fresh) {
            problems.push_back("address already listed on line " + std::to_string(it->second));
        }
        if (!problems.empty()) {
            std::string reason = problems.front();
            for (std::size_t i = 1; i < problems.size(); ++i) {
                reason += "; " + problems[i];
            }
            checked.errors.push_back({row.line, reason});
            continue;
        }
        checked.rows.push_back(std::move(row));
    }
    return checked;
}

ImportResult importFiles(Database& db, const std::vector<std::string>& files,
                         const ImportOptions& options) {
    ImportResult result;
    std::vector<ImportRow> rows;
    std::map<std::string, std::string> fileOfAddress;
    for (const std::string& file : files) {
        std::string content;
        if (auto why = readWhole(file, content)) {
            result.errors.push_back({file, 0, *why});
            continue;
        }
        auto format = detectFormat(file, content);
        if (!format) {
            result.errors.push_back(
                {file, 0, "is not M3U, PLS or CSV (name it .m3u, .pls or .csv)"});
            continue;
        }
        ReadResult checked = checkPlaylist(*format, content, options);
        for (const RowError& e : checked.errors) {
            result.errors.push_back({file, e.line, e.reason});
        }
        for (ImportRow& row : checked.rows) {
            auto [it, fresh] = fileOfAddress.emplace(row.station.address, file);
            if (!fresh) {
                result.errors.push_back({file, row.line, "address also listed in " + it->second});
                continue;
            }
            rows.push_back(std::move(row));
        }
    }
    if (!result.errors.empty()) {
        return result;
    }
    Transaction tx(db);
    CatalogueWriter writer(db);
    for (const ImportRow& row : rows) {
        writer.put(row.station);
        if (row.station.bandwidth == 0) {
            ++result.withoutBandwidth;
        }
    }
    tx.commit();
    result.stations = rows.size();
    return result;
}

}  // namespace kinvo::ds
