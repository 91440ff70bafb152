#pragma once
// The host-side grid as a script object, "Сетка" / "Grid": a script gives it a provider and moves
// it as a user would (pages, first and last rows, search in a column, jump to a key, refresh), and
// shows the visible page as text (controls in cells shown by stand-ins, tools/terminal_text). It
// drives the platform's grid component, which reaches the provider only through its grid interfaces.
// Its members are its own (this object is the host's, not the module's); its errors are raised as
// the host raises run-time errors.

#include <memory>

#include "platform/grid_component/grid_component.h"
#include "platform/runtime/context.h"

namespace script {

class GridObject : public CBLContext {
public:
    GridObject();
    ~GridObject() override;
    CRuntimeClass* GetRuntimeClass() const override;

    const char* DisplayTypeName() const override;
    int PropertyCount() override;
    int LookupProperty(const char* name) override;
    const char* PropertyNameAt(int index, int language) override;
    int ReadProperty(int index, CValue& out) override;
    int WriteProperty(int index, const CValue& value) override;
    int CanReadProperty(int index) override;
    int CanWriteProperty(int index) override;
    int MethodCount() override;
    int LookupMethod(const char* name) override;
    const char* MethodNameAt(int index, int language) override;
    int MethodArity(int index) override;
    int MethodDefaultArg(int method, int parameter, CValue* out) override;
    int MethodHasResult(int index) override;
    int InvokeAsProcedure(int index, CValue** args) override;
    int InvokeAsFunction(int index, CValue& result, CValue** args) override;

    static CRuntimeClass classGridObject;

private:
    // Raises the host's error and answers false when no provider is set.
    bool RequireProvider();
    bool Attach(const CValue& provider);

    int page_size_ = 10;
    CValue provider_;  // holds the provider's script object while the grid uses it
    std::unique_ptr<grid_component::Grid> grid_;
};

// Registers the grid's class under both names for its lifetime.
class GridClassRegistration {
public:
    GridClassRegistration();
    ~GridClassRegistration();
    GridClassRegistration(const GridClassRegistration&) = delete;
    GridClassRegistration& operator=(const GridClassRegistration&) = delete;
};

}  // namespace script
