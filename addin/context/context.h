#pragma once
// CContext<T>: the script object through which host scripts see a native object T. It owns T
// through a shared pointer (alone when the host created it by class name, shared when it wraps a
// member's result) and answers the host's property and method requests from ClassRecords<T>'s
// member registry, passing each to the member's handler with the object.
// Its own lifetime is the host's reference count. Requires: ClassRecords<T>'s registry exists.

#include <type_traits>
#include <utility>

#include <boost/shared_ptr.hpp>

#include "addin/context/class_records.h"
#include "addin/context/context_base.h"
#include "addin/context/handler_base.h"
#include "addin/grid/data_provider.h"
#include "addin/host/platform.h"

namespace Utils1s::Context {

template <class T>
class CContext : public CBLContext, public CContextBase {
public:
    // A new T in its initial state, owned by this object alone (the host's creation by name).
    CContext() : CBLContext(1), object_(new T()), raw_(object_.get()) {}
    // Shares object with its other owners.
    explicit CContext(boost::shared_ptr<T> object)
        : CBLContext(1), object_(std::move(object)), raw_(object_.get()) {}

    CRuntimeClass* GetRuntimeClass() const override { return ClassRecords<T>::RuntimeClass(); }

    const MemberRegistry& GetMembers() const override { return ClassRecords<T>::Members(); }
    bool GetInterface(int kind, boost::shared_ptr<void>& out) override {
        if constexpr (std::is_base_of_v<CDataProvider, T>) {
            if (kind == kDataProviderInterface) {
                out = boost::shared_ptr<CDataProvider>(object_);
                return true;
            }
        }
        if constexpr (std::is_base_of_v<CV7DataProvider, T>) {
            if (kind == kV7DataProviderInterface) {
                out = boost::shared_ptr<CV7DataProvider>(object_);
                return true;
            }
        }
        return false;
    }

    const char* DisplayTypeName() const override { return ClassRecords<T>::TypeText(); }

    int PropertyCount() override { return Properties().Count(); }
    int LookupProperty(const char* name) override { return Properties().Find(name); }
    const char* PropertyNameAt(int index, int language) override { return Properties().NameAt(index, language); }

    // Exceptions of the getter pass to the host.
    int ReadProperty(int index, CValue& out) override {
        const auto handler = PropertyAt(index);
        if (!handler || !raw_ || !handler->IsReadable()) return 0;
        return handler->GetValue(*raw_, out) ? 1 : 0;
    }
    // A wrong argument type becomes a script error, then success.
    int WriteProperty(int index, const CValue& value) override {
        const auto handler = PropertyAt(index);
        if (!handler || !raw_ || !handler->IsWritable()) return 0;
        try {
            return handler->SetValue(*raw_, value) ? 1 : 0;
        } catch (...) {
            ReportHandlerException();
            return 1;
        }
    }
    int CanReadProperty(int index) override {
        const auto handler = PropertyAt(index);
        return handler && handler->IsReadable() ? 1 : 0;
    }
    int CanWriteProperty(int index) override {
        const auto handler = PropertyAt(index);
        return handler && handler->IsWritable() ? 1 : 0;
    }

    int MethodCount() override { return Methods().Count(); }
    int LookupMethod(const char* name) override { return Methods().Find(name); }
    const char* MethodNameAt(int index, int language) override {
        if (index >= MethodCount()) return nullptr;
        return Methods().NameAt(index, language);
    }
    int MethodArity(int index) override {
        const auto handler = MethodAt(index);
        return handler ? handler->GetParamCount() : 0;
    }
    // out may be null: the default is then made and dropped.
    int MethodDefaultArg(int method, int parameter, CValue* out) override {
        const auto handler = MethodAt(method);
        if (!handler || parameter < 0 || parameter >= handler->GetParamCount()) return 0;
        CValue scratch;
        return handler->GetDefArg(parameter, out ? *out : scratch) ? 1 : 0;
    }
    int MethodHasResult(int index) override {
        const auto handler = MethodAt(index);
        return handler && handler->HasResult() ? 1 : 0;
    }
    // A function runs in full; its value is dropped.
    int InvokeAsProcedure(int index, CValue** args) override {
        if (index >= MethodCount()) return 0;
        CValue discarded;
        return InvokeAsFunction(index, discarded, args);
    }
    // args: one pointer per parameter, as the host passes them. A wrong argument type becomes a
    // script error, then success.
    int InvokeAsFunction(int index, CValue& result, CValue** args) override {
        const auto handler = MethodAt(index);
        if (!handler || !raw_) return 0;
        try {
            return handler->Call(*raw_, result, args) ? 1 : 0;
        } catch (...) {
            ReportHandlerException();
            return 1;
        }
    }

private:
    static const MemberTable<PropHandlerTag>& Properties() { return ClassRecords<T>::Members().Properties(); }
    static const MemberTable<MethodHandlerTag>& Methods() { return ClassRecords<T>::Members().Methods(); }
    // Handlers are held by a copy of their shared pointer for the whole operation.
    static boost::shared_ptr<PropHandlerBase<T>> PropertyAt(int index) {
        return boost::static_pointer_cast<PropHandlerBase<T>>(Properties().HandlerAt(index));
    }
    static boost::shared_ptr<MethodHandlerBase<T>> MethodAt(int index) {
        return boost::static_pointer_cast<MethodHandlerBase<T>>(Methods().HandlerAt(index));
    }

    boost::shared_ptr<T> object_;  // the owning reference
    T* raw_;                       // object_.get(), taken once; every member call is made on it
};

}  // namespace Utils1s::Context
