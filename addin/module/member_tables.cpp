#include "addin/module/member_tables.h"

#include "addin/context/binding.h"
#include "addin/provider/dynamic/vfp_provider_dynamic.h"
#include "addin/provider/fields_collection.h"
#include "addin/provider/static/vfp_provider_static.h"
#include "text/cp1251_literal.h"

namespace Rowlark {

using namespace OleDb::GridProvider;
using Utils1s::Context::Method;
using Utils1s::Context::MemberRegistry;
using Utils1s::Context::Property;

namespace {
// A Russian member name as the host's code page has it.
#define RU(text) []() { static constexpr cp1251::Literal kName{text}; return kName.c_str(); }()
}  // namespace

void AddFieldMembers(MemberRegistry& m) {
    m.AddProperty(RU("Имя"), "Name", Property<CField>(&CField::GetName));
}

void AddFieldsCollectionMembers(MemberRegistry& m) {
    m.AddMethod(RU("Количество"), "Count", Method<CFieldsCollection>(&CFieldsCollection::Count));
    m.AddMethod(RU("Получить"), "GetAt", Method<CFieldsCollection>(&CFieldsCollection::GetAt));
}

void AddStaticProviderMembers(MemberRegistry& m) {
    using P = CVfpProviderStatic;
    m.AddProperty(RU("ТекстЗапроса"), "QueryText", Property<P>(&P::GetQueryText, &P::SetQueryText));
    m.AddProperty(RU("КлючевоеПоле"), "KeyField", Property<P>(&P::GetKeyField, &P::SetKeyField));
    m.AddMethod(RU("УстановитьПодключение"), "SetConnection", Method<P>(&P::SetConnection));
    m.AddMethod(RU("ПолучитьДанные"), "GetData", Method<P>(&P::GetData));
    m.AddMethod(RU("Поля"), "Fields", Method<P>(&CProvider::GetFields));
    m.AddMethod(RU("УстановитьПараметр"), "SetParameter", Method<P>(&P::SetParameter));
}

void AddDynamicProviderMembers(MemberRegistry& m) {
    using P = CVfpProviderDynamic;
    m.AddProperty(RU("ТекстЗапроса"), "QueryText", Property<P>(&P::GetQueryText, &P::SetQueryText));
    m.AddProperty(RU("КлючевоеПолеЗапроса"), "KeyFieldQuery", Property<P>(&P::GetKeyFieldQuery, &P::SetKeyFieldQuery));
    m.AddProperty(RU("КлючевоеПолеОпорнойТаблицы"), "KeyFieldBaseTable",
                  Property<P>(&P::GetKeyFieldBaseTable, &P::SetKeyFieldBaseTable));
    m.AddProperty(RU("ОпорнаяТаблица"), "BaseTable", Property<P>(&P::GetBaseTable, &P::SetBaseTable));
    m.AddProperty(RU("РежимОтладки"), "DebugMode", Property<P>(&P::GetDebugMode, &P::SetDebugMode));
    m.AddProperty(RU("ТегИндекса"), "IndexTag", Property<P>(&P::GetIndexTag, &P::SetIndexTag));
    m.AddProperty(RU("ФильтрС"), "FilterFrom", Property<P>(&P::GetFilterFrom, &P::SetFilterFrom));
    m.AddProperty(RU("ФильтрПо"), "FilterTo", Property<P>(&P::GetFilterTo, &P::SetFilterTo));
    m.AddMethod(RU("УстановитьПодключение"), "SetConnection", Method<P>(&P::SetConnection));
    m.AddMethod(RU("ПолучитьДанные"), "GetData", Method<P>(&P::GetData));
    m.AddMethod(RU("Поля"), "Fields", Method<P>(&CProvider::GetFields));
    m.AddMethod(RU("УстановитьПараметр"), "SetParameter", Method<P>(&P::SetParameter));
}

#undef RU

}  // namespace Rowlark
