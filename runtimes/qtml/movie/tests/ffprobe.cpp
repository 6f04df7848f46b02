#include "runtimes/qtml/movie/tests/ffprobe.h"

#include <cstdio>

namespace kinvo::qtml::testing {

std::map<std::string, std::string> probe(const std::string& file) {
    const std::string command =
        "ffprobe -v error -select_streams v:0 -show_entries "
        "stream=width,height,sample_aspect_ratio:format=duration:format_tags=title "
        "-of default=nw=1 '" +
        file + "'";
    std::map<std::string, std::string> answer;
    FILE* pipe = popen(command.c_str(), "r");
    char line[512];
    while (pipe != nullptr && fgets(line, sizeof line, pipe) != nullptr) {
        std::string text(line);
        text.erase(text.find_last_not_of("\r\n") + 1);
        const size_t equals = text.find('=');
        if (equals != std::string::npos) {
            answer[text.substr(0, equals)] = text.substr(equals + 1);
        }
    }
    if (pipe != nullptr) {
        pclose(pipe);
    }
    return answer;
}

}  // namespace kinvo::qtml::testing
