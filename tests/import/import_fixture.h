#pragma once
// What the import tests share: a fresh target on the run's backend (tests/support/backend_database.h),
// an import into it, and the text each backend gives back for a value the reader read, so the rows
// that landed compare with the reader's own values.

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "foxpro/value.h"
#include "tests/support/backend_database.h"
#include "tools/import/import_run.h"

namespace import_test {

inline const std::string kData = ROWLARK_FOXPRO_DATA;

// A decimal text without its sign of zero, leading zeros and trailing fractional zeros: "-012.50" is "-12.5".
std::string NormalDecimal(const std::string& text);

// The text the backend gives back (its query's text form) for a value the reader gave, as a column of
// that definition holds it; nullopt for NULL.
std::optional<std::string> Expected(rowlark::foxpro::Value value, const oledb_backend::FieldDefinition& column,
                                    test_support::Backend backend);

// Whether a value given back equals the one expected: decimals as numbers, reals to SQLite's 15 digits.
bool SameValue(const std::optional<std::string>& expected, const std::optional<std::string>& got,
               const oledb_backend::FieldDefinition& column, test_support::Backend backend);

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!db_.skip_reason().empty()) GTEST_SKIP() << db_.skip_reason();
    }

    // Imports the inputs (paths under the shared data) into the test's database.
    import_tool::ImportReport Import(const std::vector<std::string>& inputs, const std::vector<import_tool::RequestedTag>& tags = {});
    // Imports the files at paths into the test's database.
    import_tool::ImportReport ImportFiles(const std::vector<std::string>& paths);
    import_tool::Engine engine() const {
        return db_.on_server() ? import_tool::Engine::kServer : import_tool::Engine::kSqlite;
    }
    // Every row of an imported table compared with the reader's records of dbf.
    void ExpectSameAsReader(const std::string& dbf, const import_tool::TableReport& table);

    test_support::BackendDatabase db_;
};

}  // namespace import_test
