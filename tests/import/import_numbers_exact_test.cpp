// FoxPro numbers at the limits of every width and scale, imported and read back through the OLE DB
// layer as host numbers: each the same decimal, on either database; orders, comparisons and number
// tags over the widest of them go by exact value.

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "database/query_rows.h"
#include "platform/oledb/oledb.h"
#include "platform/oledb/procedures.h"
#include "platform/runtime/module.h"
#include "platform/runtime/numeric.h"
#include "platform/text/cp1251.h"
#include "tests/import/import_fixture.h"
#include "tests/support/page_through.h"

namespace import_test {
namespace {

struct Field {
    const char* name;
    char type;  // N F Y B I
    int length;
    int decimals;
};

void PutLe(std::string& bytes, std::size_t at, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// A field's bytes for a value written as text: N and F right-aligned digits ("" blank), Y its count of
// ten-thousandths ("-1.5000"), B a double, I a 32-bit integer.
std::string FieldBytes(const Field& field, const std::string& text) {
    std::string bytes(static_cast<std::size_t>(field.length), ' ');
    if (field.type == 'N' || field.type == 'F') return bytes.replace(bytes.size() - text.size(), text.size(), text);
    std::uint64_t raw = 0;
    if (field.type == 'B') {
        const double real = std::strtod(text.c_str(), nullptr);
        std::memcpy(&raw, &real, sizeof raw);
    } else {
        std::string digits = text;
        digits.erase(std::remove(digits.begin(), digits.end(), '.'), digits.end());
        raw = static_cast<std::uint64_t>(std::stoll(digits));
    }
    PutLe(bytes, 0, raw, field.length);
    return bytes;
}

// A Visual FoxPro table (code page 1251) of those fields and rows, each row a text per field.
std::string VfpTable(const std::vector<Field>& fields, const std::vector<std::vector<std::string>>& rows) {
    constexpr std::size_t kBacklink = 263;
    const std::size_t header = 32 + 32 * fields.size() + 1 + kBacklink;
    std::size_t record = 1;
    for (const Field& field : fields) record += static_cast<std::size_t>(field.length);
    std::string bytes(header, '\0');
    bytes[0] = '\x30';
    bytes[1] = 126, bytes[2] = 12, bytes[3] = 8;
    PutLe(bytes, 4, rows.size(), 4);
    PutLe(bytes, 8, header, 2);
    PutLe(bytes, 10, record, 2);
    bytes[29] = '\xC9';
    std::size_t offset = 1;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t at = 32 + 32 * i;
        bytes.replace(at, std::strlen(fields[i].name), fields[i].name);
        bytes[at + 11] = fields[i].type;
        PutLe(bytes, at + 12, offset, 4);
        bytes[at + 16] = static_cast<char>(fields[i].length);
        bytes[at + 17] = static_cast<char>(fields[i].decimals);
        offset += static_cast<std::size_t>(fields[i].length);
    }
    bytes[32 + 32 * fields.size()] = '\x0D';
    for (const auto& row : rows) {
        bytes += ' ';
        for (std::size_t i = 0; i < fields.size(); ++i) bytes += FieldBytes(fields[i], row[i]);
    }
    return bytes + '\x1A';
}

const std::vector<Field> kLimitFields = {
    {"n20_0", 'N', 20, 0}, {"n19_0", 'N', 19, 0}, {"n18_0", 'N', 18, 0}, {"n20_4", 'N', 20, 4},
    {"n20_18", 'N', 20, 18}, {"n16_2", 'N', 16, 2}, {"n15_6", 'N', 15, 6}, {"n1_0", 'N', 1, 0},
    {"f20_10", 'F', 20, 10}, {"money", 'Y', 8, 4}, {"dbl", 'B', 8, 0}, {"cnt", 'I', 4, 0}};

// Each field at both ends of what it holds, and values a double cannot tell from their neighbours.
// (SQLite reads 21644992.333904 as 21644992.333903998.)
const std::vector<std::vector<std::string>> kLimitRows = {
    {"99999999999999999999", "9999999999999999999", "999999999999999999", "999999999999999.9999",
     "9.999999999999999999", "9999999999999.99", "21644992.333904", "9", "123456789.0123456789",
     "922337203685477.5807", "1.7976931348623157e308", "2147483647"},
    {"-9999999999999999999", "-999999999999999999", "-99999999999999999", "-99999999999999.9999",
     "-.999999999999999999", "-999999999999.99", "-9999999.999999", "0", "-12345678.0123456789",
     "-922337203685477.5808", "-2.2250738585072014e-308", "-2147483648"},
    {"40702810900000012345", "9223372036854775808", "-9223372036854775", "0.0001", "0.000000000000000001",
     "0.01", "0.000001", "", "0.0000000001", "0.0001", "5e-324", "0"},
    {"", "", "", "-0.0000", "", "", "", "", "", "-1.5000", "0.1", "-1"}};

// The host number a field's text means; nullopt for a blank.
std::optional<CNumeric> Meant(const Field& field, const std::string& text) {
    if (text.empty()) return std::nullopt;
    if (field.type == 'B') return CNumeric::FromDouble(std::strtod(text.c_str(), nullptr));
    return CNumeric::Parse(text);
}

class ExactNumbers : public ImportTest {
protected:
    void SetUp() override {
        ImportTest::SetUp();
        if (IsSkipped()) return;
        static int counter = 0;
        work_ = std::filesystem::temp_directory_path() /
                ("rowlark_exact_" + std::to_string(getpid()) + "_" + std::to_string(++counter));
        std::filesystem::create_directories(work_);
        host_errors::Clear();
    }
    void TearDown() override {
        command_ = OleDb::CCommandProxy();
        data_.reset();
        if (!work_.empty()) std::filesystem::remove_all(work_);
    }

    // Writes the table as NAME.dbf and imports it, with tags (TAG=EXPRESSION), through a new connection.
    void ImportTable(const std::string& name, const std::vector<Field>& fields,
                     const std::vector<std::vector<std::string>>& rows,
                     const std::vector<import_tool::RequestedTag>& tags = {}) {
        const std::string path = (work_ / (name + ".dbf")).string();
        std::ofstream(path, std::ios::binary) << VfpTable(fields, rows);
        import_tool::ImportRequest request;
        request.inputs = {path};
        request.target = db_.connection_text();
        request.tags = tags;
        import_tool::ProgressSink quiet;
        ASSERT_EQ(import_tool::RunImport(request, quiet).tables.size(), 1u);
        data_.reset(new COLEDBData());
        ASSERT_TRUE(data_->Open(db_.connection_text().c_str())) << RaisedText();
        command_ = OleDb::CCommandProxy(data_->CreateCommand());
    }

    // Every value of a query through the layer's whole result (or, sequential, row by row) as host values.
    std::vector<std::vector<CValue>> Read(const std::string& sql, bool sequential = false) {
        CString text(std::string_view(cp1251::FromUtf8(sql)));
        LONG count = 0;
        std::vector<std::vector<CValue>> rows;
        auto read_row = [&](OleDb::CResultProxy& result) {
            rows.emplace_back(static_cast<std::size_t>(result.GetNumFields()));
            for (int c = 0; c < result.GetNumFields(); ++c)
                EXPECT_TRUE(result.GetFieldValue(c, rows.back()[static_cast<std::size_t>(c)])) << RaisedText();
        };
        if (sequential) {
            auto result = command_.ExecuteStatementExternalSequential(text, count);
            while (result.GetNextRow()) read_row(result);
        } else {
            auto result = command_.ExecuteStatementExternalDirect(text, count);
            for (LONG row = 0; result.GetRow(row); ++row) read_row(result);
        }
        EXPECT_EQ(RaisedText(), "") << sql;
        return rows;
    }

    // Column 0 of every row, as the host writes each value.
    std::vector<std::string> Texts(const std::string& sql) {
        std::vector<std::string> texts;
        for (const auto& row : Read(sql)) texts.push_back(cp1251::ToUtf8(row.at(0).GetString().view()));
        return texts;
    }

    static std::string RaisedText() {
        const auto& raised = host_errors::Raised();
        return raised.empty() ? std::string() : cp1251::ToUtf8(raised.back().text);
    }

    struct DataDeleter {
        void operator()(COLEDBData* d) const { d->DecrRef(); }
    };
    std::filesystem::path work_;
    std::unique_ptr<COLEDBData, DataDeleter> data_;
    OleDb::CCommandProxy command_;
};

TEST_F(ExactNumbers, EveryWidthAndScaleReadsBackAsTheSameDecimalByEitherRoad) {
    ImportTable("limits", kLimitFields, kLimitRows);
    std::string columns = "recno";
    for (const Field& field : kLimitFields) columns += std::string(", ") + field.name;
    for (const bool sequential : {false, true}) {
        const auto rows = Read("SELECT " + columns + " FROM limits ORDER BY recno", sequential);
        ASSERT_EQ(rows.size(), kLimitRows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t f = 0; f < kLimitFields.size(); ++f) {
                const CValue& got = rows[r][f + 1];
                const auto meant = Meant(kLimitFields[f], kLimitRows[r][f]);
                const std::string where = std::string(kLimitFields[f].name) + " of record " + std::to_string(r + 1) +
                                          (sequential ? " (sequential)" : " (whole result)");
                if (!meant) {
                    EXPECT_EQ(got.GetKind(), CValue::Kind::Empty) << where;
                    continue;
                }
                ASSERT_EQ(got.GetKind(), CValue::Kind::Number) << where << ": " << cp1251::ToUtf8(got.GetString().view());
                EXPECT_EQ(got.GetNumeric().Format(), meant->Format()) << where;
            }
        }
    }
}

// Accounts of twenty digits that differ only past a double's reach, amounts of every scale and sign.
const std::vector<Field> kAccountFields = {{"acct", 'N', 20, 0}, {"amount", 'N', 20, 4}};
const std::vector<std::vector<std::string>> kAccountRows = {
    {"40702810900000012345", "-99999999999999.9999"}, {"40702810900000012346", "0.0001"},
    {"40702810900000012344", "-0.0001"}, {"9", "999999999999999.9999"}, {"-4070281090000001234", "12.5"},
    {"0", "0"}, {"40702810900000012340", "12.5000"}, {"", ""}, {"99999999999999999999", "-12.49"}};

// The record numbers in the order of a field's exact values (blank as 0, as a number tag takes it),
// ties by record number; only the records whose value lies within [from, to] when those are given.
std::vector<std::string> ByValue(std::size_t field, std::optional<CNumeric> from = {}, std::optional<CNumeric> to = {}) {
    std::vector<std::pair<CNumeric, std::size_t>> order;
    for (std::size_t r = 0; r < kAccountRows.size(); ++r) {
        const CNumeric value = Meant(kAccountFields[field], kAccountRows[r][field]).value_or(CNumeric());
        if ((from && value < *from) || (to && *to < value)) continue;
        order.emplace_back(value, r + 1);
    }
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> keys;
    for (const auto& entry : order) keys.push_back(std::to_string(entry.second));
    return keys;
}

// One QueryRows call on the accounts' record numbers; a row of its answer is (key, index text).
struct WalkCall {
    std::string tag, index, key;
    std::int64_t count = 100;
    int forward = 1;
    std::string from, to;
    std::int64_t inclusive = 0;
};
using WalkRows = std::vector<std::pair<std::string, std::string>>;

class ExactNumberTags : public ExactNumbers {
protected:
    void SetUp() override {
        ExactNumbers::SetUp();
        if (IsSkipped()) return;
        // The SQLite database's QueryRows, as the host registers it at start-up (the server has its own).
        static const bool registered = (rowlark::database::RegisterDatabaseProcedures(oledb_backend::RegisterProcedure), true);
        (void)registered;
        ImportTable("accounts", kAccountFields, kAccountRows, {{"", "by_acct", "acct"}, {"", "by_amount", "amount"}});
    }

    WalkRows Walk(const WalkCall& call) {
        const std::string text = "QueryRows ('accounts', '" + call.tag + "', '" + call.index + "', '" + call.key +
                                 "', " + std::to_string(call.count) + ", 'recno', " + std::to_string(call.forward) +
                                 ", '" + call.from + "', '" + call.to + "', " + std::to_string(call.inclusive) + ")";
        WalkRows rows;
        for (const auto& row : Read(text, true))
            rows.emplace_back(cp1251::ToUtf8(row.at(0).GetString().view()), cp1251::ToUtf8(row.at(1).GetString().view()));
        return rows;
    }
    std::vector<std::string> KeysOf(const WalkRows& rows) {
        std::vector<std::string> keys;
        for (const auto& row : rows) keys.push_back(row.first);
        return keys;
    }
};

TEST_F(ExactNumberTags, OrderAndComparisonsGoByExactValue) {
    const auto not_blank = [](std::size_t field) {
        auto keys = ByValue(field);
        keys.erase(std::remove(keys.begin(), keys.end(), "8"), keys.end());
        return keys;
    };
    EXPECT_EQ(Texts("SELECT recno FROM accounts WHERE acct IS NOT NULL ORDER BY acct, recno"), not_blank(0));
    EXPECT_EQ(Texts("SELECT recno FROM accounts WHERE amount IS NOT NULL ORDER BY amount, recno"), not_blank(1));
    EXPECT_EQ(Texts("SELECT recno FROM accounts WHERE acct = '40702810900000012345'"), std::vector<std::string>{"1"});
    EXPECT_EQ(Texts("SELECT recno FROM accounts WHERE acct > '40702810900000012344' ORDER BY recno"),
              (std::vector<std::string>{"1", "2", "9"}));
    EXPECT_EQ(Texts("SELECT recno FROM accounts WHERE amount < 0 ORDER BY recno"), (std::vector<std::string>{"1", "3", "9"}));
    EXPECT_EQ(Texts("SELECT recno FROM accounts WHERE amount = 12.5 ORDER BY recno"), (std::vector<std::string>{"5", "7"}));
    EXPECT_EQ(Texts("SELECT max(acct) FROM accounts"), std::vector<std::string>{"99999999999999999999"});
    EXPECT_EQ(Texts("SELECT min(amount) FROM accounts"), std::vector<std::string>{"-99999999999999.9999"});
}

TEST_F(ExactNumberTags, NumberTagsWalkEveryDigitInOrderWholePagedAndBackwards) {
    for (const std::size_t field : {0u, 1u}) {
        const std::string tag = field == 0 ? "by_acct" : "by_amount";
        const auto expected = ByValue(field);
        WalkCall call;
        call.tag = tag;
        EXPECT_EQ(KeysOf(Walk(call)), expected) << tag;
        const auto paged = test_support::PageThroughWith<WalkRows>([&](const WalkCall& c) { return Walk(c); }, call, 2, 20);
        EXPECT_EQ(KeysOf(paged), expected) << tag << " in pages of two";
        call.forward = 0;
        EXPECT_EQ(KeysOf(Walk(call)), std::vector<std::string>(expected.rbegin(), expected.rend())) << tag;
    }
}

TEST_F(ExactNumberTags, FilterBoundsOfTwentyDigitsKeepExactlyTheirRange) {
    WalkCall call;
    call.tag = "by_acct";
    call.from = "40702810900000012344";
    call.to = "40702810900000012345";
    EXPECT_EQ(KeysOf(Walk(call)), ByValue(0, CNumeric::Parse(call.from), CNumeric::Parse(call.to)));
    call.tag = "by_amount";
    call.from = "-0.0001";
    call.to = "12.5";
    EXPECT_EQ(KeysOf(Walk(call)), ByValue(1, CNumeric::Parse(call.from), CNumeric::Parse(call.to)));
}

}  // namespace
}  // namespace import_test
