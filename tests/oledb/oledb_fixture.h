#pragma once
// The fixture of the OLE DB stand-in's tests: a fresh database file opened through a real
// COLEDBData, a command on it, and a clean host (no raised errors, no message lines, no faults).

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/oledb/faults.h"
#include "platform/oledb/meta_names.h"
#include "platform/oledb/oledb.h"
#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"

class OleDbTest : public ::testing::Test {
protected:
    void SetUp() override {
        static int counter = 0;
        path_ = (std::filesystem::temp_directory_path() /
                 ("rowlark_oledb_" + std::to_string(getpid()) + "_" + std::to_string(++counter) + ".db"))
                    .string();
        std::filesystem::remove(path_);
        CleanHost();
        ASSERT_TRUE(data_->Open(path_.c_str()));
        command_ = OleDb::CCommandProxy(data_->CreateCommand());
    }

    void TearDown() override {
        command_ = OleDb::CCommandProxy();
        data_->Close();
        CleanHost();
        std::filesystem::remove(path_);
    }

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

    static std::string LastError() {
        const auto& raised = host_errors::Raised();
        return raised.empty() ? std::string() : cp1251::ToUtf8(raised.back().text);
    }
    // The value's text in UTF-8, for readable comparisons.
    static std::string Utf8(const CValue& value) { return cp1251::ToUtf8(value.GetString().view()); }

    std::string path_;
    struct DataDeleter {
        void operator()(COLEDBData* d) const { d->DecrRef(); }
    };
    std::unique_ptr<COLEDBData, DataDeleter> data_{new COLEDBData()};
    OleDb::CCommandProxy command_;
};
