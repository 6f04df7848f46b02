#include "browser/core/sb_list.h"

#include "browser/core/bounded_file.h"
#include "browser/core/display_text.h"
#include "browser/core/limits.h"

#include <QSaveFile>

#include <algorithm>
#include <charconv>
#include <numeric>

namespace kinvo {
namespace {

const std::string kEmpty;

// List controls of the original platform ordered their items by shown text without regard to
// letter case; users know their lists that way.
bool shownLess(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
}

// File format: a header line, the item count, then per item a line "<text bytes> <tag bytes>
// <number>" followed by exactly that many bytes of text and of tag and a line end. Lengths make
// every byte value safe in texts and tags (line ends, "|", NUL) and let a reader check each step.
constexpr std::string_view kMagic = "SBList 1\n";

class Reader {
  public:
    explicit Reader(std::string_view bytes) : rest_(bytes) {}

    bool literal(std::string_view text) {
        if (rest_.substr(0, text.size()) != text) {
            return false;
        }
        rest_.remove_prefix(text.size());
        return true;
    }

    template <typename T>
    bool number(T& value, char end) {
        const char* first = rest_.data();
        const char* last = first + rest_.size();
        auto [ptr, ec] = std::from_chars(first, last, value);
        if (ec != std::errc() || ptr == first || ptr == last || *ptr != end) {
            return false;
        }
        rest_.remove_prefix(static_cast<std::size_t>(ptr - first) + 1);
        return true;
    }

    bool take(std::size_t length, std::string& out) {
        if (length > rest_.size()) {
            return false;
        }
        out.assign(rest_.substr(0, length));
        rest_.remove_prefix(length);
        return true;
    }

    std::size_t left() const { return rest_.size(); }

  private:
    std::string_view rest_;
};

}  // namespace

SBList::SBList(QObject* parent) : QAbstractListModel(parent) {}

void SBList::clear() {
    replaceItems({});
}

void SBList::replaceItems(std::vector<Item> items) {
    beginResetModel();
    items_ = std::move(items);
    endResetModel();
    const bool hadCurrent = current_ != -1;
    current_ = -1;
    top_ = 0;
    if (hadCurrent) {
        emit currentIndexChanged(-1);
    }
    emit selectionChanged(-1);
    emit topIndexChanged(0);
}

int SBList::sortedPosition(const QString& shown) const {
    const auto it = std::upper_bound(
        items_.begin(), items_.end(), shown,
        [](const QString& value, const Item& item) { return shownLess(value, item.shown); });
    return static_cast<int>(it - items_.begin());
}

void SBList::add(int index, std::string text, std::string tag, std::int64_t number) {
    QString shown = displayText(text);
    int at = sorted_ ? sortedPosition(shown) : std::clamp(index, 0, count());
    beginInsertRows(QModelIndex(), at, at);
    items_.insert(items_.begin() + at,
                  Item{std::move(text), std::move(tag), number, false, std::move(shown)});
    endInsertRows();
    if (current_ >= at) {
        ++current_;
        emit currentIndexChanged(current_);
    }
}

void SBList::remove(int index) {
    if (!valid(index)) {
        return;
    }
    beginRemoveRows(QModelIndex(), index, index);
    items_.erase(items_.begin() + index);
    endRemoveRows();
    if (current_ == index) {
        current_ = -1;
        emit currentIndexChanged(current_);
    } else if (current_ > index) {
        --current_;
        emit currentIndexChanged(current_);
    }
}

void SBList::setCurrentIndex(int index) {
    const int next = valid(index) ? index : -1;
    if (next != current_) {
        current_ = next;
        emit currentIndexChanged(current_);
    }
}

void SBList::setTopIndex(int index) {
    if (valid(index)) {
        top_ = index;
        emit topIndexChanged(top_);
    }
}

bool SBList::selected(int index) const {
    return valid(index) && items_[static_cast<std::size_t>(index)].selected;
}

void SBList::setSelected(int index, bool selected) {
    if (valid(index) && items_[static_cast<std::size_t>(index)].selected != selected) {
        items_[static_cast<std::size_t>(index)].selected = selected;
        emit selectionChanged(index);
    }
}

void SBList::selectAll() {
    for (Item& item : items_) {
        item.selected = true;
    }
    emit selectionChanged(-1);
}

const std::string& SBList::text(int index) const {
    return valid(index) ? items_[static_cast<std::size_t>(index)].text : kEmpty;
}

const std::string& SBList::tag(int index) const {
    return valid(index) ? items_[static_cast<std::size_t>(index)].tag : kEmpty;
}

std::int64_t SBList::number(int index) const {
    return valid(index) ? items_[static_cast<std::size_t>(index)].number : 0;
}

void SBList::setSorted(bool on) {
    if (on == sorted_) {
        return;
    }
    sorted_ = on;
    if (!on || items_.size() < 2) {
        return;
    }
    // Keep the current item current across the reorder.
    std::vector<std::size_t> order(items_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
        return shownLess(items_[a].shown, items_[b].shown);
    });
    beginResetModel();
    std::vector<Item> reordered;
    reordered.reserve(items_.size());
    int current = -1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (static_cast<int>(order[i]) == current_) {
            current = static_cast<int>(i);
        }
        reordered.push_back(std::move(items_[order[i]]));
    }
    items_ = std::move(reordered);
    endResetModel();
    if (current != current_) {
        current_ = current;
        emit currentIndexChanged(current_);
    }
    emit selectionChanged(-1);
}

int SBList::findByText(std::string_view text) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].text == text) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int SBList::findByTag(std::string_view tag) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].tag == tag) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int SBList::findInTags(std::string_view part) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].tag.find(part) != std::string::npos) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::string SBList::serialize(const SBList& list) {
    std::string out(kMagic);
    out.append(std::to_string(list.items_.size())).push_back('\n');
    for (const Item& item : list.items_) {
        out.append(std::to_string(item.text.size()))
            .append(" ")
            .append(std::to_string(item.tag.size()))
            .append(" ")
            .append(std::to_string(item.number))
            .append("\n")
            .append(item.text)
            .append(item.tag)
            .append("\n");
    }
    return out;
}

bool SBList::deserialize(std::string_view bytes) {
    Reader in(bytes);
    std::size_t count = 0;
    if (!in.literal(kMagic) || !in.number(count, '\n')) {
        return false;
    }
    // Every item takes at least 7 bytes ("0 0 0\n" and its line end), so a count beyond that
    // is damage, not a reason to reserve memory.
    if (count > in.left() / 7) {
        return false;
    }
    std::vector<Item> items;
    items.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t textLength = 0;
        std::size_t tagLength = 0;
        Item item;
        if (!in.number(textLength, ' ') || !in.number(tagLength, ' ') ||
            !in.number(item.number, '\n') || !in.take(textLength, item.text) ||
            !in.take(tagLength, item.tag) || !in.literal("\n")) {
            return false;
        }
        item.shown = displayText(item.text);
        items.push_back(std::move(item));
    }
    if (in.left() != 0) {
        return false;
    }
    if (sorted_) {
        std::stable_sort(items.begin(), items.end(),
                         [](const Item& a, const Item& b) { return shownLess(a.shown, b.shown); });
    }
    replaceItems(std::move(items));
    return true;
}

bool SBList::save(const QString& path) const {
    const std::string bytes = serialize(*this);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool SBList::load(const QString& path) {
    const FileBytes file = readBoundedFile(path, limits::kListFileBytes);
    return file.state == FileState::Usable && deserialize(file.bytes);
}

int SBList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count();
}

QVariant SBList::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || !valid(index.row())) {
        return {};
    }
    const Item& item = items_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
            return item.shown;
        case TagRole:
            return QByteArray(item.tag.data(), static_cast<qsizetype>(item.tag.size()));
        case NumberRole:
            return QVariant::fromValue<qint64>(item.number);
        default:
            return {};
    }
}

}  // namespace kinvo
