// Ready PrinterList adapters for a client's Qt widgets: hand a QComboBox or a QListWidget to
// PrCollectionLoad and PrCollectionShowBins through them. The paper-bin code of an entry is
// kept as the item's Qt::UserRole data (an int). Needs Qt6::Widgets in the client.
#pragma once

#include <cstdint>
#include <string>

#include <QComboBox>
#include <QListWidget>
#include <QString>

#include <qor/PrinterList.h>
#include <qor/RuntimeError.h>

namespace qor {

// A PrinterList over a QComboBox. The combo box is not owned and must outlive the adapter.
// As in the list boxes the library was made for, adding entries does not select one: the
// selection changes only through SetListIndex (or the user).
class QtComboPrinterList : public PrinterList {
public:
    explicit QtComboPrinterList(QComboBox& combo) : combo_(combo) {}

    void Clear() override {
        combo_.clear();
        newIndex_ = -1;
    }
    void AddItem(const std::string& text) override {
        const int before = combo_.currentIndex();
        combo_.addItem(QString::fromStdString(text), 0);
        newIndex_ = combo_.count() - 1;
        if (before < 0) combo_.setCurrentIndex(-1);
    }
    int32_t ItemData(int32_t index) const override {
        Check(index);
        return combo_.itemData(index, Qt::UserRole).toInt();
    }
    void SetItemData(int32_t index, int32_t value) override {
        Check(index);
        combo_.setItemData(index, value, Qt::UserRole);
    }
    int32_t NewIndex() const override { return newIndex_; }
    int32_t ListIndex() const override { return combo_.currentIndex(); }
    void SetListIndex(int32_t index) override {
        if (index < -1 || index >= combo_.count()) throw RuntimeError(kErrInvalidProperty);
        combo_.setCurrentIndex(index);
    }
    std::string Text() const override {
        const int index = combo_.currentIndex();
        return index < 0 ? std::string() : combo_.itemText(index).toStdString();
    }
    std::string List(int32_t index) const override {
        Check(index);
        return combo_.itemText(index).toStdString();
    }
    void SetList(int32_t index, const std::string& text) override {
        Check(index);
        combo_.setItemText(index, QString::fromStdString(text));
    }
    int32_t ListCount() const override { return combo_.count(); }
    void SetFocus() override { combo_.setFocus(); }

private:
    void Check(int32_t index) const {
        if (index < 0 || index >= combo_.count()) throw RuntimeError(kErrInvalidIndex);
    }

    QComboBox& combo_;
    int32_t newIndex_ = -1;
};

// A PrinterList over a QListWidget (single selection). The widget is not owned and must
// outlive the adapter. ListIndex is the current row; setting it selects that row.
class QtListPrinterList : public PrinterList {
public:
    explicit QtListPrinterList(QListWidget& list) : list_(list) {}

    void Clear() override {
        list_.clear();
        newIndex_ = -1;
    }
    void AddItem(const std::string& text) override {
        auto* item = new QListWidgetItem(QString::fromStdString(text));
        item->setData(Qt::UserRole, 0);
        list_.addItem(item);
        newIndex_ = list_.count() - 1;
    }
    int32_t ItemData(int32_t index) const override { return At(index)->data(Qt::UserRole).toInt(); }
    void SetItemData(int32_t index, int32_t value) override { At(index)->setData(Qt::UserRole, value); }
    int32_t NewIndex() const override { return newIndex_; }
    int32_t ListIndex() const override { return list_.currentRow(); }
    void SetListIndex(int32_t index) override {
        if (index < -1 || index >= list_.count()) throw RuntimeError(kErrInvalidProperty);
        list_.setCurrentRow(index);
        if (index < 0) list_.clearSelection();
    }
    std::string Text() const override {
        const QListWidgetItem* item = list_.currentItem();
        return item ? item->text().toStdString() : std::string();
    }
    std::string List(int32_t index) const override { return At(index)->text().toStdString(); }
    void SetList(int32_t index, const std::string& text) override {
        At(index)->setText(QString::fromStdString(text));
    }
    int32_t ListCount() const override { return list_.count(); }
    void SetFocus() override { list_.setFocus(); }

private:
    QListWidgetItem* At(int32_t index) const {
        QListWidgetItem* item = index >= 0 ? list_.item(index) : nullptr;
        if (!item) throw RuntimeError(kErrInvalidIndex);
        return item;
    }

    QListWidget& list_;
    int32_t newIndex_ = -1;
};

}  // namespace qor
