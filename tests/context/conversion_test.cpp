// The conversions between host values and native parameters and results, seen through calls.

#include <gtest/gtest.h>

#include "test_classes.h"

namespace context_test {
namespace {

class Conversion : public ContextTest {
protected:
    int Invoke(const char* method, CValue& result, std::initializer_list<CValue*> arguments) {
        std::vector<CValue*> args(arguments);
        return list.InvokeAsFunction(list.LookupMethod(method), result, args.data());
    }
    boost::shared_ptr<List> native = boost::make_shared<List>();
    CContext<List> list{native};
};

TEST_F(Conversion, UnsignedArgumentIsThe32BitViewOfTheNumber) {
    CValue result;
    CValue minus_one = NumberValue(-1);
    EXPECT_EQ(Invoke("GetAt", result, {&minus_one}), 1);
    EXPECT_EQ(native->last_index, 4294967295u);

    CValue text = TextValue("3");
    Invoke("GetAt", result, {&text});
    EXPECT_EQ(native->last_index, 3u);

    CValue fraction;
    fraction = CNumeric::Parse("7.9");
    Invoke("GetAt", result, {&fraction});
    EXPECT_EQ(native->last_index, 7u);

    CValue large;
    large = CNumeric::Parse("4294967298");  // 2^32 + 2
    Invoke("GetAt", result, {&large});
    EXPECT_EQ(native->last_index, 2u);

    CValue empty;
    Invoke("GetAt", result, {&empty});
    EXPECT_EQ(native->last_index, 0u);
    EXPECT_TRUE(host_errors::Raised().empty());
}

TEST_F(Conversion, UnsignedResultIsTakenAsA32BitSignedNumber) {
    CValue result;
    native->count_override = 4294967295u;
    Invoke("Count", result, {});
    EXPECT_EQ(result.GetKind(), CValue::Kind::Number);
    EXPECT_STREQ(result.Format(), "-1");
    native->count_override = 7;
    Invoke("Count", result, {});
    EXPECT_STREQ(result.Format(), "7");
}

TEST_F(Conversion, BooleanPropertyReadsBackAsOneOrZero) {
    CContext<Provider> provider;
    const int flag = provider.LookupProperty("flag");
    CValue out;
    for (const auto& [written, read] : {std::pair<long, long>{5, 1}, {0, 0}, {-3, 1}, {1, 1}}) {
        EXPECT_EQ(provider.WriteProperty(flag, NumberValue(written)), 1);
        EXPECT_EQ(provider.ReadProperty(flag, out), 1);
        EXPECT_EQ(out.GetKind(), CValue::Kind::Number);
        EXPECT_EQ(static_cast<long>(out.GetNumeric()), read) << "written " << written;
    }
    EXPECT_EQ(provider.WriteProperty(flag, TextValue("2")), 1);
    provider.ReadProperty(flag, out);
    EXPECT_EQ(static_cast<long>(out.GetNumeric()), 1);
}

TEST_F(Conversion, TextArgumentKeepsEmbeddedNulAndTextResultIsCutThere) {
    const std::string with_nul("ab\0cd", 5);
    CValue argument = TextValue(with_nul);
    CValue result = NumberValue(8);
    EXPECT_EQ(Invoke("Echo", result, {&argument}), 1);
    EXPECT_EQ(native->last_text, with_nul);
    EXPECT_EQ(result.GetKind(), CValue::Kind::String);
    EXPECT_EQ(result.m_String.GetLength(), 2);
    EXPECT_STREQ(result.Format(), "ab");
}

TEST_F(Conversion, TextResultIsAFreshTextValueEvenWhenEmpty) {
    CValue argument = TextValue("");
    CValue result = NumberValue(8);
    Invoke("Echo", result, {&argument});
    EXPECT_EQ(result.GetKind(), CValue::Kind::String);
    EXPECT_STREQ(result.Format(), "");

    const std::string russian = Cp("Рядовид ЁЛКА");
    argument = TextValue(russian);
    Invoke("Echo", result, {&argument});
    EXPECT_EQ(std::string(result.Format()), russian);
}

TEST_F(Conversion, NumberArgumentForTextIsItsText) {
    CValue argument;
    argument = CNumeric::Parse("12.50");
    CValue result;
    Invoke("Echo", result, {&argument});
    EXPECT_EQ(native->last_text, "12.5");
}

TEST_F(Conversion, TextPropertyRoundTripsThroughCopyGetterAndReferenceSetter) {
    auto provider_native = boost::make_shared<Provider>();
    CContext<Provider> provider(provider_native);
    const int text = provider.LookupProperty(Cp("ТЕКСТ").c_str());
    EXPECT_EQ(provider.WriteProperty(text, TextValue("select 1")), 1);
    EXPECT_EQ(provider_native->text, "select 1");
    CValue out;
    EXPECT_EQ(provider.ReadProperty(text, out), 1);
    EXPECT_STREQ(out.Format(), "select 1");
}

TEST_F(Conversion, HostValueArgumentIsTheCallersOwnValue) {
    CValue name = TextValue("p1");
    CValue value = NumberValue(12);
    CValue result;
    EXPECT_EQ(Invoke("Put", result, {&name, &value}), 1);
    EXPECT_EQ(native->last_text, "p1");
    EXPECT_EQ(native->last_value, &value);
    EXPECT_EQ(result.GetKind(), CValue::Kind::Empty);
}

TEST_F(Conversion, ConnectionArgumentIsTheObjectTheValueHolds) {
    CValue connection;
    auto* data = new COLEDBData();
    connection.AssignContext(data);
    data->DecrRef();
    CValue result;
    EXPECT_EQ(Invoke("SetConnection", result, {&connection}), 1);
    EXPECT_EQ(native->connection, data);
    EXPECT_TRUE(host_errors::Raised().empty());
    EXPECT_EQ(data->RefCount(), 1);  // the call took no reference of its own
}

TEST_F(Conversion, ObjectResultsAreDistinctScriptObjectsSharingOneNativeObject) {
    auto field = boost::make_shared<Item>();
    field->name = "id";
    native->items.push_back(field);
    CValue index = NumberValue(0);
    CValue first;
    CValue second;
    EXPECT_EQ(Invoke("GetAt", first, {&index}), 1);
    EXPECT_EQ(Invoke("GetAt", second, {&index}), 1);

    ASSERT_NE(first.GetContext(), nullptr);
    ASSERT_NE(second.GetContext(), nullptr);
    EXPECT_NE(first.GetContext(), second.GetContext());
    EXPECT_EQ(first.GetContext()->RefCount(), 1);  // the value holds the only reference
    EXPECT_EQ(field.use_count(), 4);               // test, list, two script objects
    EXPECT_EQ(std::string(first.GetContext()->DisplayTypeName()), kItemType.view());

    CValue name;
    EXPECT_EQ(second.GetContext()->ReadProperty(0, name), 1);
    EXPECT_STREQ(name.Format(), "id");

    first.Reset();
    EXPECT_EQ(field.use_count(), 3);
    native->items.clear();
    field.reset();
    // The native object lives on in the remaining script object.
    EXPECT_EQ(second.GetContext()->ReadProperty(0, name), 1);
    EXPECT_STREQ(name.Format(), "id");
}

TEST_F(Conversion, EmptyObjectResultGivesAnEmptyValue) {
    CValue index = NumberValue(5);
    CValue result = NumberValue(1);
    EXPECT_EQ(Invoke("GetAt", result, {&index}), 1);
    EXPECT_EQ(result.GetKind(), CValue::Kind::Empty);
    EXPECT_EQ(result.GetContext(), nullptr);
}

}  // namespace
}  // namespace context_test
