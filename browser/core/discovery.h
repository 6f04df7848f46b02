#pragma once
// Finding the data server: the discovery address names it, the data server then confirms that
// this program version is still supported. Until both answer, the user is asked to retry, to set
// up a firewall or to give up.

#include <functional>
#include <string>
#include <string_view>

namespace kinvo {

class DocFetcher;
class Prompts;
struct ProgramState;

// The host name a discovery answer names: the text before the first "<", and of that the part
// before the first ":". Nothing is trimmed; an answer that starts with "<" names nothing.
std::string hostFromDiscovery(std::string_view body);

// "http://" + dataServer + "/reg.asp?VER=1&P=T&V=3.9".
std::string versionRequest(std::string_view dataServer);

// Sets state.dataServer to the server found, or to the empty text when the user gives up or the
// version is rejected. setStatus receives the progress texts (the splash window's status line);
// letEventsRun lets pending window events run once.
void FindDataServer(ProgramState& state, DocFetcher& fetcher, Prompts& prompts,
                    std::string_view discoveryAddress,
                    const std::function<void(std::string_view)>& setStatus,
                    const std::function<void()>& letEventsRun);

}  // namespace kinvo
