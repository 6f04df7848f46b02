#pragma once
// The category box comboS as a model: its entries, the text it shows and whether it takes input.
// The box accepts no typing, so its text changes only by choosing an entry or by code; setting
// the text by code does not run the category choice (callers run ComboS_Click themselves).
// Main thread only.

#include <QObject>

#include <string>
#include <vector>

namespace kinvo {

class CategoryBox : public QObject {
    Q_OBJECT

  public:
    using QObject::QObject;

    void clear();
    void addItem(std::string item);
    int count() const { return static_cast<int>(items_.size()); }
    // The entry at index; the empty text outside 0..count-1.
    const std::string& item(int index) const;

    const std::string& text() const { return text_; }
    void setText(std::string text);

    bool enabled() const { return enabled_; }
    void setEnabled(bool enabled);

  signals:
    void itemsChanged();
    void textChanged();
    void enabledChanged(bool enabled);

  private:
    std::vector<std::string> items_;
    std::string text_;
    bool enabled_ = true;
};

}  // namespace kinvo
