// Portable models of the controls on the program's two windows. The rules of
// the controls live here, once: a check box whose value changes runs its Click
// handler at once (and only then), a slider clamps to its range, a sorted list
// view places rows by its sort. The Win32 view mirrors these models into native
// controls and turns native input into calls on them; it holds no state that
// the logic reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace kelvorin {

enum class ControlKind { Button, CheckBox, Label, TextBox, Frame, ListView, Slider, ComboBox,
                         Picture, Line };

// Where a control sits, in twips relative to its window's client area.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// What every visible control has: its name, kind, place and the hook through
// which the view learns that the model changed.
class ControlModel {
public:
    ControlModel(std::string name, ControlKind kind, int id, TwipsRect rect)
        : name_(std::move(name)), kind_(kind), id_(id), rect_(rect) {}
    ControlModel(const ControlModel&) = delete;
    ControlModel& operator=(const ControlModel&) = delete;
    virtual ~ControlModel() = default;

    const std::string& Name() const { return name_; }
    ControlKind Kind() const { return kind_; }
    int Id() const { return id_; }
    const TwipsRect& Rect() const { return rect_; }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // Set by the view; called after every change of the model.
    std::function<void()> onChanged;

protected:
    void Notify() {
        if (onChanged) onChanged();
    }

private:
    std::string name_;
    ControlKind kind_;
    int id_;
    TwipsRect rect_;
    bool enabled_ = true;
};

// Buttons, labels and frames: a caption and the enabled state.
class CaptionedControl : public ControlModel {
public:
    CaptionedControl(std::string name, ControlKind kind, int id, TwipsRect rect,
                     std::string caption, int fontPoints = 9)
        : ControlModel(std::move(name), kind, id, rect),
          caption_(std::move(caption)),
          fontPoints_(fontPoints) {}
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    int FontPoints() const { return fontPoints_; }

    // Runs when the user clicks a button.
    std::function<void()> onClick;
    void Click() {
        if (onClick) onClick();
    }

private:
    std::string caption_;
    int fontPoints_;
};

// A check box: 0 clear, 1 checked, 2 grey. Writing a different value, from the
// user or from code, runs onClick at once; writing the same value runs nothing.
class CheckBox : public CaptionedControl {
public:
    CheckBox(std::string name, int id, TwipsRect rect, std::string caption, int value = 0)
        : CaptionedControl(std::move(name), ControlKind::CheckBox, id, rect, std::move(caption)),
          value_(value) {}
    int Value() const { return value_; }
    void SetValue(int value);
    // A user's click: 1 becomes 0, anything else becomes 1.
    void UserToggle() { SetValue(value_ == 1 ? 0 : 1); }

private:
    int value_;
};

class TextBox : public ControlModel {
public:
    TextBox(std::string name, int id, TwipsRect rect, std::string text = {})
        : ControlModel(std::move(name), ControlKind::TextBox, id, rect), text_(std::move(text)) {}
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    // The user typed: the view reports the new text without echoing it back.
    void UserEdited(const std::string& text) { text_ = text; }
    // A system colour index for the text, or nullopt for the default.
    std::optional<int> ForeSysColour() const { return foreSysColour_; }
    void SetForeSysColour(int index);

private:
    std::string text_;
    std::optional<int> foreSysColour_;
};

// A slider (trackbar). Values written by code clamp to the range and raise no
// Change; the user's finished moves raise onChange.
class Slider : public ControlModel {
public:
    Slider(std::string name, int id, TwipsRect rect)
        : ControlModel(std::move(name), ControlKind::Slider, id, rect) {}
    int Min() const { return min_; }
    int Max() const { return max_; }
    int Value() const { return value_; }
    int TickFrequency() const { return tickFrequency_; }
    void SetMin(int v);
    void SetMax(int v);
    void SetValue(int v);
    void SetTickFrequency(int v);
    // The user finished a move at position v (key step, click beside the
    // thumb, thumb released): onChange runs when the position differs.
    void UserMoved(int v);
    std::function<void()> onChange;

private:
    void Clamp();
    int min_ = 0;
    int max_ = 10;
    int value_ = 0;
    int tickFrequency_ = 1;
};

class ComboBox : public ControlModel {
public:
    ComboBox(std::string name, int id, TwipsRect rect, std::vector<std::string> items,
             std::string text)
        : ControlModel(std::move(name), ControlKind::ComboBox, id, rect),
          items_(std::move(items)),
          text_(std::move(text)) {}
    const std::vector<std::string>& Items() const { return items_; }
    const std::string& Text() const { return text_; }
    void SetText(const std::string& text);
    void UserEdited(const std::string& text) { text_ = text; }

private:
    std::vector<std::string> items_;
    std::string text_;
};

// An image list: pictures of one size, each with an optional key. Indexes are
// 1-based as the program's callers use them. Its pictures are either held, or,
// for a list too long to hold them all, drawn each time one is asked for.
class ImageList {
public:
    using Draw = std::function<Image(int index)>;
    using Key = std::function<std::string(int index)>;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Only while the list is empty; returns false otherwise.
    bool SetSize(int width, int height);
    int Count() const { return draw_ ? drawnCount_ : static_cast<int>(images_.size()); }
    // Appends (index == Count() + 1) or inserts at a 1-based index.
    void Add(int index, Image image, std::string key = {});
    // Replaces the contents with `count` pictures made by draw(i) when asked for.
    void SetDrawn(int count, Draw draw, Key key);
    bool IsDrawn() const { return static_cast<bool>(draw_); }
    Image At(int index) const;
    std::string KeyAt(int index) const;
    void Clear();
    // Counts the clears, so a mirror knows whether it may just append.
    uint64_t Generation() const { return generation_; }
    std::function<void()> onChanged;

private:
    struct Entry {
        Image image;
        std::string key;
    };
    int width_ = 16;
    int height_ = 16;
    std::vector<Entry> images_;
    Draw draw_;
    Key key_;
    int drawnCount_ = 0;
    uint64_t generation_ = 0;
    void Notify() {
        if (onChanged) onChanged();
    }
};

// What the view needs to hear from a list view.
class ListViewObserver {
public:
    virtual ~ListViewObserver() = default;
    // Rows were added, removed, reordered or refilled: the view rebuilds.
    virtual void ListRowsChanged() = 0;
    virtual void ListCellChanged(size_t row, size_t column) = 0;
    virtual void ListSelectionChanged() = 0;
    virtual void ListVisibilityChanged() = 0;
    virtual void ListColumnsChanged() = 0;
};

struct ListColumn {
    std::string text;
    int widthTwips = 0;
};

struct ListRow {
    std::vector<std::string> cells;  // cells[0] is the item text proper
    int image = 0;                   // 1-based index into the image list, 0 for none
    std::string key;
};

// A report list view. With a sort in force it keeps its rows ordered by the
// key column's text, placing each added or rewritten row by that sort, rows
// with equal keys in the order they came.
class ListView : public ControlModel {
public:
    using Compare = std::function<int(const std::string&, const std::string&)>;

    ListView(std::string name, int id, TwipsRect rect)
        : ControlModel(std::move(name), ControlKind::ListView, id, rect) {}

    void SetCompare(Compare compare) { compare_ = std::move(compare); }
    // The report list selects the first row added to an empty list; a list that
    // should start with nothing selected switches that off.
    void SetSelectsFirstRow(bool selects) { selectsFirstRow_ = selects; }
    void SetObserver(ListViewObserver* observer) { observer_ = observer; }

    // Columns
    void AddColumn(const std::string& text, int widthTwips);
    const std::vector<ListColumn>& Columns() const { return columns_; }
    void SetColumnWidth(size_t column, int widthTwips);

    // Rows
    size_t RowCount() const { return rows_.size(); }
    const ListRow& Row(size_t row) const { return rows_.at(row); }
    // A cell's text, or "" for a cell the row does not have.
    const std::string& Cell(size_t row, size_t column) const;
    // Adds a row with empty cells; returns where it landed. The first row added
    // to an empty list becomes the selection.
    size_t AddRow(const std::string& itemText = {});
    // Writes one cell (column 0 is the item text); with a sort in force on that
    // column the row moves to its place. Returns the row's index afterwards.
    size_t SetCell(size_t row, size_t column, const std::string& text);
    void SetRowImage(size_t row, int image);
    void SetRowKey(size_t row, std::string key);
    void Clear();
    // Looks a row up by its position after any reordering: rows keep an id.
    // Both directions take constant time.
    uint64_t RowId(size_t row) const { return ids_.at(row); }
    std::optional<size_t> IndexOfId(uint64_t id) const;

    // Selection
    std::optional<size_t> Selected() const;
    void Select(std::optional<size_t> row);

    // Sort state: sorted flag, key column (0-based) and order (0 ascending).
    bool Sorted() const { return sorted_; }
    int SortKey() const { return sortKey_; }
    int SortOrder() const { return sortOrder_; }
    void SetSortOrder(int order) { sortOrder_ = order; }
    void SetSortKey(int key) { sortKey_ = key; }
    // Switches sorting on and sorts at once; the selected row stays the same row.
    void SetSorted(bool sorted);

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);

private:
    int CompareKeys(const std::string& a, const std::string& b) const;
    void SortAll();
    size_t MoveToPlace(size_t row);
    const std::string& KeyOf(size_t row) const;

    std::vector<ListColumn> columns_;
    std::vector<ListRow> rows_;
    std::vector<uint64_t> ids_;
    // Rows are removed only all at once, so the rows present always carry the
    // ids firstId_ .. nextId_ - 1; indexOfId_[id - firstId_] is where each is.
    // A sort that moves rows only marks it stale: it is written anew, once, at
    // the next look-up, so placing many rows in a row costs no look-ups.
    mutable std::vector<size_t> indexOfId_;
    mutable bool indexStale_ = false;
    uint64_t firstId_ = 1;
    uint64_t nextId_ = 1;
    std::optional<uint64_t> selectedId_;
    bool sorted_ = false;
    int sortKey_ = 0;
    int sortOrder_ = 0;
    bool visible_ = true;
    bool selectsFirstRow_ = true;
    Compare compare_;
    ListViewObserver* observer_ = nullptr;
};

}  // namespace kelvorin
