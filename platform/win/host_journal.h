#pragma once
// An ordered record of the calls the module makes into its host (class registration, extension
// module start and end, loading). Tests read it to prove the order of start-up and unload.

#include <string>
#include <vector>

namespace host_journal {
void Record(std::string entry);
const std::vector<std::string>& Entries();
void Clear();
}  // namespace host_journal
