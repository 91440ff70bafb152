#pragma once
// Makes the handler record of one member from the member function itself, so that a class's
// registration reads like its member table (Russian name first):
//   members.AddMethod(kGetAt.c_str(), "GetAt", Method<CFieldsCollection>(&CFieldsCollection::GetAt));
//   members.AddMethod(kFields.c_str(), "Fields", Method<CVfpProviderStatic>(&CProvider::GetFields));
//   members.AddProperty(kName.c_str(), "Name", Property<CField>(&CField::GetName));            // read only
//   members.AddProperty(kText.c_str(), "QueryText", Property<P>(&P::GetQueryText, &P::SetQueryText));
// T is the script class; the member may belong to a base of T and may be const. Handler type and
// arity follow the member's signature; every parameter is DefArgHandling::MustBeDefined_.

#include <cstddef>
#include <tuple>

#include <boost/make_shared.hpp>
#include <boost/shared_ptr.hpp>

#include "addin/context/handlers.h"

namespace Utils1s::Context {

template <class Member>
struct MemberSignature;
template <class R, class B, class... A>
struct MemberSignature<R (B::*)(A...)> {
    using Result = R;
    using Params = std::tuple<A...>;
};
template <class R, class B, class... A>
struct MemberSignature<R (B::*)(A...) const> : MemberSignature<R (B::*)(A...)> {};
template <class R, class B, class... A>
struct MemberSignature<R (B::*)(A...) noexcept> : MemberSignature<R (B::*)(A...)> {};
template <class R, class B, class... A>
struct MemberSignature<R (B::*)(A...) const noexcept> : MemberSignature<R (B::*)(A...)> {};

// The handler of a member with parameters Params, each MustBeDefined_.
template <class T, class R, class Params>
struct MethodHandlerFor;
template <class T, class R, class... A>
struct MethodHandlerFor<T, R, std::tuple<A...>> {
    template <class>
    using MustBeDefined = DefArgHandling::MustBeDefined_;
    using Type = MethodHandler<T, R, std::tuple<A...>, std::tuple<MustBeDefined<A>...>>;
};

template <class T, class Member>
boost::shared_ptr<MethodHandlerTag> Method(Member member) {
    using Signature = MemberSignature<Member>;
    using Handler = typename MethodHandlerFor<T, typename Signature::Result, typename Signature::Params>::Type;
    return boost::make_shared<Handler>(member);
}

// A readable and writable property; the setter takes one parameter.
template <class T, class Getter, class Setter>
boost::shared_ptr<PropHandlerTag> Property(Getter getter, Setter setter) {
    using G = typename MemberSignature<Getter>::Result;
    using S = std::tuple_element_t<0, typename MemberSignature<Setter>::Params>;
    return boost::make_shared<PropHandler<T, S, G>>(getter, setter);
}

// A read-only property: writing it answers 0 without calling anything.
template <class T, class Getter>
boost::shared_ptr<PropHandlerTag> Property(Getter getter) {
    using G = typename MemberSignature<Getter>::Result;
    return boost::make_shared<PropHandler<T, G, G>>(getter, nullptr);
}

}  // namespace Utils1s::Context
