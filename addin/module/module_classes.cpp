#include "addin/module/module_classes.h"

#include <stdexcept>

#include "addin/context/class_records.h"
#include "addin/context/context.h"
#include "addin/module/class_names.h"
#include "addin/module/member_tables.h"
#include "addin/provider/dynamic/vfp_provider_dynamic.h"
#include "addin/provider/fields_collection.h"
#include "addin/provider/static/vfp_provider_static.h"

namespace Rowlark {

using namespace OleDb::GridProvider;
using Utils1s::Context::ClassRecords;
using Utils1s::Context::MemberRegistry;

namespace {

constexpr int kProviderTypeCode = 100;
std::string g_fail_members_of;

// Registry and runtime-class name of a class scripts cannot create by name. One exit item for the
// class: its registry, then its name.
template <class T>
void BuildInnerClass(std::vector<std::function<void()>>& exit_list, const char* english, const char* russian,
                     void (*add_members)(MemberRegistry&)) {
    MemberRegistry& members = ClassRecords<T>::CreateRegistry(russian);
    exit_list.push_back([] {
        ClassRecords<T>::ReleaseRegistry();
        ClassRecords<T>::ReleaseClassName();
    });
    add_members(members);
    ClassRecords<T>::CreateClassName(english);
}

// A provider: registry, host registration under both names, members, runtime-class name. One exit
// item for the class, entered as soon as the host knows it: unregistered once per name, then its
// registry, then its name, which the record the host knew points to until then.
template <class T>
void BuildProviderClass(std::vector<std::function<void()>>& exit_list, const char* english, const char* russian,
                        void (*add_members)(MemberRegistry&)) {
    MemberRegistry& members = ClassRecords<T>::CreateRegistry(russian);
    {
        const CType type(kProviderTypeCode);
        CBLContext::RegisterContextClass(ClassRecords<T>::RuntimeClass(), english, type);
        CBLContext::RegisterContextClass(ClassRecords<T>::RuntimeClass(), russian, type);
    }
    exit_list.push_back([] {
        CBLContext::UnRegisterContextClass(ClassRecords<T>::RuntimeClass());
        CBLContext::UnRegisterContextClass(ClassRecords<T>::RuntimeClass());
        ClassRecords<T>::ReleaseRegistry();
        ClassRecords<T>::ReleaseClassName();
    });
    if (g_fail_members_of == english) {
        g_fail_members_of.clear();
        throw std::runtime_error(std::string("cannot add the members of ") + english);
    }
    add_members(members);
    ClassRecords<T>::CreateClassName(english);
}

}  // namespace

ModuleClasses::ModuleClasses() {
    try {
        Build();
    } catch (const std::exception& error) {
        failure_ = error.what();
        Unwind();
    }
}

ModuleClasses::~ModuleClasses() { Unwind(); }

void ModuleClasses::Build() {
    BuildInnerClass<CField>(exit_list_, kFieldName, kFieldRussianName.c_str(), &AddFieldMembers);
    BuildInnerClass<CFieldsCollection>(exit_list_, kFieldsCollectionName, kFieldsCollectionRussianName.c_str(),
                                       &AddFieldsCollectionMembers);
    BuildProviderClass<CVfpProviderStatic>(exit_list_, kStaticProviderName, kStaticProviderRussianName.c_str(),
                                           &AddStaticProviderMembers);
    BuildProviderClass<CVfpProviderDynamic>(exit_list_, kDynamicProviderName, kDynamicProviderRussianName.c_str(),
                                            &AddDynamicProviderMembers);
}

void ModuleClasses::Unwind() {
    while (!exit_list_.empty()) {
        exit_list_.back()();
        exit_list_.pop_back();
    }
}

void ModuleClasses::FailMembersOf(const char* english_name) { g_fail_members_of = english_name ? english_name : ""; }

}  // namespace Rowlark
