#include "RowEdits.h"

#include <algorithm>
#include <numeric>

namespace {

std::vector<bool> Marks(int count, const std::vector<int>& rows) {
    std::vector<bool> marks(static_cast<std::size_t>(std::max(count, 0)), false);
    for (const int row : rows) {
        if (row >= 0 && row < count) {
            marks[static_cast<std::size_t>(row)] = true;
        }
    }
    return marks;
}

} // namespace

std::vector<int> RowEdits::MovedOrder(int count, const std::vector<int>& selected,
                                      Direction direction) {
    std::vector<int> order(static_cast<std::size_t>(std::max(count, 0)));
    std::iota(order.begin(), order.end(), 0);
    const std::vector<bool> marked = Marks(count, selected);
    // Walking from the edge the rows move towards, a row that moved is never met again.
    const auto swapPast = [&](auto first, auto last) {
        for (auto place = first; place != last && std::next(place) != last; ++place) {
            const auto next = std::next(place);
            if (marked[static_cast<std::size_t>(*next)] &&
                !marked[static_cast<std::size_t>(*place)]) {
                std::iter_swap(place, next);
            }
        }
    };
    if (direction == Direction::Up) {
        swapPast(order.begin(), order.end());
    } else {
        swapPast(order.rbegin(), order.rend());
    }
    return order;
}

std::vector<int> RowEdits::KeptOrder(int count, const std::vector<int>& selected) {
    const std::vector<bool> marked = Marks(count, selected);
    std::vector<int> kept;
    kept.reserve(marked.size());
    for (int row = 0; row < count; ++row) {
        if (!marked[static_cast<std::size_t>(row)]) {
            kept.push_back(row);
        }
    }
    return kept;
}

int RowEdits::PlaceAfterRemoval(const std::vector<int>& kept, const std::vector<int>& selected) {
    if (selected.empty()) {
        return -1;
    }
    return std::min(*std::min_element(selected.begin(), selected.end()),
                    static_cast<int>(kept.size()) - 1);
}

std::vector<int> RowEdits::PlacesOf(const std::vector<int>& order, const std::vector<int>& rows) {
    std::vector<int> places;
    places.reserve(rows.size());
    for (std::size_t place = 0; place < order.size(); ++place) {
        if (std::find(rows.begin(), rows.end(), order[place]) != rows.end()) {
            places.push_back(static_cast<int>(place));
        }
    }
    return places;
}

bool RowEdits::Changes(const std::vector<int>& order) {
    for (std::size_t place = 0; place < order.size(); ++place) {
        if (order[place] != static_cast<int>(place)) {
            return true;
        }
    }
    return false;
}
