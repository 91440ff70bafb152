// The host's class registry: names in any letter case, creation by name, one name removed per call.

#include <gtest/gtest.h>

#include "platform/runtime/context.h"
#include "platform/text/cp1251.h"
#include "platform/win/crt.h"
#include "platform/win/host_journal.h"

namespace {

class Made : public CBLContext {
public:
    static CObject* Create() { return new Made; }
    const char* DisplayTypeName() const override { return "Made"; }
};

CObject* CreatePlainObject() { return new CObject; }

class ClassRegistry : public ::testing::Test {
protected:
    void TearDown() override {
        while (CBLContext::RegistrationCount() > baseline_) {
            CBLContext::UnRegisterContextClass(&record_);
            CBLContext::UnRegisterContextClass(&plain_);
        }
    }
    CRuntimeClass record_{"Made", sizeof(Made), 0xFFFF, &Made::Create, &CBLContext::classCBLContext};
    CRuntimeClass plain_{"Plain", sizeof(CObject), 0xFFFF, &CreatePlainObject, &CObject::classCObject};
    const int baseline_ = CBLContext::RegistrationCount();
    const std::string russian_ = cp1251::FromUtf8("Тест.Ёлка");
};

TEST_F(ClassRegistry, NameIsFoundInAnyLetterCaseWhateverTheLocale) {
    CBLContext::RegisterContextClass(&record_, russian_.c_str(), CType(100));
    crt::SetLocale(crt::Locale::C);
    EXPECT_TRUE(CBLContext::IsRegistered(cp1251::FromUtf8("ТЕСТ.ЁЛКА").c_str()));
    EXPECT_TRUE(CBLContext::IsRegistered(cp1251::FromUtf8("тест.ёлка").c_str()));
    EXPECT_EQ(crt::GetLocale(), crt::Locale::C);  // the lookup left the locale alone
    EXPECT_FALSE(CBLContext::IsRegistered(cp1251::FromUtf8("Тест.Елка").c_str()));
}

TEST_F(ClassRegistry, CreateByNameGivesAValueHoldingTheOnlyReference) {
    CBLContext::RegisterContextClass(&record_, "Test.Made", CType(100));
    CValue value;
    ASSERT_TRUE(CBLContext::CreateByName("test.MADE", value));
    ASSERT_NE(dynamic_cast<Made*>(value.GetContext()), nullptr);
    EXPECT_EQ(value.GetContext()->RefCount(), 1);
    CValue untouched;
    untouched = 3L;
    EXPECT_FALSE(CBLContext::CreateByName("Test.Unknown", untouched));
    EXPECT_EQ(static_cast<long>(untouched.GetNumeric()), 3);
}

TEST_F(ClassRegistry, RecordThatMakesNoScriptObjectCreatesNothing) {
    CBLContext::RegisterContextClass(&plain_, "Test.Plain", CType(100));
    CValue value;
    EXPECT_FALSE(CBLContext::CreateByName("Test.Plain", value));
    EXPECT_EQ(value.GetKind(), CValue::Kind::Empty);
}

TEST_F(ClassRegistry, UnRegisterRemovesOneNamePerCallEarliestFirst) {
    host_journal::Clear();
    CBLContext::RegisterContextClass(&record_, "Test.Made", CType(100));
    CBLContext::RegisterContextClass(&record_, russian_.c_str(), CType(100));
    EXPECT_EQ(CBLContext::RegistrationCount(), baseline_ + 2);

    CBLContext::UnRegisterContextClass(&record_);
    EXPECT_FALSE(CBLContext::IsRegistered("Test.Made"));
    EXPECT_TRUE(CBLContext::IsRegistered(russian_.c_str()));
    CBLContext::UnRegisterContextClass(&record_);
    EXPECT_FALSE(CBLContext::IsRegistered(russian_.c_str()));
    CBLContext::UnRegisterContextClass(&record_);  // nothing left: no effect
    EXPECT_EQ(CBLContext::RegistrationCount(), baseline_);

    const std::vector<std::string> expected = {"RegisterContextClass Test.Made 100",
                                               "RegisterContextClass " + russian_ + " 100",
                                               "UnRegisterContextClass Made", "UnRegisterContextClass Made",
                                               "UnRegisterContextClass Made"};
    EXPECT_EQ(host_journal::Entries(), expected);
}

TEST_F(ClassRegistry, NameRegisteredAgainMovesToTheNewRecord) {
    CBLContext::RegisterContextClass(&plain_, "Test.Name", CType(100));
    CBLContext::RegisterContextClass(&record_, "TEST.NAME", CType(100));
    EXPECT_EQ(CBLContext::RegistrationCount(), baseline_ + 1);
    CValue value;
    EXPECT_TRUE(CBLContext::CreateByName("Test.Name", value));
}

TEST(RuntimeClass, DerivationFollowsTheBaseChain) {
    EXPECT_TRUE(CBLContext::classCBLContext.IsDerivedFrom(&CObject::classCObject));
    EXPECT_FALSE(CObject::classCObject.IsDerivedFrom(&CBLContext::classCBLContext));
    CBLContext plain;
    EXPECT_EQ(plain.GetRuntimeClass(), &CBLContext::classCBLContext);
}

}  // namespace
