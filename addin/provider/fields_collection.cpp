#include "addin/provider/fields_collection.h"

#include "addin/provider/provider_base.h"
#include "text/cp1251_literal.h"

namespace OleDb {
namespace GridProvider {

namespace {
// The provider's current FieldSet, or empty when the provider is gone or has loaded nothing.
FieldSetPtr CurrentFields(const boost::weak_ptr<CProvider* const>& provider) {
    const boost::shared_ptr<CProvider* const> alive = provider.lock();
    return alive ? (*alive)->GetFieldSet() : FieldSetPtr();
}
}  // namespace

unsigned CFieldsCollection::Count() {
    const FieldSetPtr fields = CurrentFields(provider_);
    return fields ? static_cast<unsigned>(fields->size()) : 0;
}

boost::shared_ptr<CField> CFieldsCollection::GetAt(unsigned index) {
    static constexpr cp1251::Literal kBadIndex{"Неверный индекс поля"};
    const FieldSetPtr fields = CurrentFields(provider_);
    if (fields && index != 0 && index <= fields->size()) {
        const auto& by_number = fields->get<ByNumber>();
        const auto found = by_number.find(index - 1);
        if (found != by_number.end()) return *found;
    }
    GetSystemInterface()->RaiseError(kBadIndex.str());
    return boost::shared_ptr<CField>();
}

}  // namespace GridProvider
}  // namespace OleDb
