#include "platform/mfc/cstring.h"

#include <algorithm>
#include <cstring>

#include "platform/win/crt.h"

char* CString::GetBuffer(int min_length) {
    if (min_length > GetLength()) text_.resize(static_cast<std::size_t>(min_length));
    return text_.data();
}

void CString::ReleaseBuffer(int new_length) {
    if (new_length < 0) new_length = static_cast<int>(strnlen(text_.data(), text_.size()));
    text_.resize(static_cast<std::size_t>(std::min(new_length, GetLength())));
}

int CString::Delete(int index, int count) {
    if (index < 0) index = 0;
    if (count > 0 && index < GetLength())
        text_.erase(static_cast<std::size_t>(index), static_cast<std::size_t>(count));
    return GetLength();
}

CString& CString::MakeLower() {
    for (char& c : text_) c = static_cast<char>(crt::ToLower(static_cast<unsigned char>(c)));
    return *this;
}

int CString::Replace(const char* old_text, const char* new_text) {
    const std::string_view from(old_text ? old_text : "");
    const std::string_view to(new_text ? new_text : "");
    if (from.empty()) return 0;
    std::string result;
    int replaced = 0;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text_.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
        result.append(text_, pos, hit - pos).append(to);
        ++replaced;
    }
    if (replaced == 0) return 0;
    result.append(text_, pos, std::string::npos);
    text_.swap(result);
    return replaced;
}

int CString::Find(const char* sub, int start) const {
    if (start < 0 || start > GetLength()) return -1;
    const auto hit = text_.find(sub ? sub : "", static_cast<std::size_t>(start));
    return hit == std::string::npos ? -1 : static_cast<int>(hit);
}

CString CString::Left(int count) const {
    return CString(std::string_view(text_).substr(0, static_cast<std::size_t>(std::clamp(count, 0, GetLength()))));
}

CString CString::Mid(int first, int count) const {
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(std::string_view(text_).substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

int CString::Compare(const char* other) const {
    return _mbscmp(reinterpret_cast<const unsigned char*>(text_.c_str()),
                   reinterpret_cast<const unsigned char*>(other ? other : ""));
}
