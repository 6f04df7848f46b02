#include "browser/web/engine_web_view.h"

#include "browser/web/control_bridge.h"
#include "browser/web/control_window.h"
#include "browser/web/flash_player.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QUrl>
#include <QWebChannel>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include <utility>

namespace kinvo::web {
namespace {

constexpr qint64 kLongestWait = 10000;  // milliseconds

QString resourceText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

QString controlScriptSource(std::uint64_t hwnd) {
    QString script = resourceText(QStringLiteral(":/kinvo/web/control_script.js"));
    script.replace(QStringLiteral("@HWND@"), QString::number(hwnd));
    // The channel's client library stays inside the function, off the page's own names.
    return QStringLiteral("(function () {\n") +
           resourceText(QStringLiteral(":/qtwebchannel/qwebchannel.js")) + QStringLiteral("\n") +
           script + QStringLiteral("\n})();\n");
}

EngineWebView::EngineWebView(QWidget* parent, ComponentFactory& components)
    : QObject(parent),
      view_(new QWebEngineView(parent)),
      // A sibling above the view, not its child: a native window inside the engine's view
      // breaks the view's own native windows.
      window_(new ControlWindow(parent)),
      bridge_(new ControlBridge(
          components, [this] { return window_->hwnd(); }, this)),
      channel_(new QWebChannel(this)) {
    // No context menu over the player.
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    channel_->registerObject(QStringLiteral("kinvoControl"), bridge_);
    view_->page()->setWebChannel(channel_);

    injectControlScript();
    // Pages loaded from now on answer the window's new id.
    connect(window_, &ControlWindow::idChanged, this, &EngineWebView::injectControlScript);

    connect(bridge_, &ControlBridge::windowPlaced, this, &EngineWebView::placeWindow);
    // The control's page is gone when it deinitialises the control. A new load only hides the
    // window: its start may be reported after the next page has already placed its element.
    connect(bridge_, &ControlBridge::deinitialized, this, [this] {
        pageRect_ = QRectF();
        window_->hide();
    });
    connect(view_, &QWebEngineView::loadStarted, window_, &QWidget::hide);
    view_->installEventFilter(this);
    // Flash pages play in the emulator that ships in the program's folder.
    enableFlashPlayback(*view_->page(), QCoreApplication::applicationDirPath());
    // The loading info names the page that finished; the view's own url() already names the
    // next one while an earlier load is still finishing.
    connect(view_->page(), &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) {
                if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
                    loading_ = true;
                    loadStarted_.start();
                    return;
                }
                loading_ = false;
                if (info.url().isEmpty() || info.url() == QUrl(QStringLiteral("about:blank"))) {
                    // The player stopped: nothing of the last page may go on playing, even if
                    // its document never said goodbye.
                    bridge_->releaseAll();
                }
                if (pending_) {
                    // The page that ended was asked away from: the waiting one loads now, and
                    // only its own end counts.
                    view_->setUrl(*std::exchange(pending_, std::nullopt));
                    return;
                }
                // The start of an earlier load (the empty page StopPlayer asks for) may be
                // reported after this page placed its element and hid the window again.
                placeWindow(pageRect_);
                if (complete_) {
                    complete_(info.url().toString());
                }
            });
}

EngineWebView::~EngineWebView() = default;

void EngineWebView::navigate(const QString& path) {
    const QUrl url =
        path.isEmpty() ? QUrl(QStringLiteral("about:blank")) : QUrl::fromLocalFile(path);
    // A start whose end never came does not hold every later page back.
    if (loading_ && !loadStarted_.hasExpired(kLongestWait)) {
        pending_ = url;
        return;
    }
    pending_.reset();
    view_->setUrl(url);
}

void EngineWebView::stop() {
    view_->stop();
}
void EngineWebView::hide() {
    view_->hide();
    window_->hide();
}
void EngineWebView::show() {
    view_->show();
    // The bottom layer of its parent: the native windows of its siblings stack as the widgets
    // do only when asked to.
    view_->lower();
    placeWindow(pageRect_);
}

bool EngineWebView::eventFilter(QObject* watched, QEvent* event) {
    // The window is the view's sibling: it follows the view's own moves and resizes.
    if (watched == view_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        placeWindow(pageRect_);
    }
    return QObject::eventFilter(watched, event);
}

void EngineWebView::injectControlScript() {
    const QString name = QStringLiteral("kinvo-playback-control");
    QWebEngineScriptCollection& scripts = view_->page()->scripts();
    for (const QWebEngineScript& old : scripts.find(name)) {
        scripts.remove(old);
    }
    QWebEngineScript script;
    script.setName(name);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(controlScriptSource(window_->hwnd()));
    scripts.insert(script);
}

void EngineWebView::setNavigationComplete(NavigationComplete handler) {
    complete_ = std::move(handler);
}

void EngineWebView::placeWindow(const QRectF& pageRect) {
    pageRect_ = pageRect;
    const qreal zoom = view_->zoomFactor();
    const QRect rect = QRect(QPointF(pageRect.x() * zoom, pageRect.y() * zoom).toPoint(),
                             QSizeF(pageRect.width() * zoom, pageRect.height() * zoom).toSize())
                           .translated(view_->pos())
                           .intersected(view_->geometry());
    window_->setGeometry(rect);
    window_->setVisible(!rect.isEmpty() && view_->isVisible());
    window_->raise();
}

}  // namespace kinvo::web
