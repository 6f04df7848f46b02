#include "axserver/burn/burn_list_file.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "axserver/burn/texts.h"
#include "axserver/playlist/m3u_reader.h"

namespace vexa {

std::string burnListText(const std::vector<std::string>& files,
                         const std::vector<int32_t>& numbers) {
    std::string text = burn_texts::kListHeader;
    for (size_t i = 0; i < files.size(); ++i) {
        text += burn_texts::kListNumber + std::to_string(i < numbers.size() ? numbers[i] : 0) +
                "\n" + files[i] + "\n";
    }
    return text;
}

std::vector<int32_t> readBurnNumbers(const std::string& path, size_t count) {
    count = std::min(count, kMaxDiscTracks);
    std::vector<int32_t> numbers(count, 0);
    struct Closer {
        void operator()(std::FILE* f) const noexcept { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file(std::fopen(path.c_str(), "r"));
    if (!file) {
        return numbers;
    }
    // fgets with a 1023-byte buffer: a longer line is read in pieces, each tested on its own.
    char line[1023];
    const size_t prefix = std::strlen(burn_texts::kListNumber);
    size_t taken = 0;
    while (taken < count && std::fgets(line, sizeof line, file.get()) != nullptr) {
        if (std::strncmp(line, burn_texts::kListNumber, prefix) == 0) {
            numbers[taken++] = playlist::leadingInt(line + prefix);
        }
    }
    return numbers;
}

}  // namespace vexa
