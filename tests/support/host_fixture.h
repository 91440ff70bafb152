#pragma once
// What most module tests need: a clean host (no raised errors, no message lines, the non-throwing
// error road, the C locale, no injected failures) and a connection over a fresh in-memory database.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/oledb/oledb.h"
#include "platform/text/cp1251.h"

namespace test_support {

// UTF-8 source text to the host's CP1251, and back.
inline std::string Cp(const std::string& utf8) { return cp1251::FromUtf8(utf8); }
inline std::string Utf(const std::string& cp) { return cp1251::ToUtf8(cp); }

// Run-time errors raised since the fixture started, as UTF-8.
std::vector<std::string> RaisedErrors();
// Message window lines written since the fixture started, as UTF-8.
std::vector<std::string> MessageLines();
// The host journal (registrations, extension module, loading), as UTF-8.
std::vector<std::string> HostJournal();

class HostTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// A COLEDBData over a fresh in-memory database, or over what open_text names (a file, a server);
// statements are given in UTF-8.
class TestDatabase {
public:
    explicit TestDatabase(const std::string& open_text = ":memory:");
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    COLEDBData* connection() const { return data_; }
    // Runs statements that return no rows; fails the test when they fail.
    void Exec(const std::string& utf8_sql);
    // A script value holding the connection.
    const CValue& value() const { return holder_; }

private:
    CValue holder_;
    COLEDBData* data_;
};

}  // namespace test_support
