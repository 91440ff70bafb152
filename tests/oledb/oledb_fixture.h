#pragma once
// The fixture of the OLE DB stand-in's tests: a fresh database file opened through a real
// COLEDBData, a command on it, and a clean host (no raised errors, no message lines, no faults).

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "tests/oledb/layer_calls.h"

class OleDbTest : public ::testing::Test, protected LayerCalls {
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

    std::string path_;
};
