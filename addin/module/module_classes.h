#pragma once
// The module's classes, built at start-up and undone at unload. Constructing a ModuleClasses builds,
// in order: the field's registry and runtime-class name, the fields collection's, then each provider:
// registry, host registration under its English then its Russian name (type 100), its members, its
// runtime-class name. Each class enters the exit list as soon as it exists; destruction releases the
// list newest class first, each provider unregistered (once per name) before its registry and name go.
// If a step fails, what was built is undone at once and Failed() answers true.

#include <functional>
#include <string>
#include <vector>

namespace Rowlark {

class ModuleClasses {
public:
    ModuleClasses();
    ~ModuleClasses();
    ModuleClasses(const ModuleClasses&) = delete;
    ModuleClasses& operator=(const ModuleClasses&) = delete;

    bool Failed() const { return !failure_.empty(); }
    const std::string& Failure() const { return failure_; }

    // For tests: makes the next start-up fail while adding the members of the named provider.
    static void FailMembersOf(const char* english_name);

private:
    void Build();
    void Unwind();

    std::vector<std::function<void()>> exit_list_;  // undo actions, oldest first
    std::string failure_;
};

}  // namespace Rowlark
