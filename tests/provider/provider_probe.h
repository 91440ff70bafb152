#pragma once
// A provider base driven directly: runs a statement into its current result and builds the FieldSet,
// as a provider's load does.

#include <string>

#include "addin/provider/provider_base.h"
#include "tests/support/host_fixture.h"

namespace test_support {

class ProbeProvider : public OleDb::GridProvider::CProvider {
public:
    void Load(COLEDBData* connection, const std::string& utf8_sql) {
        OleDb::CCommandProxy command(connection->CreateCommand());
        CString text(Cp(utf8_sql).c_str());
        LONG count = 0;
        m_Result = command.ExecuteStatementExternalDirect(text, count);
        BuildFieldSet();
    }
    OleDb::CResultDirectAccessProxy& result() { return m_Result; }
};

}  // namespace test_support
