#pragma once

#include <utility>

// The rows that take the current one's place when it and the chosen rows go (deleted, renamed
// away): the nearest row below that is not chosen, and the nearest above; -1 where there is none.
template <class Chosen>
std::pair<int, int> NeighbourRows(int current, int rowCount, Chosen chosen) {
    std::pair<int, int> found{-1, -1};
    for (int row = current + 1; row < rowCount && found.first < 0; ++row)
        if (!chosen(row))
            found.first = row;
    for (int row = current - 1; row >= 0 && found.second < 0; --row)
        if (!chosen(row))
            found.second = row;
    return found;
}
