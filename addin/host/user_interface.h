#pragma once
// Shows things to the user: message lines, the status text, message boxes. One process-wide object
// (see services.h) that is never destroyed, hence no virtual destructor; never delete through it.

#include <string>

namespace Utils {

class CUserInterface {
public:
    // A line in the message window; kind 1 and 2 pick their own marker, every other kind the plain one.
    virtual void ShowMessage(const std::string& text, int kind) = 0;
    // The empty text clears the status.
    virtual void SetStatusText(const std::string& text) = 0;
    // A modal information box with an OK button.
    virtual void ShowMessageBox(const std::string& text) = 0;

protected:
    ~CUserInterface() = default;
};

}  // namespace Utils
