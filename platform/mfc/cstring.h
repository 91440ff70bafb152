#pragma once
// MFC's CString as the module uses it: a byte string in the host code page with MFC's documented
// behaviour for GetBuffer/ReleaseBuffer, Delete, MakeLower (current C-runtime locale) and Replace.

#include <cstddef>
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const char* text) : text_(text ? text : "") {}  // NOLINT: MFC converts implicitly
    CString(const char* text, int length) : text_(text, static_cast<std::size_t>(length)) {}
    explicit CString(std::string_view text) : text_(text) {}

    CString& operator=(const char* text) { text_ = text ? text : ""; return *this; }
    CString& operator+=(const CString& other) { text_ += other.text_; return *this; }
    CString& operator+=(const char* text) { text_ += text ? text : ""; return *this; }
    CString& operator+=(char c) { text_ += c; return *this; }

    int GetLength() const { return static_cast<int>(text_.size()); }
    bool IsEmpty() const { return text_.empty(); }
    void Empty() { text_.clear(); }
    char GetAt(int index) const { return text_[static_cast<std::size_t>(index)]; }
    char operator[](int index) const { return GetAt(index); }
    operator const char*() const { return text_.c_str(); }  // LPCTSTR
    const char* c_str() const { return text_.c_str(); }
    std::string_view view() const { return text_; }

    // Writable buffer of at least min_length characters plus a terminating NUL; the contents so far
    // are kept. Valid until ReleaseBuffer or the next change of the string.
    char* GetBuffer(int min_length);
    // Ends a GetBuffer: the length becomes new_length, or with -1 the length up to the first NUL.
    void ReleaseBuffer(int new_length = -1);

    // Removes count characters from index (clamped to the string); returns the new length.
    int Delete(int index, int count = 1);
    // Lower-cases in place by the C runtime's current locale.
    CString& MakeLower();
    // Replaces every occurrence of old_text, left to right, without rescanning replacements;
    // returns the number replaced. An empty old_text replaces nothing.
    int Replace(const char* old_text, const char* new_text);
    int Find(const char* sub, int start = 0) const;
    CString Left(int count) const;
    CString Mid(int first, int count) const;
    int Compare(const char* other) const;

    friend bool operator==(const CString& a, const CString& b) { return a.text_ == b.text_; }
    friend bool operator==(const CString& a, const char* b) { return a.text_ == (b ? b : ""); }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.text_ < b.text_; }
    friend CString operator+(CString a, const CString& b) { a += b; return a; }

private:
    std::string text_;
};
