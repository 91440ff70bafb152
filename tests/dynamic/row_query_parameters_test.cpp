// The dynamic provider's parameters in its row query: bound in any letter case at every window,
// while the QueryRows call between the windows takes none; a parameter without a value is the
// layer's error, raised through the host, and the window stays empty.

#include "dynamic_fixture.h"

namespace dynamic_test {
namespace {

using test_support::RaisedErrors;
using Keys = std::vector<std::string>;

CValue Number(long n) {
    CValue v;
    v = n;
    return v;
}

using DynamicRowQueryParameters = DynamicTest;

TEST_F(DynamicRowQueryParameters, ParameterSetInCapitalsServesEveryWindow) {
    Configure("SELECT id, code, name FROM items WHERE id IN (%СписокИД%) AND id > :low");
    provider_->SetParameter("LOW", Number(4));
    provider_->GetData();
    provider_->PrepareRows(nullptr, 3, 0);
    RowPtr last;
    for (RowPtr row = Next(); row; row = Next()) last = std::move(row);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(Utf(Dyn(last).GetKeyText()), "8");
    provider_->PrepareRows(last.get(), 3, 0);
    EXPECT_EQ(Drain(), (Keys{"7", "6", "5"}));
    EXPECT_TRUE(RaisedErrors().empty());
}

TEST_F(DynamicRowQueryParameters, ParameterWithoutAValueRaisesTheLayersErrorAndServesNoRows) {
    Configure("SELECT id, code, name FROM items WHERE id IN (%СписокИД%) AND id > :low");
    provider_->GetData();
    provider_->PrepareRows(nullptr, 3, 0);
    EXPECT_EQ(Next(), nullptr);
    const Keys raised = RaisedErrors();
    ASSERT_FALSE(raised.empty());
    EXPECT_EQ(raised.back(), "Не установлено значение параметра запроса :low (метод УстановитьПараметр/SetParameter)");
}

}  // namespace
}  // namespace dynamic_test
