#pragma once
// The object the control script reaches over the web channel (as "kinvoControl"): it turns the
// page's calls, which arrive in the order the page made them, into calls of PlaybackControl,
// and the control's events into signals that the script hands to the page's sink. It also
// passes on where the control's element stands on the page.
// Calls with a name it does not know, or with too few arguments, are dropped.

#include "browser/web/playback_control.h"

#include <QObject>
#include <QRectF>
#include <QString>
#include <QVariantList>

namespace kinvo::web {

class ControlBridge : public QObject, public PlaybackEvents {
    Q_OBJECT

  public:
    explicit ControlBridge(PlaybackControl& control, QObject* parent = nullptr);

    // One call of the page: "Play", "SetRetryParams" with [5, 2000], "Repeat" for the property.
    Q_INVOKABLE void call(const QString& name, const QVariantList& args);
    // The element's rectangle in page pixels, reported whenever it changes.
    Q_INVOKABLE void placeWindow(double x, double y, double width, double height);

    void SonariMsgEvent(int code) override { emit msgEvent(code); }
    void SonariStatus(int code, int value) override { emit status(code, value); }
    void SonariMetaData(const std::string& data, int size) override {
        emit metaData(QString::fromStdString(data), size);
    }

  signals:
    void msgEvent(int code);
    void status(int code, int value);
    void metaData(const QString& data, int size);
    // For the page's host (not published to the script's use).
    void windowPlaced(const QRectF& pageRect);
    void deinitialized();

  private:
    PlaybackControl& control_;
};

}  // namespace kinvo::web
