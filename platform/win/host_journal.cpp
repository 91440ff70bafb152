#include "platform/win/host_journal.h"

namespace host_journal {
namespace {
std::vector<std::string>& Journal() {
    static std::vector<std::string> journal;
    return journal;
}
}  // namespace

void Record(std::string entry) { Journal().push_back(std::move(entry)); }
const std::vector<std::string>& Entries() { return Journal(); }
void Clear() { Journal().clear(); }
}  // namespace host_journal
