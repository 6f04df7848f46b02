#pragma once
// Forwards the station list view's clicks and keys to the core's station list events: a click
// on an item, a double click, and every key, first through the key-down table and then, when it
// types a character, through the key-press table. The view sees a key only when a table passes
// it on.

#include <QObject>

class QListView;

namespace kinvo {

class StationListEvents;

class StationListBinding : public QObject {
  public:
    StationListBinding(StationListEvents& events, QListView& view);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    StationListEvents& events_;
};

}  // namespace kinvo
