#pragma once
// The members scripts see on the four classes, one line per member, Russian name first, in
// index order within each kind.

#include "addin/context/member_registry.h"

namespace Rowlark {

void AddFieldMembers(Utils1s::Context::MemberRegistry& members);
void AddFieldsCollectionMembers(Utils1s::Context::MemberRegistry& members);
void AddStaticProviderMembers(Utils1s::Context::MemberRegistry& members);
void AddDynamicProviderMembers(Utils1s::Context::MemberRegistry& members);

}  // namespace Rowlark
