// Host values: kinds, copies, equality, and the references a value holds on a script object.

#include <gtest/gtest.h>

#include "platform/runtime/context.h"
#include "platform/runtime/value.h"

namespace {

// A script object that counts its own destruction.
class Probe : public CBLContext {
public:
    explicit Probe(int& deaths) : deaths_(deaths) {}
    ~Probe() override { ++deaths_; }
    const char* DisplayTypeName() const override { return "Probe"; }

private:
    int& deaths_;
};

TEST(ValueKinds, AssignmentSetsTheKindAndViews) {
    CValue value;
    EXPECT_EQ(value.GetKind(), CValue::Kind::Empty);
    EXPECT_STREQ(value.Format(), "");
    value = 12L;
    EXPECT_EQ(value.GetKind(), CValue::Kind::Number);
    EXPECT_STREQ(value.GetString(), "12");
    value = "  3.5 apples";
    EXPECT_EQ(value.GetKind(), CValue::Kind::String);
    EXPECT_EQ(value.GetNumeric(), CNumeric::Parse("3.5"));
    EXPECT_STREQ(value.Format(), "  3.5 apples");
    value = CNumeric::Parse("0.25");
    EXPECT_STREQ(value.Format(), "0.25");
    EXPECT_TRUE(value.m_String.IsEmpty());
}

TEST(ValueKinds, TextAssignedFromItsOwnStorageSurvives) {
    CValue value;
    value = "self";
    value = value.m_String.c_str();
    EXPECT_STREQ(value.Format(), "self");
}

TEST(ValueFormat, DisplayTextFollowsEveryChangeOfKindAndNumber) {
    CValue value;
    EXPECT_STREQ(value.Format(), "");
    value = 12L;
    EXPECT_STREQ(value.Format(), "12");
    value = CNumeric::Parse("-0.5");
    EXPECT_STREQ(value.Format(), "-0.5");
    value = "text";
    EXPECT_STREQ(value.Format(), "text");
    value = 7L;
    EXPECT_STREQ(value.Format(), "7");
    value.Reset();
    EXPECT_STREQ(value.Format(), "");
    value = CNumeric::Parse("1e300");
    EXPECT_STREQ(value.Format(), "1e+300");
}

TEST(ValueFormat, CopiesFormatOnTheirOwnAndEarlierTextsStayValid) {
    CValue number;
    number = 42L;
    const char* number_text = number.Format();
    CValue copy(number);
    CValue assigned;
    assigned = 1L;
    EXPECT_STREQ(assigned.Format(), "1");
    assigned = number;  // an assigned value shows the new number, not its earlier text
    EXPECT_STREQ(assigned.Format(), "42");
    const char* copy_text = copy.Format();
    EXPECT_STREQ(copy_text, "42");
    EXPECT_NE(copy_text, number_text);

    number = 5L;
    EXPECT_STREQ(number.Format(), "5");
    EXPECT_STREQ(copy_text, "42");  // the copy's text lives until the copy changes
    EXPECT_STREQ(assigned.Format(), "42");
    EXPECT_TRUE(copy == assigned);
    EXPECT_STREQ(copy.GetString(), "42");
    EXPECT_TRUE(copy.m_String.IsEmpty());
}

TEST(ValueFormat, AnObjectShowsItsTypeNameAndAnEmptiedValueNothing) {
    int deaths = 0;
    CValue value;
    value = 3L;
    EXPECT_STREQ(value.Format(), "3");
    value.AssignContext(new Probe(deaths));
    value.GetContext()->DecrRef();
    EXPECT_STREQ(value.Format(), "Probe");
    CValue copy(value);
    EXPECT_STREQ(copy.Format(), "Probe");
    value.Reset();
    EXPECT_STREQ(value.Format(), "");
    EXPECT_STREQ(copy.Format(), "Probe");
    copy = 8L;
    EXPECT_STREQ(copy.Format(), "8");
    EXPECT_EQ(deaths, 1);
}

TEST(ValueEquality, ComparesKindThenContent) {
    CValue a, b;
    EXPECT_TRUE(a == b);
    a = 1L;
    b = "1";
    EXPECT_FALSE(a == b);  // a number is not a text
    b = CNumeric::Parse("1.0");
    EXPECT_TRUE(a == b);
    a = "x";
    b = "x";
    EXPECT_TRUE(a == b);
    b = "X";
    EXPECT_FALSE(a == b);
}

TEST(ValueObjects, ValuesCountTheirReferencesAndTheLastOneDestroys) {
    int deaths = 0;
    auto* probe = new Probe(deaths);  // one reference: ours
    CValue first;
    first.AssignContext(probe);
    EXPECT_EQ(probe->RefCount(), 2);
    probe->DecrRef();  // the value now holds the only reference
    {
        CValue copy(first);
        CValue assigned;
        assigned = first;
        EXPECT_EQ(probe->RefCount(), 3);
        EXPECT_TRUE(copy == first);
        EXPECT_STREQ(copy.GetString(), "Probe");
    }
    EXPECT_EQ(probe->RefCount(), 1);
    EXPECT_EQ(deaths, 0);
    first = 5L;  // replacing the object releases it
    EXPECT_EQ(deaths, 1);
}

TEST(ValueObjects, ReassigningTheSameObjectDoesNotFreeItEarly) {
    int deaths = 0;
    CValue only;
    only.AssignContext(new Probe(deaths));
    only.GetContext()->DecrRef();
    CBLContext* object = only.GetContext();

    only.AssignContext(object);  // the value's own, only reference
    EXPECT_EQ(deaths, 0);
    CValue& same = only;
    only = same;
    EXPECT_EQ(deaths, 0);
    CValue other(only);
    only = other;  // same object through another value
    other.Reset();
    EXPECT_EQ(deaths, 0);
    EXPECT_EQ(object->RefCount(), 1);
    only.AssignContext(nullptr);
    EXPECT_EQ(only.GetKind(), CValue::Kind::Empty);
    EXPECT_EQ(deaths, 1);
}

TEST(ValueObjects, ObjectMadeNotToDieUnreferencedOutlivesItsValues) {
    CBLContext fixed(0);
    {
        CValue value;
        value.AssignContext(&fixed);
        fixed.DecrRef();  // the value holds the only reference
    }
    EXPECT_EQ(fixed.RefCount(), 0);  // still here: the owner destroys it
    EXPECT_EQ(fixed.GetDestroyUnRefd(), 0);
}

}  // namespace
