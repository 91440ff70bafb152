// Scrolling over names that the host's code page cannot hold (Chinese, emoji, combining marks)
// mixed with plain ones: the grid sees every row of the range exactly once, in index order, both
// ways; a key that cannot reach the host is reported instead of losing its row.

#include <cstdlib>
#include <map>

#include "dynamic_fixture.h"

namespace dynamic_test {
namespace {

using Keys = std::vector<std::string>;

class DynamicCodePage : public DynamicTest {
protected:
    void BuildDatabase() override {
        backend_->Exec("CREATE TABLE goods (id INTEGER PRIMARY KEY, name TEXT)");
        const char* const foreign[] = {"中文", "中国茶", "日本", "😀", "Cafe\u0301", "¤", "e\u0301", "中"};
        const char* const plain[] = {"Арбуз", "Банан", "Вишня"};
        BackendDatabase::Rows rows;
        for (int id = 1; id <= 300; ++id)
            rows.push_back({std::to_string(id), id % 3 == 0 ? std::string(foreign[id % 8]) + " " + std::to_string(id % 4)
                                                           : std::string(plain[id % 3]) + (id % 2 ? "" : foreign[id % 8])});
        backend_->Insert("goods", {"id", "name"}, rows);
        backend_->AddIndexTag("goods", "name", "name", "id");
        all_ = backend_->KeysInTagOrder("goods", "name");
        // The names' order in the tag is byte order: "Б" up to what begins with "В" is one run of it.
        std::map<std::string, std::string> name_of;
        for (const auto& row : rows) name_of[*row[0]] = *row[1];
        for (const std::string& key : all_) {
            const std::string& name = name_of[key];
            if (name >= Utf8("Б") && name < Utf8("Г")) range_.push_back(key);
        }
        backend_->Exec("CREATE TABLE coded (code TEXT PRIMARY KEY, name TEXT)");
        backend_->Exec("INSERT INTO coded VALUES ('k1', 'a'), ('k2', 'b'), ('ключ中', 'c'), ('k4', 'd')");
        backend_->AddIndexTag("coded", "name", "name", "code");
    }
    static std::string Utf8(const char* text) { return text; }

    void SetUp() override {
        DynamicTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        provider_->SetQueryText(Cp("SELECT id, name FROM goods WHERE id IN (%СписокИД%)"));
        provider_->SetKeyFieldQuery("id");
        provider_->SetKeyFieldBaseTable("id");
        provider_->SetBaseTable("goods");
        provider_->SetIndexTag("name");
        provider_->SetConnection(data_.get());
        provider_->GetData();
        ASSERT_TRUE(test_support::RaisedErrors().empty());
    }

    // Pages from an end of the range in the direction of step until a window comes back short.
    Keys Scroll(int step) {
        Keys keys;
        RowPtr start;
        for (int guard = 0; guard < 400; ++guard) {  // 300 rows in windows of one, and the last
            provider_->PrepareRows(start.get(), step, 0);
            int taken = 0;
            while (RowPtr row = Next()) {
                keys.push_back(Utf(Dyn(row).GetKeyText()));
                start = std::move(row);
                ++taken;
            }
            if (taken < std::abs(step)) return keys;
        }
        ADD_FAILURE() << "a scroll that does not end";
        return keys;
    }

    Keys all_;    // every key in the tag's order
    Keys range_;  // the keys of names from "Б" up to those beginning with "В"
};

TEST_F(DynamicCodePage, WholeScrollServesEveryRowOnceInOrderBothWays) {
    ASSERT_EQ(all_.size(), 300u);
    for (int window : {1, 7, 50}) {
        EXPECT_EQ(Scroll(window), all_) << "window " << window;
        EXPECT_EQ(Scroll(-window), Keys(all_.rbegin(), all_.rend())) << "window " << window;
    }
    EXPECT_TRUE(test_support::RaisedErrors().empty());
}

TEST_F(DynamicCodePage, ScrollWithinAFilterRangeServesEveryRowOfTheRange) {
    provider_->SetFilterFrom(Cp("Б"));
    provider_->SetFilterTo(Cp("В"));
    provider_->GetData();
    ASSERT_GT(range_.size(), 100u);
    EXPECT_EQ(Scroll(9), range_);
    EXPECT_EQ(Scroll(-9), Keys(range_.rbegin(), range_.rend()));
}

TEST_F(DynamicCodePage, RefreshOfARowWithAnEscapedIndexTextFindsTheSameRow) {
    provider_->PrepareRows(nullptr, 300, 0);
    int refreshed = 0;
    for (RowPtr row = Next(); row && refreshed < 301; row = Next()) {
        const std::string key = Dyn(row).GetKeyText();
        const std::string index = Dyn(row).GetIndexText();
        ASSERT_TRUE(provider_->RefreshRow(row.get())) << Utf(key);
        EXPECT_EQ(Dyn(row).GetKeyText(), key);
        EXPECT_EQ(Dyn(row).GetIndexText(), index);
        ++refreshed;
        provider_->PrepareRows(row.get(), 1, 0);  // the refresh took the window: go on from here
    }
    EXPECT_EQ(refreshed, 300);
}

TEST_F(DynamicCodePage, KeyThatCannotReachTheHostIsReportedNotLost) {
    provider_->SetQueryText(Cp("SELECT code, name FROM coded WHERE code IN (%СписокИД%)"));
    provider_->SetKeyFieldQuery("code");
    provider_->SetKeyFieldBaseTable("code");
    provider_->SetBaseTable("coded");
    provider_->GetData();
    host_errors::Clear();
    provider_->PrepareRows(nullptr, 10, 0);
    const Keys served = Drain();
    // SQLite's procedure streams the rows before it; the server's function fails the call as a whole.
    EXPECT_EQ(served, backend_->on_server() ? Keys() : (Keys{"k1", "k2"})) << "the rows before it, in order";
    const Keys errors = test_support::RaisedErrors();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0],
              "Ошибка базы данных: QueryRows: the key 'ключ¤4E2D;' holds a character that code page 1251 cannot "
              "carry (shown as ¤code;), so no row query could find its row by it");
}

}  // namespace
}  // namespace dynamic_test
