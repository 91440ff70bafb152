#include "tools/script/objects/collection_limits.h"

#include <algorithm>

namespace script {

namespace {

CollectionLimits& InForce() {
    static CollectionLimits limits;
    return limits;
}

}  // namespace

bool TableFits(std::size_t rows, std::size_t columns) {
    const CollectionLimits& limits = InForce();
    return columns <= limits.columns && rows <= limits.cells / std::max<std::size_t>(columns, 1);
}

bool ListFits(std::size_t items) { return items <= InForce().list_items; }

ScopedCollectionLimits::ScopedCollectionLimits(const CollectionLimits& limits) : saved_(InForce()) {
    InForce() = limits;
}

ScopedCollectionLimits::~ScopedCollectionLimits() { InForce() = saved_; }

}  // namespace script
