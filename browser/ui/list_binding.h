#pragma once
// Shows an SBList in a QListView and keeps the two in step: the view's selection is the list's
// selected marks, its current row the list's current index, and the list's top index scrolls it.

#include <QObject>

class QListView;

namespace kinvo {

class SBList;

class ListBinding : public QObject {
  public:
    ListBinding(SBList& list, QListView& view);

  private:
    void showSelection(int index);
    void showCurrent(int index);

    SBList& list_;
    QListView& view_;
    bool syncing_ = false;  // a change that one side makes is not echoed back to it
};

}  // namespace kinvo
