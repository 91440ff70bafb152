// The dynamic provider under a failing OLE DB layer: its load, its settings that reach the layer,
// scrolling both ways, RefreshRow and the fields collection, swept over every failable call.

#include "addin/module/module_classes.h"
#include "tests/dynamic/dynamic_fixture.h"
#include "tests/sweep/drain.h"
#include "tests/sweep/script_host.h"
#include "tests/sweep/sweep.h"

namespace sweep {
namespace {

using dynamic_test::CDynamicDataRow;
using RowPtr = std::unique_ptr<::CDataRow>;

class DynamicSweep : public dynamic_test::DynamicTest {
protected:
    void TearDown() override {
        Finish();
        DynamicTest::TearDown();
    }

    // A provider made by its English class name and set up as a script does; loaded when asked.
    void Make(bool load) {
        Finish();
        ASSERT_TRUE(CBLContext::CreateByName("Rowlark.Provider.OleDb.VFP.Dynamic", object_));
        CBLContext* p = object_.GetContext();
        Write(p, "QueryText", Text("SELECT id, code, name FROM items WHERE id IN (%СписокИД%)"));
        Write(p, "КлючевоеПолеЗапроса", Text("ID"));
        Write(p, "KeyFieldBaseTable", Text("id"));
        Write(p, "ОпорнаяТаблица", Text("items"));
        Write(p, "IndexTag", Text("code"));
        CValue connection;
        connection.AssignContext(data_.get());
        Call(p, "SetConnection", {connection});
        grid_ = Grid<CDataProvider>(object_, 1);
        ASSERT_TRUE(grid_);
        if (load) Call(p, "ПолучитьДанные");
    }
    void Finish() {
        start_.reset();
        grid_.reset();
        object_.Reset();
    }

    // The grid takes rows until the window ends.
    void Drain(Served& served) {
        DrainGrid(*grid_, [&](RowPtr row) { served.push_back(Describe(*row)); });
    }
    // A dynamic row as the grid holds it: its key and index texts (the next window starts from
    // them) and what it shows.
    static std::string Describe(::CDataRow& row) {
        const auto& dynamic = dynamic_cast<const CDynamicDataRow&>(row);
        return "key " + test_support::Utf(dynamic.GetKeyText()) + ", index " +
               test_support::Utf(dynamic.GetIndexText()) + ": " + Shown(row);
    }
    // The row with this key, reached by a clean scroll from the top.
    void Hold(const std::string& key) {
        grid_->PrepareRows(nullptr, 20, 0);
        DrainGrid(*grid_, [&](RowPtr row) {
            if (test_support::Utf(dynamic_cast<const CDynamicDataRow&>(*row).GetKeyText()) == key) start_ = std::move(row);
        });
        ASSERT_TRUE(start_) << key;
    }

    Scenario Base(const std::string& name) {
        Scenario s;
        s.name = name;
        s.finish = [this] { Finish(); };
        return s;
    }

    Rowlark::ModuleClasses classes_;  // made first, gone last
    CValue object_;
    boost::shared_ptr<CDataProvider> grid_;
    RowPtr start_;
};

TEST_F(DynamicSweep, LoadReportsEveryFailureOrServesTrueRows) {
    Scenario s = Base("dynamic GetData");
    s.prepare = [this] { Make(true); };
    s.act = [this](Served& served) {
        Call(object_.GetContext(), "GetData");
        Drain(served);  // the one row GetData fetched
    };
    s.then = [this](Served& served) {
        grid_->PrepareRows(nullptr, 20, 0);
        Drain(served);
    };
    EXPECT_GT(RunAll(s), 0);
}

TEST_F(DynamicSweep, BaseTableTranslationFailureIsReportedAndRefusesTheLoad) {
    Scenario s = Base("dynamic BaseTable and GetData");
    s.prepare = [this] { Make(false); };
    s.act = [this](Served& served) {
        Write(object_.GetContext(), "BaseTable", Text("items"));
        Call(object_.GetContext(), "GetData");
        Drain(served);
    };
    EXPECT_GT(RunAll(s), 0);
}

TEST_F(DynamicSweep, ForwardWindowServesTrueRowsInOrder) {
    Scenario s = Base("dynamic forward window");
    s.prepare = [this] {
        Make(true);
        Hold("8");
    };
    s.act = [this](Served& served) {
        grid_->PrepareRows(start_.get(), 5, 0);
        Drain(served);
    };
    s.then = [this](Served& served) { Drain(served); };
    EXPECT_GT(RunAll(s), 0);
}

TEST_F(DynamicSweep, BackwardWindowServesTrueRowsInOrder) {
    Scenario s = Base("dynamic backward window");
    s.prepare = [this] {
        Make(true);
        Hold("3");
    };
    s.act = [this](Served& served) {
        grid_->PrepareRows(start_.get(), -5, 0);
        Drain(served);
    };
    s.then = [this](Served& served) { Drain(served); };
    EXPECT_GT(RunAll(s), 0);
}

TEST_F(DynamicSweep, RefreshRowRebuildsTheRowWholeOrLeavesIt) {
    Scenario s = Base("dynamic RefreshRow");
    s.quiet_shortfall_documented = true;  // FALSE with the row untouched when it cannot be read again
    s.prepare = [this] {
        Make(true);
        Hold("6");
    };
    s.act = [this](Served& served) {
        const BOOL refreshed = grid_->RefreshRow(start_.get());
        served.push_back(Describe(*start_));
        if (refreshed) served.push_back("TRUE");
    };
    EXPECT_GT(RunAll(s), 0);
}

TEST_F(DynamicSweep, FieldsCollectionMakesNoCallIntoTheLayer) {
    Scenario s = Base("dynamic Fields, Count, GetAt");
    s.prepare = [this] { Make(true); };
    s.act = [this](Served& served) { ListFields(object_.GetContext(), served); };
    EXPECT_EQ(0, RunAll(s));
}

}  // namespace
}  // namespace sweep
