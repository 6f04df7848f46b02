#include "dataserver/command_line.h"

#include <charconv>

namespace kinvo::ds {

const char* const kUsage = R"(usage:
  kinvo-dataserver import --db FILE [--category NAME] [--base URL] PLAYLIST...
      Adds the stations of M3U, PLS and CSV playlists to the catalogue FILE (created when
      missing), all in one transaction: a playlist with a bad row imports nothing. --category
      puts every station into NAME; --base (http://HOST:PORT) completes addresses without a
      host: "/media/a.mov" and "mms:///media/b.asf".
  kinvo-dataserver serve --db FILE [--listen ADDRESS:PORT] [--host NAME] [--media DIR]
                         [--threads N] [--min-version V] [--default-category NAME]
                         [--search-limit N] [--popular-limit N] [--quiet]
      Serves the catalogue. --listen defaults to 127.0.0.1:8639 (port 0: any free port);
      --host is the name discovery answers (default 127.0.0.1); --media serves DIR under
      /media/. A list asked for a category the catalogue lacks shows --default-category
      (default Music/Entertainment), else the first category with stations. Stops on SIGINT
      or SIGTERM.
  kinvo-dataserver messages --db FILE [--limit N]
      Prints the newest support messages.
)";

namespace {

class Args {
  public:
    explicit Args(const std::vector<std::string>& a) : args_(a) {}
    bool more() const { return i_ < args_.size(); }
    const std::string& next() { return args_[i_++]; }
    std::optional<std::string> valueOf(const std::string& option, std::string& error) {
        if (!more()) {
            error = option + " needs a value";
            return std::nullopt;
        }
        return next();
    }

  private:
    const std::vector<std::string>& args_;
    std::size_t i_ = 0;
};

std::optional<int> number(const std::string& text, int min, int max) {
    int v = 0;
    auto [p, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || p != text.data() + text.size() || v < min || v > max) {
        return std::nullopt;
    }
    return v;
}

ParsedCommand fail(std::string error) {
    return ParsedCommand{std::nullopt, std::move(error)};
}

}  // namespace

ParsedCommand parseCommandLine(const std::vector<std::string>& argv) {
    if (argv.empty() || argv[0] == "--help" || argv[0] == "-h" || argv[0] == "help") {
        return ParsedCommand{Command{HelpCommand{}}, {}};
    }
    const std::string& verb = argv[0];
    std::vector<std::string> rest(argv.begin() + 1, argv.end());
    Args args(rest);
    std::string error;
    auto need = [&](const std::string& option) { return args.valueOf(option, error); };

    if (verb == "import") {
        ImportCommand c;
        while (args.more()) {
            std::string a = args.next();
            if (a == "--db") {
                auto v = need(a);
                if (!v) {
                    return fail(error);
                }
                c.database = *v;
            } else if (a == "--category") {
                auto v = need(a);
                if (!v) {
                    return fail(error);
                }
                c.options.category = *v;
            } else if (a == "--base") {
                auto v = need(a);
                if (!v) {
                    return fail(error);
                }
                c.options.base = *v;
            } else if (a.starts_with("--")) {
                return fail("unknown option " + a);
            } else {
                c.files.push_back(a);
            }
        }
        if (c.database.empty()) {
            return fail("import needs --db FILE");
        }
        if (c.files.empty()) {
            return fail("import needs at least one playlist");
        }
        return ParsedCommand{Command{c}, {}};
    }

    if (verb == "serve") {
        ServeCommand c;
        ServeOptions& o = c.options;
        while (args.more()) {
            std::string a = args.next();
            if (a == "--quiet") {
                o.quiet = true;
                continue;
            }
            if (!a.starts_with("--")) {
                return fail("unexpected argument " + a);
            }
            auto v = need(a);
            if (!v) {
                return fail(error);
            }
            if (a == "--db") {
                o.database = *v;
            } else if (a == "--listen") {
                std::size_t colon = v->rfind(':');
                auto port = colon == std::string::npos ? std::nullopt
                                                       : number(v->substr(colon + 1), 0, 65535);
                if (!port || colon == 0) {
                    return fail("--listen needs ADDRESS:PORT");
                }
                o.listenAddress = v->substr(0, colon);
                o.port = *port;
            } else if (a == "--host") {
                if (v->empty() || v->find_first_of(":< \r\n") != std::string::npos) {
                    return fail("--host needs a bare host name (no port, blank or \"<\")");
                }
                o.settings.host = *v;
            } else if (a == "--media") {
                o.mediaFolder = *v;
            } else if (a == "--threads") {
                auto n = number(*v, 1, 256);
                if (!n) {
                    return fail("--threads needs a number from 1 to 256");
                }
                o.threads = static_cast<std::size_t>(*n);
            } else if (a == "--min-version") {
                o.settings.minVersion = *v;
            } else if (a == "--default-category") {
                o.settings.defaultCategory = *v;
            } else if (a == "--search-limit" || a == "--popular-limit") {
                auto n = number(*v, 1, 10000);
                if (!n) {
                    return fail(a + " needs a number from 1 to 10000");
                }
                (a == "--search-limit" ? o.settings.searchLimit : o.settings.popularLimit) = *n;
            } else {
                return fail("unknown option " + a);
            }
        }
        if (o.database.empty()) {
            return fail("serve needs --db FILE");
        }
        return ParsedCommand{Command{c}, {}};
    }

    if (verb == "messages") {
        MessagesCommand c;
        while (args.more()) {
            std::string a = args.next();
            auto v = need(a);
            if (!v) {
                return fail(error);
            }
            if (a == "--db") {
                c.database = *v;
            } else if (a == "--limit") {
                auto n = number(*v, 1, 100000);
                if (!n) {
                    return fail("--limit needs a number");
                }
                c.limit = *n;
            } else {
                return fail("unknown option " + a);
            }
        }
        if (c.database.empty()) {
            return fail("messages needs --db FILE");
        }
        return ParsedCommand{Command{c}, {}};
    }
    return fail("unknown command " + verb);
}

}  // namespace kinvo::ds
