#include "control/vexactl/convert.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "channel/protocol.h"

namespace vexa::ctl {

namespace {

constexpr int32_t kProgressStatus = 224;
constexpr int32_t kFinishedStatus = 225;

void printLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

// The server may run in another folder: names are made absolute here.
std::string absoluteName(const std::string& name) {
    std::error_code error;
    auto path = std::filesystem::absolute(name, error);
    return error ? name : path.string();
}

bool parseNumber(const std::string& word, int32_t& out) {
    char* end = nullptr;
    long value = std::strtol(word.c_str(), &end, 10);
    if (word.empty() || *end != '\0' || value < 0 || value > INT32_MAX) {
        return false;
    }
    out = static_cast<int32_t>(value);
    return true;
}

}  // namespace

std::optional<uint32_t> parseFourcc(std::string_view text) {
    if (text.empty() || text.size() > 4) {
        return std::nullopt;
    }
    uint32_t code = 0;
    for (size_t i = 0; i < 4; ++i) {
        const auto ch = static_cast<uint8_t>(i < text.size() ? text[i] : ' ');
        code |= static_cast<uint32_t>(ch) << (8 * i);
    }
    return code;
}

std::optional<Values> convertArguments(const std::vector<std::string>& words, std::string& error) {
    if (words.size() != 3 && words.size() != 6) {
        error = "convert takes SOURCE DESTINATION TYPE [RATE BITS CHANNELS]";
        return std::nullopt;
    }
    auto type = parseFourcc(words[2]);
    if (!type) {
        error = "TYPE is one to four characters (WAV, PCM, FLAC, MP3, ...)";
        return std::nullopt;
    }
    Values args{Value::s(absoluteName(words[0])), Value::s(absoluteName(words[1])),
                Value::l(static_cast<int32_t>(*type)), Value::l(0)};
    for (size_t i = 3; i < words.size(); ++i) {
        int32_t number = 0;
        if (!parseNumber(words[i], number)) {
            error = "RATE, BITS and CHANNELS are numbers";
            return std::nullopt;
        }
        args.push_back(Value::l(number));
    }
    return args;
}

int runConvert(VexaClient& client, const Values& arguments) {
    bool finished = false;
    bool failed = false;
    client.setEventHandler([&](const ClientEvent& e) {
        if (e.kind != ClientEvent::Kind::kStatus) {
            return;
        }
        if (e.code == kProgressStatus) {
            printLine("progress " + std::to_string(e.value) + "%");
        } else if (e.code == kFinishedStatus) {
            finished = true;
            failed = e.value != 0;
        }
    });
    Reply reply = client.callRaw(CMD_CONVERT_START, arguments, "l");
    if (!reply.delivered) {
        std::fputs("vexactl: the server does not answer\n", stderr);
        return 1;
    }
    if (!reply.ok()) {
        std::optional<Values> text = client.block() ? client.block()->peek("s") : std::nullopt;
        std::fprintf(stderr, "vexactl: %s\n",
                     text ? (*text)[0].text.c_str() : "the conversion could not start");
        return 1;
    }
    const int32_t handle = reply.number(0);
    while (!finished && client.serverRunning()) {
        client.waitFor([&] { return finished; }, std::chrono::seconds(1));
    }
    client.call(CMD_CONVERT_END, {Value::l(handle)});
    if (!finished || failed) {
        std::fputs("vexactl: the conversion failed: the destination could not be written\n",
                   stderr);
        return 1;
    }
    printLine("done");
    return 0;
}

}  // namespace vexa::ctl
