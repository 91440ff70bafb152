#pragma once
// How much one value table or value list may hold. A script that asks for more (a mistyped row
// count, a loop that never ends) meets the host's run-time error before memory runs out, and the
// collection stays as it was. The defaults are far beyond what any report of the host's 32-bit
// world held, which ran out of memory long before: 16 Mi cells (a million rows of sixteen columns)
// take about 1.6 GB here, 10,000 columns is one for each day of 27 years.

#include <cstddef>

namespace script {

struct CollectionLimits {
    std::size_t cells = std::size_t{1} << 24;       // a table's rows times its columns (no columns: its rows)
    std::size_t columns = 10000;                    // a table's columns
    std::size_t list_items = std::size_t{1} << 24;  // a list's values
};

// Whether a table of this shape, or a list of this size, stays within the limits in force: the
// defaults, unless a ScopedCollectionLimits sets others.
bool TableFits(std::size_t rows, std::size_t columns);
bool ListFits(std::size_t items);

// Other limits while it lives (for tests, which reach a limit without the memory it guards).
class ScopedCollectionLimits {
public:
    explicit ScopedCollectionLimits(const CollectionLimits& limits);
    ~ScopedCollectionLimits();
    ScopedCollectionLimits(const ScopedCollectionLimits&) = delete;
    ScopedCollectionLimits& operator=(const ScopedCollectionLimits&) = delete;

private:
    CollectionLimits saved_;
};

}  // namespace script
