#include "addin/provider/provider_base.h"
#include "tests/provider/provider_probe.h"

using OleDb::GridProvider::CProvider;
using OleDb::GridProvider::ParameterMap;
using test_support::Cp;

namespace {

class Parameters : public test_support::HostTest {};

CValue Number(long n) {
    CValue v;
    v = n;
    return v;
}

TEST_F(Parameters, SameNameTwiceKeepsOneEntryWithTheLatestValue) {
    ParameterMap parameters;
    CProvider::StoreParameter(parameters, "n", Number(1));
    CProvider::StoreParameter(parameters, "n", Number(2));
    ASSERT_EQ(1u, parameters.size());
    EXPECT_EQ(2L, static_cast<long>(parameters["n"].GetNumeric()));
}

TEST_F(Parameters, NamesDifferingInCaseAreTwoAndUpperCaseComesFirst) {
    ParameterMap parameters;
    CProvider::StoreParameter(parameters, Cp("имя"), Number(1));
    CProvider::StoreParameter(parameters, Cp("Имя"), Number(2));
    CProvider::StoreParameter(parameters, "name", Number(3));
    CProvider::StoreParameter(parameters, "Name", Number(4));
    ASSERT_EQ(4u, parameters.size());
    auto it = parameters.begin();
    EXPECT_EQ("Name", (it++)->first);
    EXPECT_EQ("name", (it++)->first);
    EXPECT_EQ(Cp("Имя"), (it++)->first);  // 0xC8 before 0xE8, both after ASCII
    EXPECT_EQ(Cp("имя"), (it++)->first);
}

TEST_F(Parameters, BoundParametersReachTheStatementByName) {
    test_support::TestDatabase db;
    ParameterMap parameters;
    CValue text;
    text = Cp("Молоко").c_str();
    CProvider::StoreParameter(parameters, "Name", Number(7));
    CProvider::StoreParameter(parameters, "name", text);
    OleDb::CCommandProxy command(db.connection()->CreateCommand());
    CProvider::BindParameters(parameters, command);
    CString sql("SELECT :Name AS a, :name AS b");
    LONG count = 0;
    auto result = command.ExecuteStatementExternalDirect(sql, count);
    ASSERT_TRUE(result.GetRow(0));
    CValue a, b;
    ASSERT_TRUE(result.GetFieldValue(0, a));
    ASSERT_TRUE(result.GetFieldValue(1, b));
    EXPECT_EQ(7L, static_cast<long>(a.GetNumeric()));
    EXPECT_EQ(Cp("Молоко"), std::string(b.GetString().view()));
}

TEST_F(Parameters, ConnectReplacesTheCommandAndANullCommandIsNotValid) {
    test_support::TestDatabase db;
    OleDb::CCommandProxy command;
    EXPECT_FALSE(command.IsValid());
    CProvider::Connect(db.connection(), command);
    EXPECT_TRUE(command.IsValid());
    CProvider::Connect(nullptr, command);
    EXPECT_FALSE(command.IsValid());
}

}  // namespace
