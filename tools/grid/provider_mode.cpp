#include "tools/grid/provider_mode.h"

#include "platform/text/cp1251.h"
#include "tools/grid/dynamic_mode.h"
#include "tools/grid/static_mode.h"

namespace grid_tool {

std::unique_ptr<ProviderMode> MakeMode(const TablePlan& plan, ScriptObject& provider) {
    if (plan.dynamic) return std::make_unique<DynamicMode>(plan, provider);
    return std::make_unique<StaticMode>(plan);
}

std::string Quoted(const std::string& cp1251_text) { return "\"" + cp1251::ToUtf8(cp1251_text) + "\""; }

}  // namespace grid_tool
