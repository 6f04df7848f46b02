#pragma once
// The data-server benchmarks' catalogue: N stations in 50 categories, with words drawn from a
// fixed list (so searches for them hit), made the same way on every run; and a process's memory
// figures from /proc.

#include <sys/types.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace kinvo::bench {

inline constexpr const char* kCatalogueWords[] = {"rock",  "jazz",  "news",  "live",   "clips",
                                                  "drama", "sport", "night", "travel", "comedy",
                                                  "soul",  "talk",  "kids",  "nature", "retro"};
inline constexpr int kCatalogueCategories = 50;

inline std::string catalogueCategory(int c) {
    return "Category " + std::to_string(c);
}

// Station i's address.
inline std::string stationAddress(int i) {
    return "http://s.example/c" + std::to_string(i % kCatalogueCategories) + "/s" +
           std::to_string(i) + ".mp4";
}

// The catalogue as a CSV file for `kinvo-dataserver import`.
inline void writeCatalogue(const std::filesystem::path& file, int stations) {
    static constexpr int kBandwidths[] = {24, 32, 48, 56, 80, 100, 150, 300, 500};
    std::ofstream out(file);
    std::mt19937 rng(7);
    out << "category,name,address,info,extra,bandwidth,time,rating,notes,tags\n";
    for (int i = 0; i < stations; ++i) {
        const char* w1 = kCatalogueWords[rng() % std::size(kCatalogueWords)];
        const char* w2 = kCatalogueWords[rng() % std::size(kCatalogueWords)];
        const int bandwidth = kBandwidths[rng() % std::size(kBandwidths)];
        out << catalogueCategory(i % kCatalogueCategories) << ",Station " << i << ' ' << w1 << ','
            << stationAddress(i) << ',' << w2 << ",Extra text," << bandwidth << ",Live,"
            << rng() % 6 << ",Notes about " << w1 << " and " << w2 << ',' << w1 << ' ' << w2
            << '\n';
    }
}

// A "VmRSS:" or "VmHWM:" line of /proc/PID/status in KB; -1 when it cannot be read.
inline long procStatusKb(pid_t pid, const char* field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(field, 0) == 0) {
            return std::atol(line.c_str() + std::string(field).size());
        }
    }
    return -1;
}

}  // namespace kinvo::bench
