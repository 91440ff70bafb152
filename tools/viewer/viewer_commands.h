#pragma once
// The viewer's commands, one per line of input, applied to a grid:
//   n / p          the next / previous page        home / end   the first / last rows
//   /TEXT          type-ahead search for TEXT in the search column (static provider)
//   key N          the row whose key is N (static provider)
//   r              refresh                          q            quit
// Texts are UTF-8.

#include <string>

#include "platform/grid_component/grid_component.h"

namespace viewer {

struct Outcome {
    bool quit = false;
    std::string message;  // what to say besides the page; empty when the page says it all
};

Outcome Apply(grid_component::Grid& grid, const std::string& command, const std::string& search_column);

}  // namespace viewer
