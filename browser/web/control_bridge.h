#pragma once
// The object the page scripts reach over the web channel (as "kinvoControl"). It creates the
// components a page embeds through the ComponentFactory: one playback control for a playback
// control page, one player for a page's player element. It turns the page's calls, which arrive
// in the order the page made them, into calls of those objects, and their events (which come on
// the components' own threads) into signals on this object's thread, which the scripts hand to
// the page. It also passes on where the element that shows the picture stands on the page.
//
// Every call names the document that made it (a token the script draws once per document):
// calls of a document other than the one that created the live object are dropped, and an
// object is released when its document goes, when another document creates one, or when
// releaseAll is called. Calls with a name it does not know, or with too few arguments, are
// dropped. User-interface thread only.

#include "browser/web/component_factory.h"

#include <QObject>
#include <QRectF>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <cstdint>
#include <functional>
#include <memory>

namespace kinvo::web {

class ControlBridge : public QObject {
    Q_OBJECT

  public:
    // window answers the id of the native window players draw into, as it is at the time.
    ControlBridge(ComponentFactory& components, std::function<std::uint64_t()> window,
                  QObject* parent = nullptr);
    ~ControlBridge() override;

    // One call of the page's playback control: "Play", "SetRetryParams" with [5, 2000],
    // "Repeat" for the property.
    Q_INVOKABLE void call(const QString& page, const QString& name, const QVariantList& args);
    // A player element: its class identifier and its parameters by name. Answers with
    // playerCreated.
    Q_INVOKABLE void createPlayer(const QString& page, const QString& classId,
                                  const QVariantMap& params);
    // The control bar: "Play", "Pause", "Stop", "Seek" (ms), "SetVolume" (0 to 255).
    Q_INVOKABLE void player(const QString& page, const QString& name, int value);
    // The document is going.
    Q_INVOKABLE void pageGone(const QString& page);
    // The rectangle (page pixels) of the element that shows the picture, whenever it changes.
    Q_INVOKABLE void placeWindow(double x, double y, double width, double height);

    // Releases every object (the playback control deinitialised first).
    void releaseAll();

  signals:
    void msgEvent(int code);
    void status(int code, int value);
    void metaData(const QString& data, int size);
    // created: a component serves the element; controls: it asks for a control bar.
    void playerCreated(bool created, bool controls);
    void playerState(int state, int detail);
    void playerPosition(int positionMs, int lengthMs);
    // For the page's host (not published to the scripts' use).
    void windowPlaced(const QRectF& pageRect);
    // The page's objects are gone (the control deinitialised, or their document went).
    void deinitialized();

  private:
    class Relay;
    struct Live;

    bool isLive(unsigned generation) const;
    void releaseControl();
    void releasePlayer();

    ComponentFactory& components_;
    std::function<std::uint64_t()> window_;
    std::unique_ptr<Live> control_;
    std::unique_ptr<Live> player_;
    unsigned generation_ = 0;  // the last object's number; events of objects gone are dropped
};

}  // namespace kinvo::web
