#include "browser/core/discovery.h"

#include "browser/core/doc_fetcher.h"
#include "browser/core/program_state.h"
#include "browser/core/prompts.h"
#include "browser/core/texts.h"
#include "browser/core/web_links.h"

namespace kinvo {

std::string hostFromDiscovery(std::string_view body) {
    body = body.substr(0, body.find('<'));
    return std::string(body.substr(0, body.find(':')));
}

std::string versionRequest(std::string_view dataServer) {
    std::string request(texts::kScheme);
    request.append(dataServer)
        .append(texts::kVersionPath)
        .append(texts::kProductCode)
        .append(texts::kVersionParameter)
        .append(texts::kVersion);
    return request;
}

void FindDataServer(ProgramState& state, DocFetcher& fetcher, Prompts& prompts,
                    std::string_view discoveryAddress,
                    const std::function<void(std::string_view)>& setStatus,
                    const std::function<void()>& letEventsRun) {
    using Answer = Prompts::Answer;
    using Buttons = Prompts::Buttons;
    using Icon = Prompts::Icon;
    for (;;) {
        setStatus(texts::kFindingDataServers);
        letEventsRun();
        const std::string discovered = fetcher.GetDoc(discoveryAddress);
        state.dataServer = discovered.empty() ? std::string() : hostFromDiscovery(discovered);
        setStatus(texts::kDone);

        if (!state.dataServer.empty()) {
            setStatus(texts::kCheckingVersion);
            state.documentText.clear();
            const std::string answer = fetcher.GetDoc(versionRequest(state.dataServer));
            if (!answer.empty()) {
                if (answer == texts::kVersionRejected) {
                    prompts.message(texts::kOutOfDate, Buttons::Ok, Icon::Critical);
                    prompts.message(std::string(texts::kPleaseVisit)
                                        .append(vendorSite(discoveryAddress))
                                        .append(texts::kForNewestVersion),
                                    Buttons::Ok, Icon::Information);
                    state.dataServer.clear();
                }
                return;
            }
        }

        prompts.message(texts::kUnableToContact, Buttons::Ok, Icon::None);
        if (prompts.message(texts::kRetryQuestion, Buttons::OkCancel, Icon::None) == Answer::Ok) {
            state.dataServer.clear();
            continue;
        }
        if (prompts.message(texts::kFirewallQuestion, Buttons::YesNo, Icon::None) == Answer::Yes) {
            prompts.showSettingsDialog();
            continue;
        }
        prompts.message(std::string(texts::kCannotContinue)
                            .append(texts::kSupportEmail)
                            .append(texts::kForSystemStatus),
                        Buttons::Ok, Icon::Critical);
        state.dataServer.clear();
        return;
    }
}

}  // namespace kinvo
