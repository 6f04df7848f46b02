#include "axserver/core/command_line.h"

#include <gtest/gtest.h>

#include <set>

#include "axserver/core/program_paths.h"

namespace vexa {
namespace {

TEST(CommandLine, SelectsTheModeAndReadsTheClient) {
    struct Case {
        const char* text;
        bool burn;
        const char* burnArguments;
        uint32_t client;
    } const cases[] = {
        {" 1234", false, "", 1234},
        {"1234", false, "", 1234},
        {"\t 77abc", false, "", 77},
        {"abc", false, "", 0},
        {"", false, "", 0},
        {"+5", false, "", 5},
        {"99999999999", false, "", static_cast<uint32_t>(99999999999ull)},
        {"/BURN=E:x.m3u", true, "E:x.m3u", 0},
        {"12 something /BURN=a b", true, "a b", 0},
    };
    for (const Case& c : cases) {
        CommandLine line = parseCommandLine(c.text);
        EXPECT_EQ(line.burnMode, c.burn) << c.text;
        EXPECT_EQ(line.burnArguments, c.burnArguments) << c.text;
        EXPECT_EQ(line.clientWindow, c.client) << c.text;
    }
}

TEST(ProgramPaths, CutAtTheLastSeparatorAndAppendTmp) {
    auto always = [](const std::string&) { return true; };
    struct Case {
        const char* exe;
        const char* moduleDir;
        const char* temp;
    } const cases[] = {
        {"/opt/kinvo/bin/vexahost", "/opt/kinvo/bin", "/opt/kinvo/bintmp"},
        {"C:\\Prog\\Sub\\vexahost.exe", "C:\\Prog\\Sub", "C:\\Prog\\Subtmp"},
        {"C:\\vexahost.exe", "C:", "C:tmp"},
        {"vexahost", "", "tmp"},
    };
    for (const Case& c : cases) {
        ProgramPaths paths = programPaths(c.exe, "/run/user/1", always);
        EXPECT_EQ(paths.moduleDir, c.moduleDir) << c.exe;
        EXPECT_EQ(paths.downloadTempFile, c.temp) << c.exe;
    }
}

TEST(ProgramPaths, AnUnwritableProgramFolderSendsTheFileToTheRuntimeFolder) {
    std::set<std::string> asked;
    auto readOnly = [&](const std::string& folder) {
        asked.insert(folder);
        return false;
    };
    ProgramPaths paths = programPaths("/usr/lib/kinvo/bin/vexahost", "/run/user/7", readOnly);
    EXPECT_EQ(paths.moduleDir, "/usr/lib/kinvo/bin");
    EXPECT_EQ(paths.downloadTempFile, "/run/user/7/bintmp");
    EXPECT_EQ(asked, std::set<std::string>{"/usr/lib/kinvo"});

    // Without a runtime folder the file stays where the name puts it.
    paths = programPaths("/usr/lib/kinvo/bin/vexahost", "", readOnly);
    EXPECT_EQ(paths.downloadTempFile, "/usr/lib/kinvo/bintmp");
}

}  // namespace
}  // namespace vexa
