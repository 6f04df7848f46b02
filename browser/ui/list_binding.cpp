#include "browser/ui/list_binding.h"

#include "browser/core/sb_list.h"

#include <QItemSelectionModel>
#include <QListView>

namespace kinvo {

ListBinding::ListBinding(SBList& list, QListView& view) : QObject(&view), list_(list), view_(view) {
    view.setModel(&list);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.setUniformItemSizes(true);
    QItemSelectionModel* selection = view.selectionModel();

    connect(selection, &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& selected, const QItemSelection& deselected) {
                if (syncing_) {
                    return;
                }
                syncing_ = true;
                for (const QModelIndex& index : deselected.indexes()) {
                    list_.setSelected(index.row(), false);
                }
                for (const QModelIndex& index : selected.indexes()) {
                    list_.setSelected(index.row(), true);
                }
                syncing_ = false;
            });
    connect(selection, &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (!syncing_) {
                    syncing_ = true;
                    list_.setCurrentIndex(current.isValid() ? current.row() : -1);
                    syncing_ = false;
                }
            });
    connect(&list, &SBList::selectionChanged, this, &ListBinding::showSelection);
    connect(&list, &SBList::currentIndexChanged, this, &ListBinding::showCurrent);
    connect(&list, &SBList::topIndexChanged, this, [this](int index) {
        view_.scrollTo(list_.index(index), QAbstractItemView::PositionAtTop);
    });
}

void ListBinding::showSelection(int index) {
    if (syncing_) {
        return;
    }
    syncing_ = true;
    QItemSelectionModel* selection = view_.selectionModel();
    const auto mark = [&](int row) {
        selection->select(list_.index(row), list_.selected(row) ? QItemSelectionModel::Select
                                                                : QItemSelectionModel::Deselect);
    };
    if (index >= 0) {
        mark(index);
    } else {
        QItemSelection all;
        for (int row = 0; row < list_.count(); ++row) {
            if (list_.selected(row)) {
                all.select(list_.index(row), list_.index(row));
            }
        }
        selection->select(all, QItemSelectionModel::ClearAndSelect);
    }
    syncing_ = false;
}

void ListBinding::showCurrent(int index) {
    if (syncing_) {
        return;
    }
    syncing_ = true;
    view_.selectionModel()->setCurrentIndex(list_.index(index), QItemSelectionModel::NoUpdate);
    syncing_ = false;
}

}  // namespace kinvo
