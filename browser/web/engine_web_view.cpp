#include "engine_web_view.h"

#include "control_bridge.h"
#include "control_window.h"

#include <QFile>
#include <QUrl>
#include <QWebChannel>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

namespace kinvo::web {
namespace {

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

EngineWebView::EngineWebView(QWidget* parent, PlaybackControl& control)
    : QObject(parent),
      view_(new QWebEngineView(parent)),
      window_(new ControlWindow(view_)),
      bridge_(new ControlBridge(control, this)),
      channel_(new QWebChannel(this)) {
    // No context menu over the player.
    view_->setContextMenuPolicy(Qt::NoContextMenu);
    channel_->registerObject(QStringLiteral("kinvoControl"), bridge_);
    view_->page()->setWebChannel(channel_);

    QWebEngineScript script;
    script.setName(QStringLiteral("kinvo-playback-control"));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    script.setSourceCode(controlScriptSource(window_->hwnd()));
    view_->page()->scripts().insert(script);

    connect(bridge_, &ControlBridge::windowPlaced, this, &EngineWebView::placeWindow);
    connect(bridge_, &ControlBridge::deinitialized, window_, &QWidget::hide);
    connect(view_, &QWebEngineView::loadStarted, window_, &QWidget::hide);
    // The loading info names the page that finished; the view's own url() already names the
    // next one while an earlier load is still finishing.
    connect(view_->page(), &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) {
                if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
                    return;
                }
                if (complete_) {
                    complete_(info.url().toString());
                }
            });
}

EngineWebView::~EngineWebView() = default;

void EngineWebView::navigate(const QString& path) {
    view_->setUrl(path.isEmpty() ? QUrl(QStringLiteral("about:blank")) : QUrl::fromLocalFile(path));
}

void EngineWebView::stop() {
    view_->stop();
}
void EngineWebView::hide() {
    view_->hide();
}
void EngineWebView::show() {
    view_->show();
}

void EngineWebView::setNavigationComplete(NavigationComplete handler) {
    complete_ = std::move(handler);
}

void EngineWebView::placeWindow(const QRectF& pageRect) {
    const qreal zoom = view_->zoomFactor();
    const QRect rect(QPointF(pageRect.x() * zoom, pageRect.y() * zoom).toPoint(),
                     QSizeF(pageRect.width() * zoom, pageRect.height() * zoom).toSize());
    window_->setGeometry(rect);
    window_->setVisible(!rect.isEmpty());
    window_->raise();
}

}  // namespace kinvo::web
