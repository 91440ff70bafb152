// How a script object passes the host's requests to its handlers: index checks, properties
// without a setter, default arguments, procedures, and the one road of the argument-type error.

#include <gtest/gtest.h>

#include "test_classes.h"

namespace context_test {
namespace {

using Dispatch = ContextTest;

TEST_F(Dispatch, ReadOnlyPropertyCannotBeWrittenAndStaysUnchanged) {
    auto native = boost::make_shared<Item>();
    native->name = "id";
    CContext<Item> item(native);
    EXPECT_EQ(item.CanReadProperty(0), 1);
    EXPECT_EQ(item.CanWriteProperty(0), 0);
    EXPECT_EQ(item.WriteProperty(0, TextValue("other")), 0);
    EXPECT_EQ(native->name, "id");
    CValue out;
    EXPECT_EQ(item.ReadProperty(0, out), 1);
    EXPECT_STREQ(out.Format(), "id");
}

TEST_F(Dispatch, IndexesOutOfRangeOrNegativeAnswerZeroAndTouchNothing) {
    CContext<List> list;
    CContext<Item> item;
    CValue out = NumberValue(42);
    CValue* args[2] = {&out, &out};
    for (const int bad : {-1, -100, 1, 7, 1000}) {
        EXPECT_EQ(item.ReadProperty(bad, out), 0);
        EXPECT_EQ(item.WriteProperty(bad, out), 0);
        EXPECT_EQ(item.CanReadProperty(bad), 0);
        EXPECT_EQ(item.CanWriteProperty(bad), 0);
    }
    for (const int bad : {-1, 6, 1000}) {
        EXPECT_EQ(list.MethodArity(bad), 0);
        EXPECT_EQ(list.MethodHasResult(bad), 0);
        EXPECT_EQ(list.MethodDefaultArg(bad, 0, &out), 0);
        EXPECT_EQ(list.InvokeAsFunction(bad, out, args), 0);
        EXPECT_EQ(list.InvokeAsProcedure(bad, args), 0);
    }
    EXPECT_EQ(out.GetKind(), CValue::Kind::Number);
    EXPECT_EQ(static_cast<long>(out.GetNumeric()), 42);
    EXPECT_TRUE(host_errors::Raised().empty());
}

TEST_F(Dispatch, ArityAndResultKindFollowTheBoundMember) {
    CContext<List> list;
    EXPECT_EQ(list.MethodArity(list.LookupMethod("Count")), 0);
    EXPECT_EQ(list.MethodArity(list.LookupMethod("GetAt")), 1);
    EXPECT_EQ(list.MethodArity(list.LookupMethod("Put")), 2);
    EXPECT_EQ(list.MethodHasResult(list.LookupMethod("Count")), 1);
    EXPECT_EQ(list.MethodHasResult(list.LookupMethod("GetAt")), 1);
    EXPECT_EQ(list.MethodHasResult(list.LookupMethod("Put")), 0);
    EXPECT_EQ(list.MethodHasResult(list.LookupMethod("SetConnection")), 0);
}

TEST_F(Dispatch, NoParameterHasADefaultAndTheTargetIsLeftAlone) {
    CContext<List> list;
    CValue out = NumberValue(9);
    for (int method = 0; method < list.MethodCount(); ++method)
        for (int parameter = -1; parameter <= 3; ++parameter) {
            EXPECT_EQ(list.MethodDefaultArg(method, parameter, &out), 0);
            EXPECT_EQ(list.MethodDefaultArg(method, parameter, nullptr), 0);
        }
    EXPECT_EQ(static_cast<long>(out.GetNumeric()), 9);

    MethodHandler2<List, void, const std::string&, const CValue&, DefArgHandling::MustBeDefined_,
                   DefArgHandling::MustBeDefined_>
        handler(&List::Put);
    for (const int index : {-1, 0, 1, 2, 5}) EXPECT_FALSE(handler.GetDefArg(index, out));
    EXPECT_EQ(static_cast<long>(out.GetNumeric()), 9);
}

// A handler with defaults for every index, counting the framework's questions.
struct DefaultingHandler : MethodHandlerBase<Item> {
    bool Call(Item&, CValue&, CValue**) override { return true; }
    int GetParamCount() const override { return 2; }
    bool GetDefArg(int index, CValue& value) const override {
        ++asked;
        value = static_cast<long>(100 + index);
        return true;
    }
    bool HasResult() const override { return false; }
    mutable int asked = 0;
};

TEST_F(Dispatch, DefaultArgumentIsAskedOnlyBelowTheArityAndMayGoToNoTarget) {
    auto spy = boost::make_shared<DefaultingHandler>();
    ClassRecords<Item>::ReleaseRegistry();
    ClassRecords<Item>::CreateRegistry(kItemType.c_str()).AddMethod("M", "M", spy);
    CContext<Item> item;

    CValue out;
    EXPECT_EQ(item.MethodDefaultArg(0, 1, &out), 1);
    EXPECT_EQ(static_cast<long>(out.GetNumeric()), 101);
    EXPECT_EQ(item.MethodDefaultArg(0, 0, nullptr), 1);
    EXPECT_EQ(spy->asked, 2);

    EXPECT_EQ(item.MethodDefaultArg(0, 2, &out), 0);  // at the arity
    EXPECT_EQ(item.MethodDefaultArg(0, -1, &out), 0);
    EXPECT_EQ(spy->asked, 2);
    EXPECT_EQ(static_cast<long>(out.GetNumeric()), 101);
}

TEST_F(Dispatch, FunctionCalledAsProcedureRunsAndItsValueIsDropped) {
    auto native = boost::make_shared<List>();
    native->items.resize(3);
    CContext<List> list(native);
    EXPECT_EQ(list.InvokeAsProcedure(list.LookupMethod(Cp("КОЛИЧЕСТВО").c_str()), nullptr), 1);
    EXPECT_EQ(native->count_calls, 1);

    CValue result;
    EXPECT_EQ(list.InvokeAsFunction(list.LookupMethod("count"), result, nullptr), 1);
    EXPECT_EQ(static_cast<long>(result.GetNumeric()), 3);
    EXPECT_EQ(native->count_calls, 2);
}

TEST_F(Dispatch, MemberOfABaseClassIsCalledOnTheObject) {
    auto native = boost::make_shared<Provider>();
    native->label = "from base";
    CContext<Provider> provider(native);
    CValue result;
    EXPECT_EQ(provider.InvokeAsFunction(provider.LookupMethod(Cp("метка").c_str()), result, nullptr), 1);
    EXPECT_STREQ(result.Format(), "from base");
}

class ArgumentTypeError : public ContextTest {
protected:
    static std::string ExpectedText() { return Cp("Неверный тип аргумента (Ожидается объект типа OLEDBData)"); }
    void ExpectOneError() {
        ASSERT_EQ(host_errors::Raised().size(), 1u);
        EXPECT_EQ(host_errors::Raised()[0].text, ExpectedText());
        EXPECT_EQ(host_errors::Raised()[0].flag, 7);
    }
    boost::shared_ptr<List> native = boost::make_shared<List>();
};

TEST_F(ArgumentTypeError, AnythingButAConnectionRaisesTheScriptErrorAndReportsSuccess) {
    CContext<List> list(native);
    auto other = boost::make_shared<Item>();
    CValue not_connections[4];
    not_connections[0] = 5L;
    not_connections[1] = "OLEDBData";
    not_connections[3].AssignContext(new CContext<Item>(other));
    not_connections[3].GetContext()->DecrRef();

    const int method = list.LookupMethod(Cp("УстановитьПодключение").c_str());
    for (CValue& value : not_connections) {
        host_errors::Clear();
        CValue* args[1] = {&value};
        CValue result = NumberValue(1);
        EXPECT_EQ(list.InvokeAsFunction(method, result, args), 1);
        ExpectOneError();
        EXPECT_EQ(native->connection, nullptr);
        EXPECT_EQ(static_cast<long>(result.GetNumeric()), 1);
    }
    host_errors::Clear();
    CValue* args[1] = {&not_connections[0]};
    EXPECT_EQ(list.InvokeAsProcedure(method, args), 1);
    ExpectOneError();
}

TEST_F(ArgumentTypeError, PropertyWriteTakesTheSameRoad) {
    auto provider_native = boost::make_shared<Provider>();
    CContext<Provider> provider(provider_native);
    EXPECT_EQ(provider.WriteProperty(provider.LookupProperty("Connection"), TextValue("x")), 1);
    ExpectOneError();
    EXPECT_EQ(provider_native->connection, nullptr);
}

TEST_F(ArgumentTypeError, HostErrorThatThrowsLeavesTheDispatchAndLeavesObjectsIntact) {
    host_errors::SetRaiseThrows(true);
    auto wrapper = new CContext<List>(native);
    CValue number = NumberValue(3);
    CValue* args[1] = {&number};
    CValue result;
    EXPECT_THROW(wrapper->InvokeAsFunction(wrapper->LookupMethod("SetConnection"), result, args),
                 HostRuntimeError);
    auto provider = new CContext<Provider>();
    EXPECT_THROW(provider->WriteProperty(provider->LookupProperty("connection"), number), HostRuntimeError);
    EXPECT_EQ(host_errors::Raised().size(), 2u);

    // Nothing kept a reference on the way out: the objects die with their last owner.
    EXPECT_EQ(wrapper->RefCount(), 1);
    EXPECT_EQ(provider->RefCount(), 1);
    EXPECT_EQ(native.use_count(), 2);
    wrapper->DecrRef();
    provider->DecrRef();
    EXPECT_EQ(native.use_count(), 1);
}

TEST_F(Dispatch, OtherExceptionsOfMembersPassToTheHostUnreported) {
    CContext<List> list;
    CContext<Provider> provider;
    CValue result;
    EXPECT_THROW(list.InvokeAsFunction(list.LookupMethod("Fail"), result, nullptr), std::runtime_error);
    EXPECT_THROW(list.InvokeAsProcedure(list.LookupMethod("Fail"), nullptr), std::runtime_error);
    EXPECT_THROW(provider.ReadProperty(provider.LookupProperty("Throwing"), result), std::runtime_error);
    EXPECT_TRUE(host_errors::Raised().empty());
}

TEST_F(Dispatch, WrapperAroundNoObjectAnswersZeroInsteadOfCallingIt) {
    CContext<List> list{boost::shared_ptr<List>()};
    CValue result;
    EXPECT_EQ(list.InvokeAsFunction(list.LookupMethod("Count"), result, nullptr), 0);
    EXPECT_EQ(list.InvokeAsProcedure(list.LookupMethod("Count"), nullptr), 0);
    CContext<Item> item{boost::shared_ptr<Item>()};
    EXPECT_EQ(item.ReadProperty(0, result), 0);
    EXPECT_EQ(result.GetKind(), CValue::Kind::Empty);
}

}  // namespace
}  // namespace context_test
