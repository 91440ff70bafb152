// The per-class records, creation through the runtime-class record, ownership of the native
// object, and the grid's way in through GetInterface.

#include <boost/weak_ptr.hpp>
#include <gtest/gtest.h>

#include "test_classes.h"

namespace context_test {
namespace {

using Records = ContextTest;

TEST_F(Records, RuntimeClassRecordDescribesTheWrapper) {
    CContext<List> list;
    CRuntimeClass* record = list.GetRuntimeClass();
    EXPECT_EQ(record, ClassRecords<List>::RuntimeClass());
    EXPECT_STREQ(record->m_lpszClassName, "CContext_Test.List");
    EXPECT_EQ(record->m_wSchema, 0xFFFFu);
    EXPECT_EQ(record->m_nObjectSize, static_cast<int>(sizeof(CContext<List>)));
    EXPECT_EQ(record->m_pBaseClass, &CBLContext::classCBLContext);
    EXPECT_TRUE(record->IsDerivedFrom(&CObject::classCObject));
    EXPECT_NE(ClassRecords<Item>::RuntimeClass(), record);
}

TEST_F(Records, ClassNameIsReleasedSeparatelyFromTheRegistry) {
    ClassRecords<Item>::ReleaseClassName();
    EXPECT_EQ(ClassRecords<Item>::RuntimeClass()->m_lpszClassName, nullptr);
    EXPECT_TRUE(ClassRecords<Item>::HasRegistry());
    ClassRecords<Item>::ReleaseRegistry();
    EXPECT_FALSE(ClassRecords<Item>::HasRegistry());
    EXPECT_THROW(ClassRecords<Item>::Members(), std::logic_error);
}

TEST_F(Records, RegistryCannotBeCreatedTwice) {
    EXPECT_THROW(ClassRecords<List>::CreateRegistry("again"), std::logic_error);
    EXPECT_EQ(ClassRecords<List>::Members().Methods().Count(), 6);  // the first one is intact
}

TEST_F(Records, RecordCreatesAWrapperOwningAFreshObject) {
    CObject* made = ClassRecords<Provider>::RuntimeClass()->CreateObject();
    auto* provider = dynamic_cast<CContext<Provider>*>(made);
    ASSERT_NE(provider, nullptr);
    EXPECT_EQ(provider->RefCount(), 1);
    EXPECT_EQ(std::string(provider->DisplayTypeName()), kProviderType.view());

    CObject* other = ClassRecords<Provider>::RuntimeClass()->CreateObject();
    CValue text;
    provider->WriteProperty(0, TextValue("mine"));
    dynamic_cast<CContext<Provider>*>(other)->ReadProperty(0, text);
    EXPECT_STREQ(text.Format(), "");  // each object has its own native object
    provider->DecrRef();
    dynamic_cast<CBLContext*>(other)->DecrRef();
}

TEST_F(Records, HostCreatesByEitherRegisteredNameInAnyCase) {
    CRuntimeClass* record = ClassRecords<Provider>::RuntimeClass();
    const std::string russian = Cp("Тест.Поставщик");
    CBLContext::RegisterContextClass(record, "Test.Provider", CType(100));
    CBLContext::RegisterContextClass(record, russian.c_str(), CType(100));

    CValue by_english;
    CValue by_russian;
    ASSERT_TRUE(CBLContext::CreateByName("TEST.PROVIDER", by_english));
    ASSERT_TRUE(CBLContext::CreateByName(Cp("ТЕСТ.ПОСТАВЩИК").c_str(), by_russian));
    EXPECT_EQ(by_english.GetContext()->GetRuntimeClass(), by_russian.GetContext()->GetRuntimeClass());
    EXPECT_NE(by_english.GetContext(), by_russian.GetContext());
    EXPECT_EQ(by_english.GetContext()->RefCount(), 1);
    EXPECT_STREQ(by_english.GetString(), by_russian.GetString());

    CBLContext::UnRegisterContextClass(record);
    CBLContext::UnRegisterContextClass(record);
    EXPECT_FALSE(CBLContext::IsRegistered("Test.Provider"));
    EXPECT_FALSE(CBLContext::IsRegistered(russian.c_str()));
}

TEST_F(Records, WrapperAndOtherOwnersShareTheObjectUntilTheLastLetsGo) {
    auto native = boost::make_shared<Item>();
    boost::weak_ptr<Item> watch = native;
    CValue value;
    value.AssignContext(new CContext<Item>(native));
    value.GetContext()->DecrRef();
    EXPECT_EQ(native.use_count(), 2);

    CValue copy = value;
    EXPECT_EQ(value.GetContext()->RefCount(), 2);
    value.Reset();
    EXPECT_EQ(copy.GetContext()->RefCount(), 1);
    native.reset();
    EXPECT_FALSE(watch.expired());  // the script object still owns it
    copy.Reset();
    EXPECT_TRUE(watch.expired());
}

TEST_F(Records, ProviderOffersBothGridInterfacesSharingItsObject) {
    auto native = boost::make_shared<Provider>();
    auto* provider = new CContext<Provider>(native);
    CContextBase* base = provider;

    boost::shared_ptr<void> out;
    ASSERT_TRUE(base->GetInterface(kDataProviderInterface, out));
    auto data_provider = boost::static_pointer_cast<CDataProvider>(out);
    EXPECT_EQ(data_provider.get(), static_cast<CDataProvider*>(native.get()));

    ASSERT_TRUE(base->GetInterface(kV7DataProviderInterface, out));
    auto v7_provider = boost::static_pointer_cast<CV7DataProvider>(out);
    EXPECT_EQ(v7_provider.get(), static_cast<CV7DataProvider*>(native.get()));

    boost::weak_ptr<Provider> watch = native;
    native.reset();
    out.reset();
    provider->DecrRef();
    EXPECT_FALSE(watch.expired());  // the grid's pointers keep the provider
    data_provider.reset();
    v7_provider.reset();
    EXPECT_TRUE(watch.expired());
}

TEST_F(Records, OtherKindsAndNonProvidersLeaveTheOutputAlone) {
    const auto sentinel = boost::make_shared<int>(7);
    boost::shared_ptr<void> out = sentinel;
    CContext<Provider> provider;
    CContext<Item> item;
    for (const int kind : {0, 3, -1}) EXPECT_FALSE(provider.GetInterface(kind, out));
    for (const int kind : {1, 2, 3}) EXPECT_FALSE(item.GetInterface(kind, out));
    EXPECT_EQ(out, sentinel);
}

TEST_F(Records, ProviderWrapperAroundNoObjectGivesAnEmptyInterface) {
    CContext<Provider> provider{boost::shared_ptr<Provider>()};
    boost::shared_ptr<void> out = boost::make_shared<int>(1);
    EXPECT_TRUE(provider.GetInterface(kDataProviderInterface, out));
    EXPECT_FALSE(out);
}

TEST_F(Records, ScriptObjectIsFoundAsContextBaseFromTheHostValue) {
    CValue value;
    ASSERT_TRUE(value.GetContext() == nullptr);
    value.AssignContext(new CContext<List>());
    value.GetContext()->DecrRef();
    auto* base = dynamic_cast<CContextBase*>(value.GetContext());
    ASSERT_NE(base, nullptr);
    EXPECT_EQ(&base->GetMembers(), &ClassRecords<List>::Members());
}

}  // namespace
}  // namespace context_test
