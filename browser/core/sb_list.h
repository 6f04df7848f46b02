#pragma once
// SBList: the browser's list control as a model. Items are held in order, indexed from 0, each
// with a shown text, a hidden tag and a number; texts and tags are bytes. The list also keeps a
// current index (-1 for none), a top index (the first visible line), a selected mark per item and
// a sort switch. A QListView shows it (the display role is the shown text as characters); the
// view binds current, top and selected state through the signals below.
//
// Error policy: operations given an index outside 0..count-1 do nothing (readers return an empty
// text or 0); load reports failure and leaves the list unchanged. Main thread only.

#include <QAbstractListModel>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kinvo {

class SBList : public QAbstractListModel {
    Q_OBJECT

  public:
    enum Role { TagRole = Qt::UserRole, NumberRole };

    explicit SBList(QObject* parent = nullptr);

    void clear();
    // Inserts an item at index (callers pass count() to append); while sorting is on the item
    // goes to its place in the order of shown texts instead, after items that compare equal.
    void add(int index, std::string text, std::string tag, std::int64_t number);
    void add(std::string text, std::string tag, std::int64_t number) {
        add(count(), std::move(text), std::move(tag), number);
    }
    void remove(int index);
    int count() const { return static_cast<int>(items_.size()); }

    int currentIndex() const { return current_; }
    void setCurrentIndex(int index);  // -1 or an item's index
    int topIndex() const { return top_; }
    void setTopIndex(int index);  // scrolls the view

    bool selected(int index) const;
    void setSelected(int index, bool selected);  // leaves the current index alone
    void selectAll();

    const std::string& text(int index) const;
    const std::string& tag(int index) const;
    std::int64_t number(int index) const;

    // While on, items stand in order of their shown text. Turning it on sorts what is there.
    bool sorted() const { return sorted_; }
    void setSorted(bool on);

    // Index of the first item whose text equals / tag equals / tag contains the given bytes;
    // -1 when none.
    int findByText(std::string_view text) const;
    int findByTag(std::string_view tag) const;
    int findInTags(std::string_view part) const;

    // Writes every item's text, tag and number, in order; false when the file can't be written
    // (an existing file is then left as it was).
    bool save(const QString& path) const;
    // Replaces all items by those of a file written by save; false, with the list unchanged, when
    // the file can't be read or is not such a file. Only a regular file of at most
    // limits::kListFileBytes is read (see bounded_file.h).
    bool load(const QString& path);

    // The file format of save and load, on bytes.
    static std::string serialize(const SBList& list);
    bool deserialize(std::string_view bytes);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  signals:
    void currentIndexChanged(int index);
    void topIndexChanged(int index);
    // One item's selected mark changed, or (index -1) any number of them.
    void selectionChanged(int index);

  private:
    struct Item {
        std::string text;
        std::string tag;
        std::int64_t number = 0;
        bool selected = false;
        QString shown;  // text as characters, kept for display and sorting
    };

    bool valid(int index) const { return index >= 0 && index < count(); }
    int sortedPosition(const QString& shown) const;
    void replaceItems(std::vector<Item> items);

    std::vector<Item> items_;
    int current_ = -1;
    int top_ = 0;
    bool sorted_ = false;
};

}  // namespace kinvo
