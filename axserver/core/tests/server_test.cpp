// The server core inside the test process: its window procedure's dispatch, status recording,
// start-up and shutdown order, with fake modules that record what reaches them.
#include "axserver/core/server.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "channel/protocol.h"
#include "platform/messages.h"

namespace vexa {
namespace {

using Log = std::vector<std::string>;

// Which module answers which command: the fakes below list these rows.
struct ModuleCommands {
    const char* name;
    win::LRESULT answer;
    std::vector<int32_t> numbers;
};
const ModuleCommands kPlaylistCommands{
    "playlist",
    13,
    {CMD_GET_RANGE, CMD_APPEND, CMD_CLEAR, CMD_SET_CURRENT, CMD_GET_CURRENT, CMD_GET_CURRENT_ENTRY,
     CMD_GET_COUNT, CMD_GET_ENTRY, CMD_DELETE_ENTRY, CMD_SWAP_ENTRIES, CMD_SORT_BY_TITLE,
     CMD_RANDOMIZE, CMD_LOAD_PLS, CMD_LOAD_M3U, CMD_SET_SELECT_LIMIT, CMD_GET_SELECT_LIMIT,
     CMD_GET_SELECTED_VALUE, CMD_REFRESH_TITLE}};
const ModuleCommands kPlaybackCommands{
    "playback",
    12,
    {CMD_PLAY, CMD_STOP, CMD_PAUSE_TOGGLE, CMD_GET_POSITION, CMD_SEEK, CMD_GET_VOLUME,
     CMD_SET_VOLUME, CMD_NEXT, CMD_PREVIOUS, CMD_SET_SHUFFLE, CMD_GET_SHUFFLE, CMD_SET_REPEAT,
     CMD_GET_REPEAT, CMD_GET_STATE, CMD_GET_LENGTH, CMD_IS_NETWORK_ENTRY, CMD_GET_BUFFER_STATUS}};
const ModuleCommands kInputCommands{
    "input",
    11,
    {CMD_GET_FILE_TYPES, CMD_GET_ENTRY_DETAILS, CMD_GET_STREAM_INFO, CMD_GET_FILE_DETAILS,
     CMD_GET_FILE_INFO, CMD_GET_FILE_LENGTH_MS, CMD_SET_FILE_INFO, CMD_WRITE_FILE_INFO,
     CMD_SET_CUSTOM_DRM}};
const ModuleCommands kVideoCommands{
    "video",
    14,
    {CMD_GET_VIDEO_OUTPUT, CMD_SET_VIDEO_PARENT, CMD_SET_AUTO_SIZE, CMD_GET_VIDEO_SIZE,
     CMD_ENTER_FULL_SCREEN, CMD_LEAVE_FULL_SCREEN, CMD_SET_ALLOW_OVERLAY, CMD_SET_SUBTITLES,
     CMD_SET_SHOW_LOGO, CMD_ATTACH_VIDEO}};
const ModuleCommands kConvertCommands{
    "convert", 16, {CMD_CONVERT_START, CMD_CONVERT_END, CMD_SET_ENCODER_ITEM}};
const ModuleCommands kBurnCommands{"burn",
                                   15,
                                   {CMD_BURN_LIST_CREATE, CMD_BURN_LIST_ADD, CMD_BURN_LIST_FREE,
                                    CMD_BURN_START, CMD_BURN_LIST_SET_VALUE}};
const ModuleCommands kDownloadCommands{"download", 17, {CMD_GET_DOWNLOADER}};

// A module of kind Base that logs "<name> <number>" for each command of its rows.
template <class Base>
struct Answering : Base {
    Answering(Log& log, const ModuleCommands& commands) : log(log), own(commands) {
        for (int32_t number : own.numbers) {
            rows.push_back(on<&Answering::handle>(number));
        }
    }
    std::span<const CommandHandler> commands() const noexcept override { return rows; }
    win::LRESULT handle(CommandCall& call) {
        log.push_back(std::string(own.name) + " " + std::to_string(call.number()));
        return own.answer;
    }
    Log& log;
    const ModuleCommands& own;
    std::vector<CommandHandler> rows;
};

struct FakeInputHost : Answering<InputHost> {
    explicit FakeInputHost(Log& log) : Answering(log, kInputCommands) {}
    void loadPlugins() noexcept override { log.push_back("load input"); }
    void unloadPlugins() noexcept override { log.push_back("unload input"); }
    bool setExtendedFileInfo(const std::string& file, const std::string& item,
                             const std::string& value) noexcept override {
        log.push_back("set " + file + " " + item + " " + value);
        return true;
    }
};

struct FakeOutputHost : OutputHost {
    explicit FakeOutputHost(Log& log) : log(log) {}
    void loadPlugins() noexcept override { log.push_back("load output"); }
    void unloadPlugins() noexcept override { log.push_back("unload output"); }
    Log& log;
};

struct FakePlayback : Answering<Playback> {
    explicit FakePlayback(Log& log) : Answering(log, kPlaybackCommands) {}
    void stopForShutdown() noexcept override { log.push_back("stop for shutdown"); }
    void stopFromOtherInstance() noexcept override { log.push_back("stop from other"); }
    win::LRESULT handleTrackEnd() noexcept override {
        log.push_back("track end");
        return -1;
    }
};

struct FakePlaylist : Answering<Playlist> {
    explicit FakePlaylist(Log& log) : Answering(log, kPlaylistCommands) {}
    bool hasEntryWithFile(const std::string& path) const noexcept override { return path == entry; }
    std::string entry;
};

struct FakeVideo : Answering<Video> {
    explicit FakeVideo(Log& log) : Answering(log, kVideoCommands) {}
    win::HWND videoParent() const noexcept override { return 0; }
    void closeOutput() noexcept override {}
};

struct FakeConversions : Answering<Conversions> {
    explicit FakeConversions(Log& log) : Answering(log, kConvertCommands) {}
    void endAll() noexcept override { log.push_back("end conversions"); }
};

struct FakeBurnRequests : Answering<BurnRequests> {
    explicit FakeBurnRequests(Log& log) : Answering(log, kBurnCommands) {}
    void setBurnWindow(win::WPARAM request, win::HWND window) noexcept override {
        log.push_back("burn window " + std::to_string(request) + " " + std::to_string(window));
    }
};

// The client side: a window of this thread that keeps every message it gets.
struct Received {
    win::UINT message;
    win::WPARAM wParam;
    win::LPARAM lParam;
    std::string metadata;  // for SRV_METADATA: the block's text as read while handling it
};
std::vector<Received>* gReceived = nullptr;
ControlBlock* gBlock = nullptr;

win::LRESULT clientProc(win::HWND hwnd, win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
    if (message >= SRV_EVENT && message <= SRV_METADATA && gReceived != nullptr) {
        Received r{message, wParam, lParam, {}};
        if (message == SRV_METADATA && gBlock != nullptr) {
            if (auto v = gBlock->peek("sl")) {
                r.metadata = (*v)[0].text + "|" + std::to_string((*v)[1].number);
            }
        }
        gReceived->push_back(r);
        return 0;
    }
    return win::defWindowProc(hwnd, message, wParam, lParam);
}

class ServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        runtime_ =
            std::filesystem::temp_directory_path() / ("vexa-core-" + std::to_string(::getpid()));
        std::filesystem::create_directories(runtime_);
        ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        win::registerClass({"ServerTest Client", 0, &clientProc, 0});
        client_ = win::createWindow("ServerTest Client", "");
        ASSERT_NE(client_, 0u);
        gReceived = &received_;
        tempFile_ = (runtime_ / "progtmp").string();
        std::ofstream(tempFile_) << "partial download";
        server_ = std::make_unique<Server>(ProgramPaths{(runtime_ / "prog").string(), tempFile_},
                                           client_);
        server_->start([this](ServerLink&) {
            ServerModules m;
            m.add(std::make_unique<FakeInputHost>(log_));
            m.add(std::make_unique<FakeOutputHost>(log_));
            m.add(std::make_unique<FakePlayback>(log_));
            auto playlist = std::make_unique<FakePlaylist>(log_);
            playlist_ = playlist.get();
            m.add(std::move(playlist));
            m.add(std::make_unique<FakeVideo>(log_));
            m.add(std::make_unique<FakeConversions>(log_));
            m.add(std::make_unique<FakeBurnRequests>(log_));
            m.add(std::make_unique<Answering<ServerModule>>(log_, kDownloadCommands));
            return m;
        });
        gBlock = &server_->controlBlock();
        pump();
    }
    void TearDown() override {
        server_.reset();
        gReceived = nullptr;
        gBlock = nullptr;
        win::destroyWindow(client_);
        std::filesystem::remove_all(runtime_);
    }

    void pump() {
        win::MSG msg;
        while (win::peekMessage(msg, 0, 0, 0, win::PM_REMOVE)) {
            win::dispatchMessage(msg);
        }
    }
    // Pumps until `count` client messages have arrived or a generous deadline passes.
    bool pumpUntil(size_t count) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (received_.size() < count && std::chrono::steady_clock::now() < deadline) {
            win::waitMessage(50);
            pump();
        }
        return received_.size() >= count;
    }
    std::vector<std::pair<win::WPARAM, win::LPARAM>> events() const {
        std::vector<std::pair<win::WPARAM, win::LPARAM>> out;
        for (const Received& r : received_) {
            if (r.message == SRV_EVENT) {
                out.push_back({r.wParam, r.lParam});
            }
        }
        return out;
    }
    win::LRESULT send(win::UINT message, win::WPARAM wParam, win::LPARAM lParam) {
        return win::sendMessage(server_->serverWindow(), message, wParam, lParam);
    }

    std::filesystem::path runtime_;
    std::string tempFile_;
    win::HWND client_ = 0;
    std::unique_ptr<Server> server_;
    FakePlaylist* playlist_ = nullptr;
    Log log_;
    std::vector<Received> received_;
};

TEST_F(ServerTest, StartUpAndShutdownRunInOrder) {
    ASSERT_EQ(received_.size(), 0u) << "SRV_READY is not one of the client messages kept";
    EXPECT_EQ(log_, (Log{"load input", "load output",
                         "set blah.qrx setHttpConfigValues 16000,2750,3250"}));
    EXPECT_TRUE(server_->controlBlock().hasView());
    log_.clear();
    win::HWND window = server_->serverWindow();
    server_->shutdown();
    EXPECT_EQ(log_, (Log{"stop for shutdown", "end conversions", "unload input", "unload output"}));
    EXPECT_FALSE(std::filesystem::exists(tempFile_)) << "downloadTempFile is deleted";
    EXPECT_FALSE(win::isWindow(window));
    EXPECT_FALSE(server_->controlBlock().hasView());
    log_.clear();
    server_->shutdown();
    EXPECT_TRUE(log_.empty()) << "a second shutdown does nothing";
}

TEST_F(ServerTest, EveryCommandGoesToItsModule) {
    size_t routed = 0;
    for (const ModuleCommands* module :
         {&kPlaylistCommands, &kPlaybackCommands, &kInputCommands, &kVideoCommands,
          &kConvertCommands, &kBurnCommands, &kDownloadCommands}) {
        for (int32_t number : module->numbers) {
            log_.clear();
            win::LRESULT answer = send(SRV_COMMAND, 0, number);
            EXPECT_EQ(log_, Log{std::string(module->name) + " " + std::to_string(number)});
            // 801 falls through to default processing after its effect, answering 0.
            EXPECT_EQ(answer, number == CMD_ATTACH_VIDEO ? 0 : module->answer) << number;
            ++routed;
        }
    }
    // With the channel's own eleven, the modules answer the whole command table.
    EXPECT_EQ(routed + 11, allCommands().size());
    log_.clear();
    EXPECT_EQ(send(SRV_COMMAND, 0, 736), 0);
    EXPECT_EQ(send(SRV_COMMAND, 0, 0x100000000LL + CMD_PLAY), 0) << "not a 32-bit number";
    EXPECT_TRUE(log_.empty());
}

TEST_F(ServerTest, InstanceStopActsOnlyWithCrossInstanceControl) {
    log_.clear();
    EXPECT_EQ(send(SRV_COMMAND, 0, CMD_INSTANCE_STOP), 0);
    EXPECT_TRUE(log_.empty());
    server_->setCrossInstanceControl(true);
    log_.clear();
    EXPECT_EQ(send(SRV_COMMAND, 0, CMD_INSTANCE_STOP), 0);
    EXPECT_EQ(log_, Log{"stop from other"});
}

TEST_F(ServerTest, StopBroadcastReachesEveryOtherInstance) {
    Log otherLog;
    Server other(ProgramPaths{(runtime_ / "other").string(), (runtime_ / "othertmp").string()},
                 client_);
    other.start([&](ServerLink&) {
        ServerModules m;
        m.add(std::make_unique<FakePlayback>(otherLog));
        return m;
    });
    other.setCrossInstanceControl(true);
    log_.clear();
    otherLog.clear();
    server_->broadcastInstanceStop();
    EXPECT_EQ(otherLog, Log{"stop from other"});
    EXPECT_TRUE(log_.empty()) << "the own window is skipped";
    other.shutdown();
}

TEST_F(ServerTest, StatusRecordingAppliesToRaisedStatusesOnly) {
    BufferingState& b = server_->buffering();
    EXPECT_FALSE(b.buffering);
    EXPECT_EQ(b.bufferValue, 0);
    // Re-posted messages change nothing here.
    EXPECT_EQ(send(SRV_STATUS, 208, 0), 0);
    EXPECT_EQ(send(SRV_STATUS, 223, 40), 0);
    EXPECT_FALSE(b.buffering);
    EXPECT_EQ(b.bufferValue, 0);

    server_->postStatus(208, 0);
    EXPECT_TRUE(b.buffering);
    server_->postStatus(223, 40);
    EXPECT_EQ(b.bufferValue, 40);
    server_->postStatus(214, 3);
    EXPECT_FALSE(b.buffering);
    EXPECT_EQ(b.bufferValue, 255);
    pump();
    ASSERT_EQ(received_.size(), 5u);
    int i = 0;
    for (auto [code, value] :
         std::vector<std::pair<int, int>>{{208, 0}, {223, 40}, {208, 0}, {223, 40}, {214, 3}}) {
        EXPECT_EQ(received_[i].message, SRV_STATUS);
        EXPECT_EQ(received_[i].wParam, static_cast<win::WPARAM>(code));
        EXPECT_EQ(received_[i].lParam, value);
        ++i;
    }
}

TEST_F(ServerTest, BurnReportsBecomeStatusesAndBurnWindowsAreNoted) {
    for (win::WPARAM report = 0; report <= 6; ++report) {
        send(SRV_BURN_STATUS, report, 1000 + static_cast<int>(report));
    }
    pump();
    std::vector<std::pair<win::WPARAM, win::LPARAM>> got;
    for (const Received& r : received_) {
        got.push_back({r.wParam, r.lParam});
    }
    EXPECT_EQ(got, (std::vector<std::pair<win::WPARAM, win::LPARAM>>{
                       {226, 0}, {227, 1001}, {228, 1002}, {229, 0}, {230, 0}, {242, 1005}}));
    log_.clear();
    send(SRV_BURN_WINDOW, 5, 99);
    send(SRV_BURN_WINDOW, 0, 99);
    send(SRV_BURN_WINDOW, 5, 0);
    EXPECT_EQ(log_, Log{"burn window 5 99"});
}

TEST_F(ServerTest, TrackEndRunsPlaybackThenSendsEventOne) {
    EXPECT_EQ(send(SRV_TRACK_END, 0, 0), -1);
    EXPECT_EQ(log_.back(), "track end");
    ASSERT_EQ(received_.size(), 1u) << "event 1 is sent, not posted";
    EXPECT_EQ(received_[0].message, SRV_EVENT);
    EXPECT_EQ(received_[0].wParam, 1u);
}

TEST_F(ServerTest, MetadataIsInTheBlockWhileTheClientHandlesIt) {
    server_->sendMetadata("Artist - Title", 256);
    ASSERT_EQ(received_.size(), 1u);
    EXPECT_EQ(received_[0].message, SRV_METADATA);
    EXPECT_EQ(received_[0].metadata, "Artist - Title|256");

    // A text longer than the payload is cut so the pair still fits.
    received_.clear();
    server_->sendMetadata(std::string(70000, 'm'), 7);
    ASSERT_EQ(received_.size(), 1u);
    EXPECT_EQ(received_[0].metadata, std::string(kPayloadSize - 5, 'm') + "|7");
}

TEST_F(ServerTest, ChangesInWatchedFoldersRaise112Then240) {
    namespace fs = std::filesystem;
    fs::path dir = runtime_ / "music";
    fs::create_directory(dir);
    std::ofstream(dir / "a.mp3") << "a";
    std::ofstream(dir / "other.mp3") << "o";
    server_->watchFolder(dir.string());
    using Events = std::vector<std::pair<win::WPARAM, win::LPARAM>>;
    const Events pair{{112, 0}, {240, -1}};

    // A new entry in the folder: its contents changed.
    std::ofstream(dir / "new.mp3") << "n";
    ASSERT_TRUE(pumpUntil(2));
    EXPECT_EQ(events(), pair);

    // A rename whose new name is a playlist entry raises the pair once.
    playlist_->entry = (dir / "b.mp3").string();
    received_.clear();
    fs::rename(dir / "a.mp3", dir / "b.mp3");
    ASSERT_TRUE(pumpUntil(2));
    win::waitMessage(200);
    pump();
    EXPECT_EQ(events(), pair);

    // A change of a file that is no entry raises nothing; of an entry, the pair.
    received_.clear();
    std::ofstream(dir / "other.mp3", std::ios::app) << "more";
    std::ofstream(dir / "b.mp3", std::ios::app) << "more";
    ASSERT_TRUE(pumpUntil(2));
    win::waitMessage(200);
    pump();
    EXPECT_EQ(events(), pair);

    // The message itself carries pointers of another process: it is answered and ignored.
    received_.clear();
    EXPECT_EQ(send(SRV_SHELL_CHANGE, 0xdeadbeef, 0x1000), 0);
    EXPECT_TRUE(received_.empty());
}

TEST_F(ServerTest, LivenessTimerEndsTheLoopWhenTheClientGoes) {
    win::destroyWindow(client_);
    client_ = 0;
    auto begin = std::chrono::steady_clock::now();
    EXPECT_EQ(server_->run(), 0);
    double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    EXPECT_LE(took, 2.5);
}

}  // namespace
}  // namespace vexa
