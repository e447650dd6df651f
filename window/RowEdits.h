#pragma once

#include <vector>

// How both windows move and remove the selected rows of the list. An order lists, for each
// place of the new list from the top, the row that was there before.
namespace RowEdits {
enum class Direction { Up, Down };

// Each selected row moves one place past its unselected neighbour; a selected row at the edge
// stays, and so do the selected rows next to it.
std::vector<int> MovedOrder(int count, const std::vector<int>& selected, Direction direction);
// The rows left once the selected ones are gone, in their order.
std::vector<int> KeptOrder(int count, const std::vector<int>& selected);
// The place that takes the selection once the selected rows are gone (`kept` being what is
// left): the row that took the first removed row's place, or the new last row; -1 if none.
int PlaceAfterRemoval(const std::vector<int>& kept, const std::vector<int>& selected);
// Where the rows of `rows` stand in `order`.
std::vector<int> PlacesOf(const std::vector<int>& order, const std::vector<int>& rows);
bool Changes(const std::vector<int>& order);
} // namespace RowEdits
