#pragma once
// The columns of one load, searchable by name (byte-wise, case-sensitive) and by number; both
// indices are unique, so a repeated column name keeps only its first column.
// Shared by the provider that built it and by every row made from that load.

#include <boost/multi_index/ordered_index.hpp>
#include <boost/multi_index/tag.hpp>
#include <boost/multi_index_container.hpp>
#include <boost/shared_ptr.hpp>

#include "addin/provider/field.h"

namespace OleDb {
namespace GridProvider {

struct ByName {};
struct ByNumber {};

// std::less<std::string> compares as unsigned bytes, the shorter prefix first.
using FieldSet = boost::multi_index_container<
    boost::shared_ptr<CField>,
    boost::multi_index::indexed_by<
        boost::multi_index::ordered_unique<
            boost::multi_index::tag<ByName>,
            CField::NameGetter>,
        boost::multi_index::ordered_unique<
            boost::multi_index::tag<ByNumber>,
            CField::NumberGetter>>>;

using FieldSetPtr = boost::shared_ptr<FieldSet>;

}  // namespace GridProvider
}  // namespace OleDb
