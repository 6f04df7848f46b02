#pragma once
// Web1 on the browser engine: a QWebEngineView behind the page builder's WebView interface,
// with the components' script injected into every page, the web channel that carries its calls
// to the components, and the native window kept over the element that shows the picture.
// Loading the empty page (the player stopped) releases whatever the last page embedded.
// User-interface thread only.

#include "browser/core/web_view.h"

#include <QElapsedTimer>
#include <QObject>
#include <QRectF>
#include <QUrl>

#include <optional>

#include <cstdint>

class QWebChannel;
class QWebEngineView;
class QWidget;

namespace kinvo::web {

class ComponentFactory;
class ControlBridge;
class ControlWindow;

class EngineWebView : public QObject, public kinvo::WebView {
    Q_OBJECT

  public:
    // The view is a child of parent; components serves the objects of every page shown.
    EngineWebView(QWidget* parent, ComponentFactory& components);
    ~EngineWebView() override;

    QWebEngineView* view() const { return view_; }
    ControlWindow* controlWindow() const { return window_; }
    ControlBridge* bridge() const { return bridge_; }

    void navigate(const QString& path) override;
    void stop() override;
    void hide() override;
    void show() override;
    void setNavigationComplete(NavigationComplete handler) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The components' script, answering the control window's present id, for the next pages.
    void injectControlScript();
    // Keeps the control's window over the element's rectangle (page pixels) while the view
    // shows; an empty rectangle hides it.
    void placeWindow(const QRectF& pageRect);

    QWebEngineView* view_;
    ControlWindow* window_;
    ControlBridge* bridge_;
    QWebChannel* channel_;
    NavigationComplete complete_;
    QRectF pageRect_;  // the control element's last reported rectangle; empty once it deinitialised
    // Between a load's start and its end another address waits here: the engine loads a page
    // asked for while another is still loading but at times never reports it.
    bool loading_ = false;
    QElapsedTimer loadStarted_;
    std::optional<QUrl> pending_;
};

// The control script with the web channel's client library and the given window id in it.
QString controlScriptSource(std::uint64_t hwnd);

}  // namespace kinvo::web
