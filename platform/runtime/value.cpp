#include "platform/runtime/value.h"

#include <utility>

#include "platform/runtime/context.h"

CValue::CValue(const CValue& other)
    : m_String(other.m_String), kind_(other.kind_), number_(other.number_), context_(other.context_) {
    if (context_) context_->IncrRef();
}

CValue::~CValue() { Reset(); }

CValue& CValue::operator=(const CValue& other) {
    if (this == &other) return *this;
    CBLContext* const previous = GetContext();
    if (other.context_) other.context_->IncrRef();  // before releasing ours: they may be the same object
    kind_ = other.kind_;
    number_ = other.number_;
    context_ = other.context_;
    m_String = other.m_String;
    if (previous) previous->DecrRef();
    return *this;
}

CValue& CValue::operator=(const CNumeric& number) {
    Reset();
    kind_ = Kind::Number;
    number_ = number;
    return *this;
}

CValue& CValue::operator=(long number) { return *this = CNumeric(number); }

CValue& CValue::operator=(const char* text) {
    CString copy(text);  // text may point into this value
    Reset();
    kind_ = Kind::String;
    m_String = std::move(copy);
    return *this;
}

void CValue::Reset() {
    CBLContext* const previous = GetContext();
    kind_ = Kind::Empty;
    context_ = nullptr;
    number_ = CNumeric();
    m_String.Empty();
    if (previous) previous->DecrRef();
}

void CValue::AssignContext(CBLContext* context) {
    if (context) context->IncrRef();
    Reset();
    if (!context) return;
    kind_ = Kind::Object;
    context_ = context;
}

CString CValue::GetString() const {
    switch (kind_) {
        case Kind::String: return m_String;
        case Kind::Number: return CString(number_.Format());
        case Kind::Object: return CString(context_->DisplayTypeName());
        case Kind::Empty: break;
    }
    return CString();
}

CNumeric CValue::GetNumeric() const {
    switch (kind_) {
        case Kind::Number: return number_;
        case Kind::String: return CNumeric::Parse(m_String.view());
        default: return CNumeric();
    }
}

const char* CValue::Format() const {
    if (kind_ == Kind::String) return m_String;
    if (kind_ == Kind::Empty) return "";
    if (!format_) format_ = std::make_unique<CString>();
    *format_ = GetString();
    return *format_;
}

int CValue::operator==(const CValue& other) const {
    if (kind_ != other.kind_) return 0;
    switch (kind_) {
        case Kind::Empty: return 1;
        case Kind::Number: return number_ == other.number_ ? 1 : 0;
        case Kind::String: return m_String == other.m_String ? 1 : 0;
        case Kind::Object: return context_ == other.context_ ? 1 : 0;
    }
    return 0;
}
