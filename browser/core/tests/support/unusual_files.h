#pragma once
// What tests of the browser's file reads put where a settings or favorites file belongs: things
// that are not a small regular file.

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace kinvo::testing {

enum class Special {
    LinkToDevZero,  // a symbolic link to /dev/zero
    Fifo,           // a named pipe nobody writes to
    PastBound,      // a sparse regular file of bound + 1 bytes that starts with start
};

// Makes kind at path; fails the test when it can't.
void makeSpecial(Special kind, const QString& path, std::int64_t bound,
                 std::string_view start = {});

// What stands at path, the name itself (a link is not followed): its type, size and link target,
// so that a test can tell that nothing changed it.
std::string describe(const QString& path);

}  // namespace kinvo::testing
