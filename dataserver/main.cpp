// kinvo-dataserver: the catalogue data server the Kinvo browser discovers, and its importer.
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "dataserver/command_line.h"
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
            std::printf("#%lld %s from %s <%s> (%s)\nSubject: %s\n%s\n\n",
                        static_cast<long long>(m.id), when, m.name.c_str(), m.email.c_str(),
                        m.remote.c_str(), m.subject.c_str(), m.body.c_str());
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
