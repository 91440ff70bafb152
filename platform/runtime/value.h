#pragma once
// The host's script value: empty, a number, a text or a script object. Value semantics; a value
// that holds an object holds one reference to it.

#include <memory>

#include "platform/mfc/cstring.h"
#include "platform/runtime/numeric.h"

class CBLContext;

class CType {
public:
    explicit CType(int code) : code_(code) {}
    int GetTypeCode() const { return code_; }

private:
    int code_;
};

class CValue {
public:
    enum class Kind { Empty, Number, String, Object };

    CValue() = default;
    CValue(const CValue& other);
    ~CValue();
    CValue& operator=(const CValue& other);
    CValue& operator=(const CNumeric& number);
    CValue& operator=(long number);
    CValue& operator=(int number) { return *this = static_cast<long>(number); }
    CValue& operator=(const char* text);

    Kind GetKind() const { return kind_; }
    // Text form: the text itself, a number's decimal text, an object's type name, "" when empty.
    CString GetString() const;
    // Numeric view: the number, a text's leading number, 0 otherwise.
    CNumeric GetNumeric() const;
    // The object held, or null.
    CBLContext* GetContext() const { return kind_ == Kind::Object ? context_ : nullptr; }
    // Makes the value refer to context (taking a reference); null makes it empty.
    void AssignContext(CBLContext* context);
    // Display text, valid until the value changes. A number's or object's text is kept in a buffer
    // made at the first such call and reused by later ones, so values never formatted carry none.
    const char* Format() const;
    // Non-zero when both are of one kind and equal: numbers by value, texts by bytes, objects by identity.
    int operator==(const CValue& other) const;
    void Reset();

    // A text value keeps its text here; the program may fill it through GetBuffer/ReleaseBuffer.
    CString m_String;

private:
    Kind kind_ = Kind::Empty;
    CNumeric number_;
    CBLContext* context_ = nullptr;
    mutable std::unique_ptr<CString> format_;  // display text of a number or object; made on demand
};
