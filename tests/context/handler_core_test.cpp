// The one method-handler core behind every arity: argument I converted by the converter of
// parameter I, in parameter order, and the default-argument policy of parameter I.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "test_classes.h"

namespace context_test {

// A parameter type whose conversions are logged; a value of 0 cannot become one.
struct Logged {
    long number;
};
inline std::vector<long> g_converted;  // numbers converted into Logged, in order

// A default-argument policy of the tests' own: the parameter defaults to 42.
enum Answer42_ {};

}  // namespace context_test

namespace Utils1s::Context {

template <>
struct Converter<context_test::Logged> {
    static context_test::Logged FromHost(const CValue& value) {
        const long number = static_cast<long>(value.GetNumeric());
        context_test::g_converted.push_back(number);
        if (number == 0) throw ArgumentTypeMismatchException("zero");
        return {number};
    }
};

template <>
struct DefaultArgument<context_test::Answer42_> {
    static bool Get(CValue& value) {
        value = 42L;
        return true;
    }
};

}  // namespace Utils1s::Context

namespace context_test {
namespace {

// Members of every shape the core must take: three parameters, const, noexcept.
struct Wide {
    std::vector<long> received;
    std::string Join(const std::string& text, unsigned number, bool flag) {
        return text + "/" + std::to_string(number) + "/" + (flag ? "yes" : "no");
    }
    void Three(Logged a, Logged b, Logged c) { received = {a.number, b.number, c.number}; }
    unsigned Size() const noexcept { return static_cast<unsigned>(received.size()); }
    bool Has(unsigned number) const { return number < received.size(); }
};

boost::shared_ptr<MethodHandlerBase<Wide>> HandlerOf(boost::shared_ptr<MethodHandlerTag> tag) {
    return boost::dynamic_pointer_cast<MethodHandlerBase<Wide>>(tag);
}

class HandlerCore : public ContextTest {
protected:
    void SetUp() override {
        ContextTest::SetUp();
        g_converted.clear();
    }
};

TEST_F(HandlerCore, ThreeParametersAreEachConvertedByTheirOwnConverter) {
    const auto join = HandlerOf(Method<Wide>(&Wide::Join));
    ASSERT_TRUE(join);
    EXPECT_EQ(join->GetParamCount(), 3);
    EXPECT_TRUE(join->HasResult());
    Wide wide;
    CValue text = TextValue("a"), number = NumberValue(-1), flag = NumberValue(5), result;
    CValue* args[] = {&text, &number, &flag};
    EXPECT_TRUE(join->Call(wide, result, args));
    EXPECT_STREQ(result.Format(), "a/4294967295/yes");
}

TEST_F(HandlerCore, ConversionsRunInParameterOrderAndTheFirstFailureStopsTheCall) {
    const auto three = HandlerOf(Method<Wide>(&Wide::Three));
    ASSERT_TRUE(three);
    EXPECT_FALSE(three->HasResult());
    Wide wide;
    CValue one = NumberValue(1), two = NumberValue(2), three_value = NumberValue(3), zero = NumberValue(0), result;

    CValue* good[] = {&one, &two, &three_value};
    EXPECT_TRUE(three->Call(wide, result, good));
    EXPECT_EQ(g_converted, (std::vector<long>{1, 2, 3}));
    EXPECT_EQ(wide.received, (std::vector<long>{1, 2, 3}));

    g_converted.clear();
    CValue* bad_second[] = {&three_value, &zero, &one};
    EXPECT_THROW(three->Call(wide, result, bad_second), ArgumentTypeMismatchException);
    EXPECT_EQ(g_converted, (std::vector<long>{3, 0})) << "the third argument is never converted";
    EXPECT_EQ(wide.received, (std::vector<long>{1, 2, 3})) << "the member is not called";
}

TEST_F(HandlerCore, ConstAndNoexceptMembersAreBound) {
    const auto size = HandlerOf(Method<Wide>(&Wide::Size));
    const auto has = HandlerOf(Method<Wide>(&Wide::Has));
    ASSERT_TRUE(size);
    ASSERT_TRUE(has);
    Wide wide;
    wide.received = {7, 8};
    CValue result, index = NumberValue(1);
    CValue* args[] = {&index};
    EXPECT_TRUE(size->Call(wide, result, nullptr));
    EXPECT_EQ(static_cast<long>(result.GetNumeric()), 2);
    EXPECT_TRUE(has->Call(wide, result, args));
    EXPECT_EQ(static_cast<long>(result.GetNumeric()), 1);
    index = NumberValue(2);
    EXPECT_TRUE(has->Call(wide, result, args));
    EXPECT_EQ(static_cast<long>(result.GetNumeric()), 0);
}

TEST_F(HandlerCore, EachParameterAnswersWithItsOwnDefaultPolicy) {
    const MethodHandler2<List, void, const std::string&, const CValue&, DefArgHandling::MustBeDefined_, Answer42_>
        put(&List::Put);
    CValue value = NumberValue(9);
    EXPECT_FALSE(put.GetDefArg(0, value));
    EXPECT_EQ(static_cast<long>(value.GetNumeric()), 9) << "no default: untouched";
    EXPECT_TRUE(put.GetDefArg(1, value));
    EXPECT_EQ(static_cast<long>(value.GetNumeric()), 42);
    value = NumberValue(9);
    for (const int outside : {-1, 2, 100}) EXPECT_FALSE(put.GetDefArg(outside, value));
    EXPECT_EQ(static_cast<long>(value.GetNumeric()), 9);

    const MethodHandler1<List, void, COLEDBData*, Answer42_> connect(&List::SetConnection);
    EXPECT_EQ(connect.GetParamCount(), 1);
    EXPECT_TRUE(connect.GetDefArg(0, value));
    EXPECT_FALSE(connect.GetDefArg(1, value));
}

}  // namespace
}  // namespace context_test
