#pragma once
// The members of one script class: a method table and a property table, numbered separately.
// Built at module start-up, Russian name first, one line per member:
//   members.AddProperty(kName.c_str(), "Name", Property<CField>(&CField::GetName));
//   members.AddMethod(kCount.c_str(), "Count", Method<CFieldsCollection>(&CFieldsCollection::Count));
// (Method and Property: addin/context/binding.h.) Read-only once scripts run.

#include <utility>

#include <boost/shared_ptr.hpp>

#include "addin/context/handler_base.h"
#include "addin/context/member_table.h"

namespace Utils1s::Context {

class MemberRegistry {
public:
    MemberRegistry() = default;
    MemberRegistry(const MemberRegistry&) = delete;
    MemberRegistry& operator=(const MemberRegistry&) = delete;

    // Names are CP1251. Throws std::logic_error, changing nothing, for a name already in the table.
    void AddMethod(const char* russian, const char* english, boost::shared_ptr<MethodHandlerTag> handler) {
        methods_.Add(russian, english, std::move(handler));
    }
    void AddProperty(const char* russian, const char* english, boost::shared_ptr<PropHandlerTag> handler) {
        properties_.Add(russian, english, std::move(handler));
    }

    const MemberTable<MethodHandlerTag>& Methods() const { return methods_; }
    const MemberTable<PropHandlerTag>& Properties() const { return properties_; }

private:
    MemberTable<MethodHandlerTag> methods_;
    MemberTable<PropHandlerTag> properties_;
};

}  // namespace Utils1s::Context
