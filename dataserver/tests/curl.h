#pragma once
// Talks to the server through the curl command-line tool, a client none of us wrote.

#include <string>
#include <vector>

namespace kinvo::ds::test {

struct HttpAnswer {
    int status = 0;  // 0: no answer at all
    std::string body;
    std::string headers;
};

// GET of `url` exactly as given (no globbing, no path normalising); `extra` goes to curl first.
HttpAnswer curlGet(const std::string& url, const std::vector<std::string>& extra = {});
// POST of an application/x-www-form-urlencoded body.
HttpAnswer curlPost(const std::string& url, const std::string& formBody);

}  // namespace kinvo::ds::test
