#pragma once
// The web view Web1 that shows the player page, as the page builder sees it. The windowed
// program implements it with a browser engine; tests with a recording fake. User-interface
// thread only.

#include <QString>

#include <functional>

namespace kinvo {

class WebView {
  public:
    using NavigationComplete = std::function<void(const QString& address)>;

    virtual ~WebView() = default;

    // Starts loading a local file path; the empty text unloads the page (and its player).
    virtual void navigate(const QString& path) = 0;
    // Stops a load in progress.
    virtual void stop() = 0;
    virtual void hide() = 0;
    virtual void show() = 0;
    // Called with the page's address (a file: URL for local files) each time a navigation has
    // completed, the empty page included.
    virtual void setNavigationComplete(NavigationComplete handler) = 0;
};

}  // namespace kinvo
