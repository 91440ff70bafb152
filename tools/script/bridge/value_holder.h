#pragma once
// A host object that holds script values (a value list, a value table). Such objects may hold one
// another or themselves, and reference counts alone never free such a cycle. Every holder is known
// here while it lives, so that BreakUnreachableCycles can find the holders that no value outside
// them reaches any more and empty them: their counts then fall to zero and they die.

#include <functional>

#include "platform/runtime/context.h"

namespace script {

class ValueHolder : public CBLContext {
public:
    ValueHolder(const ValueHolder&) = delete;
    ValueHolder& operator=(const ValueHolder&) = delete;

    // Calls visit with every value the object holds.
    virtual void VisitHeldValues(const std::function<void(const CValue&)>& visit) const = 0;
    // Lets go of every value the object holds (it may then be empty in a way no script call leaves it).
    virtual void DropHeldValues() = 0;

protected:
    ValueHolder();
    ~ValueHolder() override;
};

// Empties every holder that only other such holders reach (a list holding itself, two tables holding
// each other, a table in a list in the table), so that they die; holders that a value elsewhere (a
// variable, another object) reaches, directly or through other holders, stay as they are. Answers
// how many holders it emptied.
int BreakUnreachableCycles();
// How many holders are alive now.
int LiveValueHolderCount();

}  // namespace script
