#include "db/SearchTable.h"
#include "db/LikeMatch.h"

#include <algorithm>
#include <new>

namespace {

// Gaps and unused text are squeezed out once they make up this share.
constexpr std::size_t kSqueezeShare = 4;
constexpr std::size_t kSqueezeFloor = 4096;

} // namespace

const std::array<const char*, TSearchTable::kColumns>& TSearchTable::ColumnNames()
{
    static const std::array<const char*, kColumns> names = {"分类", "姓名", "身份证", "手机",
                                                            "电话", "来由", "地址",   "备注"};
    return names;
}

int TSearchTable::ColumnIndex(std::string_view name)
{
    const auto& names = ColumnNames();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (name == names[i])
            return static_cast<int>(i);
    return -1;
}

std::size_t TSearchTable::slotOf(std::int64_t id) const
{
    return static_cast<std::size_t>(std::lower_bound(ids_.begin(), ids_.end(), id) - ids_.begin());
}

void TSearchTable::fill(std::size_t slot, const Cells& cells)
{
    for (std::size_t c = 0; c < kColumns; ++c) {
        Column& column = columns_[c];
        const auto& cell = cells[c];
        // Offsets are 32-bit: a column beyond 4 GB cannot be held.
        if (cell && (cell->size() >= kNull || column.text.size() + cell->size() >= kNull))
            throw std::bad_alloc();
        column.start[slot] = cell ? static_cast<std::uint32_t>(column.text.append(*cell)) : 0;
        column.length[slot] = cell ? static_cast<std::uint32_t>(cell->size()) : kNull;
    }
}

void TSearchTable::dropText(std::size_t slot)
{
    for (Column& column : columns_) {
        if (column.length[slot] == kNull)
            continue;
        column.text.wipe(column.start[slot], column.length[slot]);
        column.stale += column.length[slot];
        column.length[slot] = kNull;
    }
}

void TSearchTable::put(std::int64_t id, const Cells& cells)
{
    std::size_t slot = slotOf(id);
    if (slot < ids_.size() && ids_[slot] == id) {
        dropText(slot);
        if (gone_[slot]) {
            gone_[slot] = 0;
            --removed_;
        }
    } else {
        // New numbers come last, except those written with a number of their own.
        ids_.insert(ids_.begin() + static_cast<std::ptrdiff_t>(slot), id);
        gone_.insert(gone_.begin() + static_cast<std::ptrdiff_t>(slot), 0);
        for (Column& column : columns_) {
            column.start.insert(column.start.begin() + static_cast<std::ptrdiff_t>(slot), 0);
            column.length.insert(column.length.begin() + static_cast<std::ptrdiff_t>(slot), kNull);
        }
    }
    fill(slot, cells);
    for (Column& column : columns_)
        if (column.stale > kSqueezeFloor && column.stale > column.text.size() / 2)
            squeezeText(column);
}

void TSearchTable::remove(std::int64_t id)
{
    const std::size_t slot = slotOf(id);
    if (slot >= ids_.size() || ids_[slot] != id || gone_[slot])
        return;
    dropText(slot);
    gone_[slot] = 1;
    ++removed_;
    if (removed_ > kSqueezeFloor && removed_ > ids_.size() / kSqueezeShare)
        squeezeRows();
}

void TSearchTable::squeezeRows()
{
    std::size_t kept = 0;
    for (std::size_t slot = 0; slot < ids_.size(); ++slot) {
        if (gone_[slot])
            continue;
        ids_[kept] = ids_[slot];
        gone_[kept] = 0;
        for (Column& column : columns_) {
            column.start[kept] = column.start[slot];
            column.length[kept] = column.length[slot];
        }
        ++kept;
    }
    ids_.resize(kept);
    gone_.resize(kept);
    for (Column& column : columns_) {
        column.start.resize(kept);
        column.length.resize(kept);
    }
    removed_ = 0;
}

void TSearchTable::squeezeText(Column& column)
{
    TSecureBytes text;
    for (std::size_t slot = 0; slot < ids_.size(); ++slot) {
        if (column.length[slot] == kNull)
            continue;
        column.start[slot] = static_cast<std::uint32_t>(
            text.append(std::string_view(column.text.data() + column.start[slot], column.length[slot])));
    }
    column.text = std::move(text);
    column.stale = 0;
}

std::vector<std::int64_t> TSearchTable::allIds() const
{
    if (removed_ == 0)
        return ids_;
    std::vector<std::int64_t> ids;
    ids.reserve(rowCount());
    for (std::size_t slot = 0; slot < ids_.size(); ++slot)
        if (!gone_[slot])
            ids.push_back(ids_[slot]);
    return ids;
}

std::vector<std::int64_t> TSearchTable::select(int column, const TLikePattern& pattern) const
{
    std::vector<std::int64_t> found;
    const Column& held = columns_.at(static_cast<std::size_t>(column));
    const char* text = held.text.data();
    const std::size_t n = ids_.size();
    for (std::size_t slot = 0; slot < n; ++slot) {
        // A removed row's cells read as null.
        const std::uint32_t length = held.length[slot];
        if (length != kNull && pattern.matches(std::string_view(text + held.start[slot], length)))
            found.push_back(ids_[slot]);
    }
    return found;
}

void TSearchTable::shrinkToFit()
{
    ids_.shrink_to_fit();
    gone_.shrink_to_fit();
    for (Column& column : columns_) {
        column.text.shrinkToFit();
        column.start.shrink_to_fit();
        column.length.shrink_to_fit();
    }
}

std::size_t TSearchTable::memoryBytes() const
{
    std::size_t bytes = ids_.capacity() * sizeof(std::int64_t) + gone_.capacity();
    for (const Column& column : columns_)
        bytes += column.text.capacity() + (column.start.capacity() + column.length.capacity()) * sizeof(std::uint32_t);
    return bytes;
}
