// What the printer routines need from a client's list or combo box, and what PrRTF needs
// from a rich-text control.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <qor/RuntimeError.h>

namespace qor {

// A list or combo box of printers (PrCollectionLoad, PrCollectionShowBins). Entries are
// numbered from 0; each has a text and a 32-bit item data (the paper-bin code). Adapters
// for Qt widgets implement it; MemoryPrinterList below is a plain in-memory one.
class PrinterList {
public:
    virtual ~PrinterList() = default;

    // Removes every entry; ListIndex becomes -1.
    virtual void Clear() = 0;
    // Appends an entry with item data 0; NewIndex becomes its index.
    virtual void AddItem(const std::string& text) = 0;
    // Item data of entry `index`. Throws RuntimeError(381) for an index out of range.
    virtual int32_t ItemData(int32_t index) const = 0;
    virtual void SetItemData(int32_t index, int32_t value) = 0;
    // Index of the entry added last, -1 when none.
    virtual int32_t NewIndex() const = 0;
    // The selected entry, -1 when none. Setting -1 clears the selection; another value out of
    // range throws RuntimeError(380).
    virtual int32_t ListIndex() const = 0;
    virtual void SetListIndex(int32_t index) = 0;
    // Text of the selected entry, "" when none.
    virtual std::string Text() const = 0;
    // Text of entry `index`. Throws RuntimeError(381) for an index out of range.
    virtual std::string List(int32_t index) const = 0;
    virtual void SetList(int32_t index, const std::string& text) = 0;
    // Number of entries.
    virtual int32_t ListCount() const = 0;
    // Gives the box the keyboard focus (nothing for a list without a window).
    virtual void SetFocus() = 0;
};

// A PrinterList kept in memory, for programs without windows and for tests.
class MemoryPrinterList : public PrinterList {
public:
    void Clear() override {
        entries_.clear();
        listIndex_ = -1;
        newIndex_ = -1;
    }
    void AddItem(const std::string& text) override {
        entries_.emplace_back(text, 0);
        newIndex_ = static_cast<int32_t>(entries_.size()) - 1;
    }
    int32_t ItemData(int32_t index) const override { return At(index).second; }
    void SetItemData(int32_t index, int32_t value) override { At(index).second = value; }
    int32_t NewIndex() const override { return newIndex_; }
    int32_t ListIndex() const override { return listIndex_; }
    void SetListIndex(int32_t index) override {
        if (index < -1 || index >= ListCount()) throw RuntimeError(kErrInvalidProperty);
        listIndex_ = index;
    }
    std::string Text() const override { return listIndex_ < 0 ? std::string() : At(listIndex_).first; }
    std::string List(int32_t index) const override { return At(index).first; }
    void SetList(int32_t index, const std::string& text) override { At(index).first = text; }
    int32_t ListCount() const override { return static_cast<int32_t>(entries_.size()); }
    void SetFocus() override { ++focusCount_; }
    // How often SetFocus was called.
    int32_t FocusCount() const { return focusCount_; }

private:
    std::pair<std::string, int32_t>& At(int32_t index) {
        if (index < 0 || index >= ListCount()) throw RuntimeError(kErrInvalidIndex);
        return entries_[static_cast<std::size_t>(index)];
    }
    const std::pair<std::string, int32_t>& At(int32_t index) const {
        if (index < 0 || index >= ListCount()) throw RuntimeError(kErrInvalidIndex);
        return entries_[static_cast<std::size_t>(index)];
    }

    std::vector<std::pair<std::string, int32_t>> entries_;
    int32_t listIndex_ = -1;
    int32_t newIndex_ = -1;
    int32_t focusCount_ = 0;
};

// Anything holding rich text, such as a rich-text control: PrRTF places its TextRTF.
struct RtfSource {
    virtual ~RtfSource() = default;
    // The RTF document, e.g. "{\rtf1\ansi Hello}".
    virtual std::string TextRTF() const = 0;
};

}  // namespace qor
