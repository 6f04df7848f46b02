#include "browser/core/tests/support/unusual_files.h"

#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <array>

namespace kinvo::testing {

void makeSpecial(Special kind, const QString& path, std::int64_t bound, std::string_view start) {
    const QByteArray name = QFile::encodeName(path);
    switch (kind) {
        case Special::LinkToDevZero:
            ASSERT_EQ(::symlink("/dev/zero", name.constData()), 0);
            return;
        case Special::Fifo:
            ASSERT_EQ(::mkfifo(name.constData(), 0600), 0);
            return;
        case Special::PastBound: {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(start.data(), static_cast<qint64>(start.size()));
            ASSERT_TRUE(file.resize(bound + 1));
            return;
        }
    }
}

std::string describe(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::lstat(name.constData(), &status) != 0) {
        return "missing";
    }
    if (S_ISLNK(status.st_mode)) {
        std::array<char, 256> target{};
        const ssize_t length = ::readlink(name.constData(), target.data(), target.size());
        return "link to " + std::string(target.data(), length > 0 ? std::size_t(length) : 0);
    }
    if (S_ISFIFO(status.st_mode)) {
        return "fifo";
    }
    return (S_ISREG(status.st_mode) ? "file of " : "other of ") + std::to_string(status.st_size);
}

}  // namespace kinvo::testing
