#pragma once
// The script's view of a provider's columns ("Count", "GetAt"). It holds its provider weakly and
// reads the provider's current FieldSet at every call, so it shows the latest load; once the
// provider is gone it behaves as a provider before any load.

#include <boost/shared_ptr.hpp>
#include <boost/weak_ptr.hpp>

#include "addin/provider/field.h"

namespace OleDb {
namespace GridProvider {

class CProvider;

class CFieldsCollection {
public:
    // A collection bound to no provider.
    CFieldsCollection() = default;
    explicit CFieldsCollection(boost::weak_ptr<CProvider* const> provider) : provider_(std::move(provider)) {}

    // "Count": fields in the current FieldSet, 0 when there is none.
    unsigned Count();
    // "GetAt": the field numbered index - 1 (indices run from 1 to Count). Otherwise raises
    // "Неверный индекс поля" and answers an empty pointer.
    boost::shared_ptr<CField> GetAt(unsigned index);

private:
    boost::weak_ptr<CProvider* const> provider_;
};

}  // namespace GridProvider
}  // namespace OleDb
