#pragma once
// Raises run-time errors in the running script. One process-wide object (see services.h).
// RaiseError may leave by the host's own error mechanism or return; when it returns, the caller
// ends its operation with its neutral result.

#include <string>

namespace Utils {

class CSystemInterface {
public:
    virtual ~CSystemInterface() = default;
    // text: CP1251.
    virtual void RaiseError(const std::string& text) = 0;
};

}  // namespace Utils
