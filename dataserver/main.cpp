// kinvo-dataserver: the catalogue data server the Kinvo browser discovers, and its importer.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "dataserver/command_line.h"
#include "dataserver/server/form_text.h"
#include "dataserver/store/catalogue.h"
#include "dataserver/store/schema.h"

namespace {

using namespace kinvo::ds;

int runImport(const ImportCommand& c) {
    try {
        Database db = openCatalogue(c.database, Database::Mode::ReadWriteCreate);
        ImportResult result = importFiles(db, c.files, c.options);
        if (!result.errors.empty()) {
            for (const ImportError& e : result.errors) {
                if (e.line > 0) {
                    std::fprintf(stderr, "%s:%zu: %s\n", e.file.c_str(), e.line, e.reason.c_str());
                } else {
                    std::fprintf(stderr, "%s: %s\n", e.file.c_str(), e.reason.c_str());
                }
            }
            std::fprintf(stderr, "kinvo-dataserver: nothing imported (%zu problems)\n",
                         result.errors.size());
            return 1;
        }
        std::fprintf(stderr, "kinvo-dataserver: imported %zu stations\n", result.stations);
        if (result.withoutBandwidth > 0) {
            std::fprintf(stderr,
                         "kinvo-dataserver: %zu %s no bandwidth; they are listed for every "
                         "connection type\n",
                         result.withoutBandwidth,
                         result.withoutBandwidth == 1 ? "station has" : "stations have");
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kinvo-dataserver: %s; nothing imported\n", e.what());
        return 1;
    }
}

int runMessages(const MessagesCommand& c) {
    try {
        Catalogue catalogue(openCatalogue(c.database, Database::Mode::ReadWrite));
        for (const SupportMessage& m : catalogue.supportMessages(c.limit)) {
            std::time_t t = static_cast<std::time_t>(m.sentAt);
            std::tm tm{};
            gmtime_r(&t, &tm);
            char when[32];
            std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%SZ", &tm);
            // Fields are strangers' text: escaped so that none reaches the terminal as a
            // control sequence, and the body indented so that no line of it can pass for the
            // start of another message.
            std::string entry = "#" + std::to_string(m.id) + " " + when + " from " +
                                terminalText(m.name) + " <" + terminalText(m.email) + "> (" +
                                terminalText(m.remote) + ")\nSubject: " + terminalText(m.subject) +
                                "\n  " + terminalText(m.body, true, "  ") + "\n\n";
            std::fwrite(entry.data(), 1, entry.size(), stdout);
        }
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kinvo-dataserver: %s\n", e.what());
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    // Before any thread exists, so that only the server's waiter sees these signals.
    blockStopSignals();
    std::vector<std::string> args(argv + 1, argv + argc);
    ParsedCommand parsed = parseCommandLine(args);
    if (!parsed.command) {
        std::fprintf(stderr, "kinvo-dataserver: %s\n%s", parsed.error.c_str(), kUsage);
        return 2;
    }
    struct Run {
        int operator()(const HelpCommand&) const {
            std::printf("%s", kUsage);
            return 0;
        }
        int operator()(const ImportCommand& c) const { return runImport(c); }
        int operator()(const ServeCommand& c) const { return serve(c.options); }
        int operator()(const MessagesCommand& c) const { return runMessages(c); }
    };
    return std::visit(Run{}, *parsed.command);
}
