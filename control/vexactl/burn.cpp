#include "control/vexactl/burn.h"

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "channel/protocol.h"

namespace vexa::ctl {

namespace {

constexpr int32_t kStarted = 226;
constexpr int32_t kConvertingTrack = 227;
constexpr int32_t kBurning = 228;
constexpr int32_t kBurned = 229;
constexpr int32_t kFailed = 230;
constexpr int32_t kConverting = 242;
// The burn process reports its start at once; without it the burn never began.
constexpr auto kStartWait = std::chrono::seconds(30);

void printLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

std::optional<BurnJob> burnArguments(const std::vector<std::string>& words, std::string& error) {
    BurnJob job;
    size_t i = 0;
    for (; i < words.size() && words[i].starts_with("--"); ++i) {
        if (words[i] == "--test") {
            job.testWrite = true;
        } else if (words[i] == "--speed" && i + 1 < words.size()) {
            char* end = nullptr;
            const long speed = std::strtol(words[++i].c_str(), &end, 10);
            if (*end != '\0' || speed < 0 || speed > 1000) {
                error = "--speed takes a number from 0 to 1000";
                return std::nullopt;
            }
            job.speed = static_cast<int32_t>(speed);
        } else if (words[i] == "--pauses" && i + 1 < words.size()) {
            const std::string& list = words[++i];
            for (size_t at = 0; at <= list.size();) {
                const size_t comma = std::min(list.find(',', at), list.size());
                char* end = nullptr;
                const std::string item = list.substr(at, comma - at);
                const long pause = std::strtol(item.c_str(), &end, 10);
                if (item.empty() || *end != '\0' || pause < 0 || pause > 3600) {
                    error = "--pauses takes seconds separated by commas";
                    return std::nullopt;
                }
                job.pauses.push_back(static_cast<int32_t>(pause));
                at = comma + 1;
            }
        } else {
            error = "burn takes [--speed N] [--test] [--pauses S,...] DRIVE FILE...";
            return std::nullopt;
        }
    }
    if (words.size() < i + 2 || words[i].size() != 1 ||
        !std::isalpha(static_cast<unsigned char>(words[i][0]))) {
        error =
            "burn takes [--speed N] [--test] [--pauses S,...] DRIVE FILE... (DRIVE is a letter)";
        return std::nullopt;
    }
    job.drive = words[i][0];
    for (++i; i < words.size(); ++i) {
        std::error_code failed;
        auto path = std::filesystem::absolute(words[i], failed);
        job.files.push_back(failed ? words[i] : path.string());
    }
    return job;
}

std::string burnStatusLine(int32_t code, int64_t value) {
    switch (code) {
        case kStarted:
            return "started";
        case kConvertingTrack:
            return "converting track " + std::to_string(value + 1);
        case kConverting:
            return "converting " + std::to_string(value) + "%";
        case kBurning:
            return "burning " + std::to_string(value) + "%";
        case kBurned:
            return "done";
        case kFailed:
            return "failed";
        default:
            return {};
    }
}

int runBurn(VexaClient& client, const BurnJob& job) {
    bool started = false;
    int32_t ending = 0;
    client.setEventHandler([&](const ClientEvent& e) {
        if (e.kind != ClientEvent::Kind::kStatus || ending != 0) {
            return;
        }
        const std::string line = burnStatusLine(e.code, e.value);
        if (line.empty()) {
            return;
        }
        printLine(line);
        started = started || e.code == kStarted;
        if (e.code == kBurned || e.code == kFailed) {
            ending = e.code;
        }
    });
    Reply created = client.call(CMD_BURN_LIST_CREATE, {Value::l(job.drive)});
    if (!created.ok()) {
        std::fputs("vexactl: the server made no burn request\n", stderr);
        return 1;
    }
    const int32_t request = created.number(0);
    auto finish = [&](int code) {
        client.call(CMD_BURN_LIST_FREE, {Value::l(request)});
        return code;
    };
    for (const std::string& file : job.files) {
        if (!client.call(CMD_BURN_LIST_ADD, {Value::l(request), Value::s(file)}).ok()) {
            std::fprintf(stderr, "vexactl: %s cannot be burned\n", file.c_str());
            return finish(1);
        }
    }
    for (size_t i = 0; i < job.pauses.size(); ++i) {
        client.call(CMD_BURN_LIST_SET_VALUE, {Value::l(request), Value::l(static_cast<int32_t>(i)),
                                              Value::l(job.pauses[i])});
    }
    Reply start = client.call(CMD_BURN_START, {Value::l(request), Value::l(job.testWrite ? 1 : 0),
                                               Value::l(1), Value::l(job.speed), Value::l(1)});
    if (!start.ok()) {
        std::fputs("vexactl: the burn could not start\n", stderr);
        return finish(1);
    }
    const auto deadline = std::chrono::steady_clock::now() + kStartWait;
    while (ending == 0 && client.serverRunning() &&
           (started || std::chrono::steady_clock::now() < deadline)) {
        client.waitFor([&] { return ending != 0; }, std::chrono::seconds(1));
    }
    if (ending != kBurned) {
        if (ending == 0) {
            printLine("failed");
        }
        return finish(1);
    }
    return finish(0);
}

}  // namespace vexa::ctl
