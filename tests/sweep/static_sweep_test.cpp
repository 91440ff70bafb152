// The static provider under a failing OLE DB layer: every operation the host and the grid call,
// swept over every failable call it makes (sweep.h).

#include "addin/module/module_classes.h"
#include "platform/win/crt.h"
#include "tests/static/static_fixture.h"
#include "tests/sweep/drain.h"
#include "tests/sweep/script_host.h"
#include "tests/sweep/sweep.h"

namespace sweep {
namespace {

using RowPtr = std::unique_ptr<::CDataRow>;

class StaticSweep : public static_test::StaticProviderTest {
protected:
    void SetUp() override {
        StaticProviderTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        crt::SetLocale(crt::Locale::Russian1251);  // so that typed Cyrillic meets the capitalised cells
    }
    void TearDown() override {
        Finish();
        StaticProviderTest::TearDown();
    }

    // A provider made by its Russian class name, configured through its members; connected and
    // loaded when asked.
    void Make(bool connect, bool load) {
        Finish();
        ASSERT_TRUE(CBLContext::CreateByName(Cp("Рядовид.Провайдер.OleDb.VFP.Статический").c_str(), object_));
        Write(object_.GetContext(), "ТекстЗапроса", Text("SELECT id, name FROM goods ORDER BY id"));
        Write(object_.GetContext(), "KeyField", Text("ID"));
        grid_ = Grid<CDataProvider>(object_, 1);
        v7_ = Grid<CV7DataProvider>(object_, 2);
        ASSERT_TRUE(grid_ && v7_);
        if (connect) Call(object_.GetContext(), "УстановитьПодключение", {db_->value()});
        if (load) Call(object_.GetContext(), "GetData");
    }
    void Finish() {
        start_.reset();
        grid_.reset();
        v7_.reset();
        object_.Reset();
    }

    // The grid takes rows until the run ends.
    void Drain(Served& served) {
        DrainGrid(*grid_, [&](RowPtr row) { served.push_back(Shown(*row)); });
    }
    // What a grid shows after a load: a whole run from the top.
    void ShowAll(Served& served) {
        grid_->PrepareRows(nullptr, 100, 0);
        Drain(served);
    }

    Scenario Base(const std::string& name) {
        Scenario s;
        s.name = name;
        s.finish = [this] { Finish(); };
        return s;
    }

    Rowlark::ModuleClasses classes_;  // made first, gone last
    CValue object_;                   // the provider's script object
    boost::shared_ptr<CDataProvider> grid_;
    boost::shared_ptr<CV7DataProvider> v7_;
    RowPtr start_;  // a row the grid holds, to scroll from
};

TEST_F(StaticSweep, LoadReportsEveryFailureOrLoadsWhole) {
    Scenario s = Base("static GetData");
    s.prepare = [this] { Make(true, true); };
    s.act = [this](Served&) { Call(object_.GetContext(), "ПолучитьДанные"); };
    s.then = [this](Served& served) { ShowAll(served); };
    EXPECT_GT(RunAll(s), 0);
}

TEST_F(StaticSweep, ConnectAndLoadReportsEveryFailureOrLoadsWhole) {
    Scenario s = Base("static SetConnection and GetData");
    s.prepare = [this] { Make(false, false); };
    s.act = [this](Served&) {
        Call(object_.GetContext(), "SetConnection", {db_->value()});
        Call(object_.GetContext(), "GetData");
    };
    s.then = [this](Served& served) { ShowAll(served); };
    EXPECT_GT(RunAll(s), 0);
}

TEST_F(StaticSweep, RefreshRowReportsEveryFailureOrLoadsWhole) {
    Scenario s = Base("static RefreshRow");
    s.prepare = [this] {
        Make(true, true);
        start_.reset(v7_->FindRowByKey(Number(103)));
    };
    s.act = [this](Served& served) { served.push_back(grid_->RefreshRow(start_.get()) ? "TRUE" : "FALSE"); };
    s.then = [this](Served& served) { ShowAll(served); };
    EXPECT_GT(RunAll(s), 0);
}

TEST_F(StaticSweep, ForwardRunServesTrueRowsAndResumesWhereItFailed) {
    Scenario s = Base("static forward run");
    s.prepare = [this] {
        Make(true, true);
        start_.reset(v7_->FindRowByKey(Number(102)));
    };
    s.act = [this](Served& served) {
        grid_->PrepareRows(start_.get(), 5, 0);
        Drain(served);
    };
    s.then = [this](Served& served) { Drain(served); };  // the grid asks again after the message
    EXPECT_GT(RunAll(s), 0);
}

TEST_F(StaticSweep, BackwardRunServesTrueRowsAndResumesWhereItFailed) {
    Scenario s = Base("static backward run");
    s.prepare = [this] {
        Make(true, true);
        start_.reset(v7_->FindRowByKey(Number(108)));
    };
    s.act = [this](Served& served) {
        grid_->PrepareRows(start_.get(), -6, 0);
        Drain(served);
    };
    s.then = [this](Served& served) { Drain(served); };
    EXPECT_GT(RunAll(s), 0);
}

TEST_F(StaticSweep, KeyLookupFindsTheRowOrNothing) {
    Scenario s = Base("static FindRowByKey");
    s.quiet_shortfall_documented = true;  // a lookup that cannot read answers "no such row"
    s.prepare = [this] { Make(true, true); };
    s.act = [this](Served& served) {
        RowPtr row(v7_->FindRowByKey(Number(106)));
        if (row) served.push_back(Shown(*row));
    };
    EXPECT_GT(RunAll(s), 0);
}

TEST_F(StaticSweep, SearchNamesTheTrueMatchOrReports) {
    static_test::NotificationWindow window;
    Scenario s = Base("static QuickSearch");
    s.prepare = [this, &window] {
        Make(true, true);
        grid_->m_hWnd = window.handle();
    };
    s.act = [this, &window](Served& served) {
        const std::size_t before = window.received().size();
        const CString typed(Cp("ДЫН").c_str());
        grid_->QuickSearch(SearchRequest{"NAME", 0, &typed});
        for (std::size_t i = before; i < window.received().size(); ++i)
            served.push_back(std::to_string(window.received()[i].row_id) + " " + window.received()[i].first_cell);
    };
    EXPECT_GT(RunAll(s), 0);
}

TEST_F(StaticSweep, FieldsCollectionMakesNoCallIntoTheLayer) {
    Scenario s = Base("static Fields, Count, GetAt");
    s.prepare = [this] { Make(true, true); };
    s.act = [this](Served& served) { ListFields(object_.GetContext(), served); };
    EXPECT_EQ(0, RunAll(s));
}

TEST_F(StaticSweep, FieldsAfterALoadAreThoseOfTheLoad) {
    Scenario s = Base("static GetData, then Fields");
    s.prepare = [this] { Make(true, false); };
    s.act = [this](Served& served) {
        Call(object_.GetContext(), "GetData");
        ListFields(object_.GetContext(), served);
    };
    EXPECT_GT(RunAll(s), 0);
}

}  // namespace
}  // namespace sweep
