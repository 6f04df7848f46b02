// vexactl: a scriptable client of vexahost. Starts a server, runs the commands given with -e
// (or, without -e, the lines of standard input) and prints one line per answer and per event.
// The server ends when vexactl does.
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "channel/protocol.h"
#include "control/client/vexa_client.h"
#include "control/client/vexa_commands.h"
#include "control/vexactl/burn.h"
#include "control/vexactl/convert.h"
#include "control/vexactl/script.h"
#include "platform/messages.h"

namespace {

using namespace std::chrono_literals;

void printLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void usage() {
    std::fputs(
        "usage: vexactl [--server PATH] [--no-video] [-e COMMAND]...\n"
        "       vexactl [--server PATH] convert SOURCE DESTINATION TYPE [RATE BITS CHANNELS]\n"
        "       vexactl [--server PATH] burn [--speed N] [--test] [--pauses S,...] DRIVE FILE...\n"
        "commands: append FILE, load-m3u FILE, load-pls FILE, list, count, entry N, info N,\n"
        "          delete N, swap A B, sort, randomize, clear, current, set-current N,\n"
        "          current-entry, play, stop, pause, seek S, volume N, next, prev, state,\n"
        "          video-parent WINDOW, video-size, auto-size 0|1, full-screen,\n"
        "          leave-full-screen, allow-overlay 0|1, subtitles 0|1, show-logo 0|1,\n"
        "          wait-event CODE [TIMEOUT], raw NUMBER TYPES ARGS..., quit\n"
        "The first play gives the server a video window of its own (as video-parent 0) when\n"
        "there is a display and no video-parent came before, unless --no-video.\n",
        stderr);
}

std::string defaultServerPath(const char* argv0) {
    char self[4096];
    ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = n > 0 ? std::string(self, static_cast<size_t>(n)) : std::string(argv0);
    size_t cut = path.find_last_of('/');
    return (cut == std::string::npos ? std::string(".") : path.substr(0, cut)) + "/vexahost";
}

class Session {
  public:
    // With `giveVideoWindow`, the first play is preceded by a video window of the server's own
    // unless the script named one.
    Session(vexa::VexaClient& client, bool giveVideoWindow)
        : client_(client), videoWindowNamed_(!giveVideoWindow) {
        client_.setEventHandler([this](const vexa::ClientEvent& e) {
            switch (e.kind) {
                case vexa::ClientEvent::Kind::kEvent:
                    events_.push_back(e.code);
                    printLine(vexa::ctl::formatEvent(e.code, e.value));
                    break;
                case vexa::ClientEvent::Kind::kStatus:
                    printLine(vexa::ctl::formatStatus(e.code, e.value));
                    break;
                case vexa::ClientEvent::Kind::kMetadata:
                    printLine(vexa::ctl::formatMetadata(e.text, static_cast<int32_t>(e.value)));
                    break;
            }
        });
    }

    // Runs one line; false when the session should end.
    bool runLine(const std::string& line) {
        std::string error;
        auto command = vexa::ctl::parseLine(line, error);
        if (!command) {
            std::fprintf(stderr, "vexactl: %s\n", error.c_str());
            failed_ = true;
            return true;
        }
        using Kind = vexa::ctl::ScriptCommand::Kind;
        switch (command->kind) {
            case Kind::kEmpty:
                return true;
            case Kind::kQuit:
                return false;
            case Kind::kCommand: {
                if (command->number == vexa::CMD_SET_VIDEO_PARENT) {
                    videoWindowNamed_ = true;
                } else if (command->number == vexa::CMD_PLAY && !videoWindowNamed_) {
                    // Not printed: the script's lines answer its own commands only.
                    client_.call(vexa::CMD_SET_VIDEO_PARENT, {vexa::Value::l(0)});
                    videoWindowNamed_ = true;
                }
                vexa::Reply reply =
                    command->rawTypes
                        ? client_.callRaw(command->number, command->args, command->resultTypes,
                                          !command->args.empty())
                        : client_.call(command->number, command->args);
                return print(reply);
            }
            case Kind::kList: {
                vexa::Reply count = vexa::commands::getCount(client_);
                if (!print(count)) {
                    return false;
                }
                for (int32_t i = 0; count.ok() && i < count.number(0); ++i) {
                    if (!print(vexa::commands::getEntry(client_, i))) {
                        return false;
                    }
                }
                return true;
            }
            case Kind::kWaitEvent: {
                int32_t code = command->eventCode;
                auto timeout =
                    std::chrono::milliseconds(static_cast<int64_t>(command->timeoutSeconds * 1000));
                bool seen = client_.waitFor([&] { return takeEvent(code); }, timeout);
                printLine(seen ? "0" : "1");
                return true;
            }
        }
        return true;
    }

    // Pumps the client's queue while standing by for standard input.
    void pumpUntilInput(int fd) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {win::queueDescriptor(), POLLIN, 0}};
        while (true) {
            client_.pump(0ms);
            if (client_.serverProcess() && !client_.serverRunning()) {
                return;
            }
            int r = ::poll(fds, 2, 200);
            if (r > 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
                return;
            }
        }
    }

    bool failed() const { return failed_; }

  private:
    bool print(const vexa::Reply& reply) {
        if (!reply.delivered) {
            std::fputs("vexactl: the server does not answer\n", stderr);
            failed_ = true;
            return false;
        }
        printLine(vexa::ctl::formatReply(reply.status, reply.results));
        return true;
    }

    // An event that arrived since the last wait, consumed with everything before it.
    bool takeEvent(int32_t code) {
        for (size_t i = 0; i < events_.size(); ++i) {
            if (events_[i] == code) {
                events_.erase(events_.begin(), events_.begin() + static_cast<long>(i) + 1);
                return true;
            }
        }
        return false;
    }

    vexa::VexaClient& client_;
    std::deque<int32_t> events_;
    bool failed_ = false;
    bool videoWindowNamed_;
};

}  // namespace

int main(int argc, char** argv) {
    std::string serverPath = defaultServerPath(argv[0]);
    std::vector<std::string> scripted;
    std::optional<vexa::Values> conversion;
    std::optional<vexa::ctl::BurnJob> burn;
    bool giveVideoWindow = std::getenv("DISPLAY") != nullptr;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--server" && i + 1 < argc) {
            serverPath = argv[++i];
        } else if (arg == "--no-video") {
            giveVideoWindow = false;
        } else if (arg == "-e" && i + 1 < argc) {
            scripted.push_back(argv[++i]);
        } else if (arg == "convert" && scripted.empty()) {
            std::string error;
            conversion = vexa::ctl::convertArguments({argv + i + 1, argv + argc}, error);
            if (!conversion) {
                std::fprintf(stderr, "vexactl: %s\n", error.c_str());
                return 2;
            }
            break;
        } else if (arg == "burn" && scripted.empty()) {
            std::string error;
            burn = vexa::ctl::burnArguments({argv + i + 1, argv + argc}, error);
            if (!burn) {
                std::fprintf(stderr, "vexactl: %s\n", error.c_str());
                return 2;
            }
            break;
        } else {
            usage();
            return 2;
        }
    }

    int exitCode = 0;
    {
        vexa::VexaClient client;
        if (!client.start(serverPath)) {
            std::fprintf(stderr, "vexactl: %s\n", client.lastError().c_str());
            return 1;
        }
        Session session(client, giveVideoWindow);
        if (conversion) {
            exitCode = vexa::ctl::runConvert(client, *conversion);
        } else if (burn) {
            exitCode = vexa::ctl::runBurn(client, *burn);
        } else if (!scripted.empty()) {
            for (const std::string& line : scripted) {
                if (!session.runLine(line)) {
                    break;
                }
            }
        } else {
            std::string pending;
            bool running = true;
            while (running) {
                session.pumpUntilInput(STDIN_FILENO);
                char buffer[4096];
                ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
                if (n < 0 && errno == EINTR) {
                    continue;
                }
                if (n <= 0) {
                    if (!pending.empty()) {
                        session.runLine(pending);
                    }
                    break;
                }
                pending.append(buffer, static_cast<size_t>(n));
                size_t nl;
                while (running && (nl = pending.find('\n')) != std::string::npos) {
                    std::string line = pending.substr(0, nl);
                    pending.erase(0, nl + 1);
                    running = session.runLine(line);
                }
            }
        }
        if (!conversion && !burn) {
            exitCode = session.failed() ? 1 : 0;
        }
        // Closing the client window lets the server go; wait for it so a script that runs
        // vexactl again finds it gone.
        client.closeWindow();
        if (win::ChildProcess* process = client.serverProcess()) {
            process->wait(10s);
        }
    }
    return exitCode;
}
