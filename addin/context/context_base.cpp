#include "addin/context/context_base.h"

#include "addin/context/handler_base.h"
#include "addin/host/services.h"
#include "text/cp1251_literal.h"

namespace Utils1s::Context {

void ReportHandlerException() {
    static constexpr cp1251::Literal kWrongArgument{"Неверный тип аргумента ("};
    try {
        throw;
    } catch (const ArgumentTypeMismatchException& e) {
        GetSystemInterface()->RaiseError(kWrongArgument.str() + e.what() + ")");
    }
}

}  // namespace Utils1s::Context
