#pragma once
// Property reads and writes and method calls on a script object, exactly as the host makes them:
// the name goes to the object's own lookup, the argument count and default arguments come from the
// object, a function is called as one where the script uses its value. What the host would stop
// the script for becomes a RuntimeError: an unknown member, a refused write, a wrong argument
// count, a procedure used for a value, and every run-time error the object raised during the call
// (its text byte for byte; the first one, where the host would have stopped).

#include <string>
#include <vector>

#include "platform/runtime/context.h"

namespace script {

// Names are CP1251, as the script wrote them.
CValue ReadProperty(CBLContext& object, const std::string& name);
void WriteProperty(CBLContext& object, const std::string& name, const CValue& value);

// One argument of a call; given is false for an argument left out, which takes the object's default.
struct Argument {
    CValue value;
    bool given = true;
};
// want_result: the script uses the value (then the method must be a function). After a call that
// succeeded, each given argument's value is what the method left in it (arguments go by reference).
CValue CallMethod(CBLContext& object, const std::string& name, std::vector<Argument>& args, bool want_result);

// Creates an object by a registered class name (CP1251).
CValue CreateObject(const std::string& class_name);

// Throws the first run-time error raised through the host since the last call, forgetting them all.
void ThrowRaisedErrors();

}  // namespace script
