#pragma once
// What the layer's tests do through their connection, whichever database is behind it: statements
// given in UTF-8, their results, the host's last error, and a clean host between tests.

#include <memory>
#include <string>

#include "platform/oledb/faults.h"
#include "platform/oledb/meta_names.h"
#include "platform/oledb/oledb.h"
#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"

#include <gtest/gtest.h>

class LayerCalls {
protected:
    static void CleanHost() {
        host_errors::SetRaiseThrows(false);
        host_errors::Clear();
        GetBkEndUI()->Clear();
        oledb_faults::ResetAll();
        oledb_backend::ClearMetaNames();
    }

    // Runs SQL (UTF-8) through COLEDBData::Execute; fails the test when it fails.
    void Exec(const std::string& utf8_sql) {
        ASSERT_TRUE(data_->Execute(cp1251::FromUtf8(utf8_sql).c_str())) << LastError();
    }
    OleDb::CResultDirectAccessProxy Direct(const std::string& utf8_sql, LONG& count) {
        CString text(std::string_view(cp1251::FromUtf8(utf8_sql)));
        return command_.ExecuteStatementExternalDirect(text, count);
    }
    OleDb::CResultDirectAccessProxy Direct(const std::string& utf8_sql) {
        LONG count = 0;
        return Direct(utf8_sql, count);
    }
    OleDb::CResultSequentialAccessProxy Sequential(const std::string& utf8_sql) {
        CString text(std::string_view(cp1251::FromUtf8(utf8_sql)));
        LONG unused = 0;
        return command_.ExecuteStatementExternalSequential(text, unused);
    }
    // The single value of a one-row query, in UTF-8; "NULL" for the empty value.
    std::string Scalar(const std::string& utf8_sql) {
        auto result = Direct(utf8_sql);
        CValue v;
        if (!result.GetRow(0) || !result.GetFieldValue(0, v)) return "<none: " + LastError() + ">";
        return v.GetKind() == CValue::Kind::Empty ? "NULL" : Utf8(v);
    }

    static std::string LastError() {
        const auto& raised = host_errors::Raised();
        return raised.empty() ? std::string() : cp1251::ToUtf8(raised.back().text);
    }
    // The value's text in UTF-8, for readable comparisons.
    static std::string Utf8(const CValue& value) { return cp1251::ToUtf8(value.GetString().view()); }

    struct DataDeleter {
        void operator()(COLEDBData* d) const { d->DecrRef(); }
    };
    std::unique_ptr<COLEDBData, DataDeleter> data_{new COLEDBData()};
    OleDb::CCommandProxy command_;
};
