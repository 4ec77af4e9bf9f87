#pragma once
#include "db/SecureBytes.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

class TLikePattern;

// An in-memory copy of the searched columns of table data: for each record
// number, the text of each column as the engine gives it to like(), or null.
// Rows are held in ascending record number; a row that goes away leaves a
// gap that is reused or squeezed out later.
class TSearchTable {
public:
    // The columns held, in this order: those the search offers and 分类.
    static constexpr std::size_t kColumns = 8;
    static const std::array<const char*, kColumns>& ColumnNames();
    // Index of a column by its name as statements write it, or -1.
    static int ColumnIndex(std::string_view name);

    using Cells = std::array<std::optional<std::string_view>, kColumns>;

    // Puts the row `id` in, replacing any row with that number.
    void put(std::int64_t id, const Cells& cells);
    void remove(std::int64_t id);

    // Record numbers of every row, ascending.
    std::vector<std::int64_t> allIds() const;
    // Record numbers of the rows whose column matches, ascending.
    std::vector<std::int64_t> select(int column, const TLikePattern& pattern) const;

    // Gives back what growing left unused, once the rows are in.
    void shrinkToFit();

    std::size_t rowCount() const { return ids_.size() - removed_; }
    // Bytes held for the copy.
    std::size_t memoryBytes() const;

private:
    static constexpr std::uint32_t kNull = 0xFFFFFFFFu;
    struct Column {
        TSecureBytes text;
        std::vector<std::uint32_t> start;
        std::vector<std::uint32_t> length; // kNull for null
        std::size_t stale = 0;             // bytes of text no row refers to
    };

    std::size_t slotOf(std::int64_t id) const; // first slot with a number >= id
    void fill(std::size_t slot, const Cells& cells);
    void dropText(std::size_t slot);
    void squeezeRows();
    void squeezeText(Column& column);

    std::vector<std::int64_t> ids_;
    std::vector<std::uint8_t> gone_; // 1 for a row removed
    std::size_t removed_ = 0;
    std::array<Column, kColumns> columns_;
};
