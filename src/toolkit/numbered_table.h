// Records kept by number, in the numbers' order. A sorted vector: the
// toolkit keeps a few dozen records at most, and one vector's code is far
// smaller than a tree's. A reference into the table lasts until the next
// record is added or removed.
#pragma once

#include <algorithm>
#include <utility>
#include <vector>

namespace brindle {

template <typename Key, typename Value>
class NumberedTable {
public:
    using Row = std::pair<Key, Value>;

    // The record under `key`, null when there is none.
    Value* find(const Key& key) {
        const auto row = firstNotBelow(key);
        return row != rows_.end() && row->first == key ? &row->second : nullptr;
    }

    // The record under `key`, added value-initialised when there is none.
    Value& operator[](const Key& key) {
        auto row = firstNotBelow(key);
        if (row == rows_.end() || row->first != key) row = rows_.insert(row, Row{key, Value{}});
        return row->second;
    }

    template <typename Predicate>
    void eraseIf(Predicate predicate) {
        std::erase_if(rows_, predicate);
    }

    bool empty() const { return rows_.empty(); }
    auto begin() { return rows_.begin(); }
    auto end() { return rows_.end(); }

private:
    auto firstNotBelow(const Key& key) {
        return std::lower_bound(rows_.begin(), rows_.end(), key,
                                [](const Row& row, const Key& wanted) { return row.first < wanted; });
    }

    std::vector<Row> rows_;
};

}  // namespace brindle
