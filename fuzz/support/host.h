#pragma once
// What the fuzz targets that drive providers share: a clean host before every input (no raised
// errors or message lines, the non-throwing error road, the C locale, no injected failures), the
// errors an input raised, and a connection object over a database.

#include <string>
#include <vector>

#include "platform/oledb/oledb.h"

namespace rowlark_fuzz {

void ResetHost();
// Run-time errors raised since the last ResetHost, in CP1251.
std::vector<std::string> RaisedErrors();

// A COLEDBData opened on path (":memory:" for a private database), held by one reference.
class Connection {
public:
    explicit Connection(const std::string& path);
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    COLEDBData* get() const { return data_; }
    // Runs a statement given in UTF-8; aborts when it fails, as a broken set-up is no finding.
    void Exec(const std::string& utf8_sql);

private:
    COLEDBData* data_;
};

}  // namespace rowlark_fuzz
