#include "dataserver/tests/curl.h"

#include <fstream>
#include <sstream>

#include "dataserver/tests/process.h"

namespace kinvo::ds::test {

namespace {

std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

HttpAnswer request(const std::vector<std::string>& extra, const std::string& url) {
    TempDir dir;
    auto body = dir.path() / "body";
    auto headers = dir.path() / "headers";
    std::vector<std::string> argv{
        "curl", "-s",          "-g", "--path-as-is",   "--max-time", "30",
        "-o",   body.string(), "-D", headers.string(), "-w",         "%{http_code}"};
    argv.insert(argv.end(), extra.begin(), extra.end());
    argv.push_back(url);
    Finished f = run(argv);
    HttpAnswer a;
    a.status = std::atoi(f.out.c_str());
    a.body = slurp(body);
    a.headers = slurp(headers);
    return a;
}

}  // namespace

HttpAnswer curlGet(const std::string& url, const std::vector<std::string>& extra) {
    return request(extra, url);
}

HttpAnswer curlPost(const std::string& url, const std::string& formBody) {
    return request(
        {"--data-binary", formBody, "-H", "Content-Type: application/x-www-form-urlencoded"}, url);
}

}  // namespace kinvo::ds::test
