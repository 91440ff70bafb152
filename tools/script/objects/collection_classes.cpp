#include "tools/script/objects/collection_classes.h"

#include "tools/script/bridge/russian.h"
#include "tools/script/objects/value_list.h"
#include "tools/script/objects/value_table.h"

namespace script {

namespace {
constexpr int kObjectType = 100;
}  // namespace

CollectionClassRegistration::CollectionClassRegistration() {
    CBLContext::RegisterContextClass(&ValueList::classValueList, RU("СписокЗначений").data(), CType(kObjectType));
    CBLContext::RegisterContextClass(&ValueList::classValueList, "ValueList", CType(kObjectType));
    CBLContext::RegisterContextClass(&ValueTable::classValueTable, RU("ТаблицаЗначений").data(), CType(kObjectType));
    CBLContext::RegisterContextClass(&ValueTable::classValueTable, "ValueTable", CType(kObjectType));
}

CollectionClassRegistration::~CollectionClassRegistration() {
    for (int i = 0; i < 2; ++i) {
        CBLContext::UnRegisterContextClass(&ValueList::classValueList);
        CBLContext::UnRegisterContextClass(&ValueTable::classValueTable);
    }
}

}  // namespace script
