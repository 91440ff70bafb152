#include "fuzz/support/host.h"

#include "fuzz/support/check.h"
#include "platform/oledb/faults.h"
#include "platform/runtime/module.h"
#include "platform/text/cp1251.h"
#include "platform/win/crt.h"

namespace rowlark_fuzz {

void ResetHost() {
    host_errors::Clear();
    host_errors::SetRaiseThrows(false);
    GetBkEndUI()->Clear();
    oledb_faults::ResetAll();
    crt::SetLocale(crt::Locale::C);
}

std::vector<std::string> RaisedErrors() {
    std::vector<std::string> out;
    for (const auto& error : host_errors::Raised()) out.push_back(error.text);
    return out;
}

Connection::Connection(const std::string& path) : data_(new COLEDBData) {
    FUZZ_CHECK(data_->Open(path.c_str()), "cannot open " + path);
}

Connection::~Connection() { data_->DecrRef(); }

void Connection::Exec(const std::string& utf8_sql) {
    FUZZ_CHECK(data_->Execute(cp1251::FromUtf8(utf8_sql).c_str()), utf8_sql);
}

}  // namespace rowlark_fuzz
