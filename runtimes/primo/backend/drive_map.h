#pragma once
// Which drive a letter names. The registry stand-in may name it: under the current user's key
// "Software\Kinvo\Burning Drives", the text value named by the upper-case letter ("E") is either
// "image:<folder>" (the image drive: the disc is written into that folder as a CUE sheet and a
// BIN file) or the address of an optical drive ("/dev/sr1"). A letter without a value names, in
// order from "D", the optical drives libburn finds ("D" the first, "E" the second, ...). An empty
// value, a letter outside A to Z, or one beyond the drives found names none.
//
// Pure apart from the two lookups it is given; any thread; never throws.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace primo {

inline constexpr char kDrivesKey[] = "Software\\Kinvo\\Burning Drives";
inline constexpr char kImagePrefix[] = "image:";
inline constexpr char kFirstOpticalLetter = 'D';

struct DriveTarget {
    enum class Kind { kNone, kImage, kDevice } kind = Kind::kNone;
    std::string path;  // the image folder or the drive's address
};

struct DriveLookups {
    // The registry value for the upper-case letter; nullopt when there is none.
    std::function<std::optional<std::string>(char letter)> configured;
    // The optical drives' addresses in libburn's order (asked only when needed).
    std::function<std::vector<std::string>()> scan;
};

DriveTarget resolveDrive(uint32_t letter, const DriveLookups& lookups);

// The lookups of a process: the registry through the host's sonariRegQueryValue (none when the
// host offers none) and libburn's scan.
DriveLookups processDriveLookups();

}  // namespace primo
