#pragma once
// Runs a script file as the host would: reads and parses it whole (a syntax error runs nothing),
// then runs it with the host's message window on standard output. Errors go to standard error in
// the host's manner, Russian with the English sense: "FILE:LINE:COLUMN: Ошибка синтаксиса: ..." or
// "FILE:LINE: Ошибка выполнения: ...". Requires: the module loaded (tools::HostSession).

#include <string>

#include "tools/script/language/date_calendar.h"

namespace script {

enum ExitStatus { kSucceeded = 0, kRuntimeFailed = 1, kSyntaxFailed = 2 };

struct RunOptions {
    std::string database_path;  // UTF-8; the script reads it as ПутьКБазе/DatabasePath ("" when not given)
    calendar::DayNumber work_date = calendar::kEmptyDate;  // РабочаяДата at the start; empty: today's
};

ExitStatus RunFile(const std::string& path, const RunOptions& options);
// The same for a text already in memory; name is what error messages call it.
ExitStatus RunText(const std::string& utf8, const std::string& name, const RunOptions& options);

}  // namespace script
