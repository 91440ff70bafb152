#pragma once
// The host's script object. The host calls it through this fixed order of virtual operations:
// CObject's five, twelve inherited unchanged, sixteen that a script class implements, four more.
// Reference counted: a new object starts with one reference (its creator's) and is destroyed
// when the count drops to zero.

#include "platform/mfc/afx.h"
#include "platform/runtime/value.h"

class CBLContext : public CObject {
public:
    explicit CBLContext(int destroy_unreferenced = 1);
    ~CBLContext() override;
    CRuntimeClass* GetRuntimeClass() const override;

    virtual void IncrRef();
    virtual void DecrRef();
    virtual int GetDestroyUnRefd() const;
    virtual int IsOleContext() const;
    virtual long GetValueType() const;
    virtual long GetTypeID() const;
    virtual long GetID() const;
    virtual const char* GetCode() const;
    virtual int IsExactValue() const;
    virtual void InitObject(const CType& type);
    virtual void InitObject(const char* text);
    virtual int SelectByID(long id, long kind);

    virtual const char* DisplayTypeName() const;
    virtual int PropertyCount();
    virtual int LookupProperty(const char* name);
    virtual const char* PropertyNameAt(int index, int language);
    virtual int ReadProperty(int index, CValue& out);
    virtual int WriteProperty(int index, const CValue& value);
    virtual int CanReadProperty(int index);
    virtual int CanWriteProperty(int index);
    virtual int MethodCount();
    virtual int LookupMethod(const char* name);
    virtual const char* MethodNameAt(int index, int language);
    virtual int MethodArity(int index);
    virtual int MethodDefaultArg(int method, int parameter, CValue* out);
    virtual int MethodHasResult(int index);
    virtual int InvokeAsProcedure(int index, CValue** args);
    virtual int InvokeAsFunction(int index, CValue& result, CValue** args);

    virtual int IsSerializable();
    virtual int SaveToString(CString& text);
    virtual void* GetInternalData();
    virtual int GetExactValue(CValue& value);

    int RefCount() const { return ref_count_; }

    // The class registry: a runtime-class record known under a name (letter case ignored).
    static void RegisterContextClass(CRuntimeClass* record, const char* name, const CType& type);
    // Removes one name registered for the record (the earliest); nothing when none remains.
    static void UnRegisterContextClass(CRuntimeClass* record);
    // Creates an object by a registered name into value (which then holds its only reference);
    // false, with value untouched, for a name not registered or a record that makes no script object.
    static bool CreateByName(const char* name, CValue& value);
    // Whether a name is registered, and how many registrations exist.
    static bool IsRegistered(const char* name);
    static int RegistrationCount();

    static CRuntimeClass classCBLContext;

private:
    int ref_count_ = 1;
    int destroy_unreferenced_;
};
