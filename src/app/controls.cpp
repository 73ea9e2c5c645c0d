#include "app/controls.h"

#include <algorithm>
#include <stdexcept>

namespace kelvorin {

void ControlModel::SetEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Notify();
}

void CaptionedControl::SetCaption(const std::string& caption) {
    if (caption_ == caption) return;
    caption_ = caption;
    Notify();
}

void CheckBox::SetValue(int value) {
    if (value_ == value) return;
    value_ = value;
    Notify();
    // The box's own handler runs inside the write, before the writer goes on.
    Click();
}

void TextBox::SetText(const std::string& text) {
    text_ = text;
    Notify();
}

void TextBox::SetForeSysColour(int index) {
    foreSysColour_ = index;
    Notify();
}

void Slider::Clamp() {
    if (value_ < min_) value_ = min_;
    if (value_ > max_) value_ = max_;
}

void Slider::SetMin(int v) {
    min_ = v;
    if (max_ < min_) max_ = min_;
    Clamp();
    Notify();
}

void Slider::SetMax(int v) {
    max_ = v;
    if (min_ > max_) min_ = max_;
    Clamp();
    Notify();
}

void Slider::SetValue(int v) {
    value_ = v;
    Clamp();
    Notify();
}

void Slider::SetTickFrequency(int v) {
    tickFrequency_ = v;
    Notify();
}

void Slider::UserMoved(int v) {
    int before = value_;
    value_ = v;
    Clamp();
    if (value_ != before && onChange) onChange();
}

void ComboBox::SetText(const std::string& text) {
    text_ = text;
    Notify();
}

bool ImageList::SetSize(int width, int height) {
    if (Count() > 0) return false;
    width_ = width;
    height_ = height;
    Notify();
    return true;
}

void ImageList::Add(int index, Image image, std::string key) {
    draw_ = nullptr;
    size_t at = std::clamp<size_t>(size_t(std::max(index, 1)) - 1, 0, images_.size());
    images_.insert(images_.begin() + static_cast<std::ptrdiff_t>(at),
                   Entry{std::move(image), std::move(key)});
    Notify();
}

void ImageList::SetDrawn(int count, Draw draw, Key key) {
    images_.clear();
    draw_ = std::move(draw);
    key_ = std::move(key);
    drawnCount_ = draw_ ? std::max(count, 0) : 0;
    ++generation_;
    Notify();
}

Image ImageList::At(int index) const {
    if (!draw_) return images_.at(size_t(index) - 1).image;
    if (index < 1 || index > drawnCount_) throw std::out_of_range("no such image");
    return draw_(index);
}

std::string ImageList::KeyAt(int index) const {
    if (!draw_) return images_.at(size_t(index) - 1).key;
    if (index < 1 || index > drawnCount_) throw std::out_of_range("no such image");
    return key_ ? key_(index) : std::string();
}

void ImageList::Clear() {
    SetDrawn(0, nullptr, nullptr);
}

void ListView::AddColumn(const std::string& text, int widthTwips) {
    columns_.push_back({text, widthTwips});
    for (auto& row : rows_) row.cells.resize(columns_.size());
    if (observer_) observer_->ListColumnsChanged();
}

void ListView::SetColumnWidth(size_t column, int widthTwips) {
    columns_.at(column).widthTwips = widthTwips;
    if (observer_) observer_->ListColumnsChanged();
}

int ListView::CompareKeys(const std::string& a, const std::string& b) const {
    return compare_ ? compare_(a, b) : a.compare(b);
}

const std::string& ListView::KeyOf(size_t row) const {
    static const std::string kEmpty;
    const auto& cells = rows_[row].cells;
    size_t key = static_cast<size_t>(sortKey_);
    return key < cells.size() ? cells[key] : kEmpty;
}

// Takes the row out and puts it back after every row whose key sorts before
// it, and after the rows of equal key that were added before it, so equal keys
// stay in the order the rows were added. The other rows are in order already,
// so a binary search finds the place.
size_t ListView::MoveToPlace(size_t row) {
    ListRow moving = std::move(rows_[row]);
    uint64_t id = ids_[row];
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
    ids_.erase(ids_.begin() + static_cast<std::ptrdiff_t>(row));
    size_t key = static_cast<size_t>(sortKey_);
    static const std::string kEmpty;
    auto keyOf = [&](const ListRow& r) -> const std::string& {
        return key < r.cells.size() ? r.cells[key] : kEmpty;
    };
    const std::string& movingKey = keyOf(moving);
    auto staysBefore = [&](size_t other) {
        int c = CompareKeys(keyOf(rows_[other]), movingKey);
        if (c == 0) return ids_[other] < id;
        return sortOrder_ == 0 ? c < 0 : c > 0;
    };
    size_t lo = 0, hi = rows_.size();
    while (lo < hi) {
        size_t mid = (lo + hi) / 2;
        if (staysBefore(mid))
            lo = mid + 1;
        else
            hi = mid;
    }
    rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(lo), std::move(moving));
    ids_.insert(ids_.begin() + static_cast<std::ptrdiff_t>(lo), id);
    if (lo != row) indexStale_ = true;
    return lo;
}

const std::string& ListView::Cell(size_t row, size_t column) const {
    static const std::string kEmpty;
    const auto& cells = rows_.at(row).cells;
    return column < cells.size() ? cells[column] : kEmpty;
}

size_t ListView::AddRow(const std::string& itemText) {
    ListRow row;
    row.cells.resize(std::max<size_t>(columns_.size(), 1));
    row.cells[0] = itemText;
    rows_.push_back(std::move(row));
    ids_.push_back(nextId_++);
    indexOfId_.push_back(rows_.size() - 1);
    size_t at = rows_.size() - 1;
    if (sorted_) at = MoveToPlace(at);
    if (rows_.size() == 1 && selectsFirstRow_) selectedId_ = ids_[0];
    if (observer_) observer_->ListRowsChanged();
    return at;
}

size_t ListView::SetCell(size_t row, size_t column, const std::string& text) {
    auto& cells = rows_.at(row).cells;
    if (column >= cells.size()) cells.resize(column + 1);
    cells[column] = text;
    if (sorted_ && static_cast<int>(column) == sortKey_) {
        size_t at = MoveToPlace(row);
        if (at != row) {
            if (observer_) observer_->ListRowsChanged();
            return at;
        }
    }
    if (observer_) observer_->ListCellChanged(row, column);
    return row;
}

void ListView::SetRowImage(size_t row, int image) {
    rows_.at(row).image = image;
    if (observer_) observer_->ListCellChanged(row, 0);
}

void ListView::SetRowKey(size_t row, std::string key) {
    rows_.at(row).key = std::move(key);
    if (observer_) observer_->ListCellChanged(row, 0);
}

void ListView::Clear() {
    rows_.clear();
    ids_.clear();
    indexOfId_.clear();
    indexStale_ = false;
    firstId_ = nextId_;
    selectedId_.reset();
    if (observer_) observer_->ListRowsChanged();
}

std::optional<size_t> ListView::IndexOfId(uint64_t id) const {
    if (id < firstId_ || id >= nextId_) return std::nullopt;
    if (indexStale_) {
        for (size_t i = 0; i < ids_.size(); ++i) indexOfId_[ids_[i] - firstId_] = i;
        indexStale_ = false;
    }
    return indexOfId_[id - firstId_];
}

std::optional<size_t> ListView::Selected() const {
    if (!selectedId_) return std::nullopt;
    return IndexOfId(*selectedId_);
}

void ListView::Select(std::optional<size_t> row) {
    if (row && *row < rows_.size())
        selectedId_ = ids_[*row];
    else
        selectedId_.reset();
    if (observer_) observer_->ListSelectionChanged();
}

void ListView::SortAll() {
    std::vector<size_t> order(rows_.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    // Equal keys keep the order the rows were added in: row ids grow with it.
    std::sort(order.begin(), order.end(), [this](size_t a, size_t b) {
        int c = CompareKeys(KeyOf(a), KeyOf(b));
        if (c == 0) return ids_[a] < ids_[b];
        return sortOrder_ == 0 ? c < 0 : c > 0;
    });
    std::vector<ListRow> rows;
    std::vector<uint64_t> ids;
    rows.reserve(rows_.size());
    ids.reserve(ids_.size());
    for (size_t i : order) {
        rows.push_back(std::move(rows_[i]));
        ids.push_back(ids_[i]);
    }
    rows_ = std::move(rows);
    ids_ = std::move(ids);
    indexStale_ = true;
}

void ListView::SetSorted(bool sorted) {
    sorted_ = sorted;
    if (sorted_) SortAll();
    if (observer_) observer_->ListRowsChanged();
}

void ListView::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    if (observer_) observer_->ListVisibilityChanged();
}

}  // namespace kelvorin
