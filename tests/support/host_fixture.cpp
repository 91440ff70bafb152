#include "tests/support/host_fixture.h"

#include "platform/oledb/faults.h"
#include "platform/runtime/module.h"
#include "platform/win/crt.h"
#include "platform/win/host_journal.h"

namespace test_support {

std::vector<std::string> RaisedErrors() {
    std::vector<std::string> out;
    for (const auto& error : host_errors::Raised()) out.push_back(Utf(error.text));
    return out;
}

std::vector<std::string> MessageLines() {
    std::vector<std::string> out;
    for (const auto& line : GetBkEndUI()->Lines()) out.push_back(Utf(line.text));
    return out;
}

std::vector<std::string> HostJournal() {
    std::vector<std::string> out;
    for (const auto& entry : host_journal::Entries()) out.push_back(Utf(entry));
    return out;
}

static void ResetHost() {
    host_errors::Clear();
    host_errors::SetRaiseThrows(false);
    GetBkEndUI()->Clear();
    oledb_faults::ResetAll();
    crt::SetLocale(crt::Locale::C);
}

void HostTest::SetUp() { ResetHost(); }
void HostTest::TearDown() { ResetHost(); }

TestDatabase::TestDatabase(const std::string& open_text) : data_(new COLEDBData) {
    holder_.AssignContext(data_);
    data_->DecrRef();  // the value holds the only reference
    const bool opened = data_->Open(open_text.c_str());
    EXPECT_TRUE(opened) << open_text;
}

TestDatabase::~TestDatabase() = default;

void TestDatabase::Exec(const std::string& utf8_sql) {
    const std::size_t errors_before = host_errors::Raised().size();
    const bool ok = data_->Execute(Cp(utf8_sql).c_str());
    EXPECT_TRUE(ok) << utf8_sql;
    EXPECT_EQ(errors_before, host_errors::Raised().size()) << utf8_sql;
}

}  // namespace test_support
