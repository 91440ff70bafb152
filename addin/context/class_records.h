#pragma once
// The per-class records of a script class CContext<T>, one set per T, built by the module's
// start-up and torn down at unload, each part on its own:
//   MemberRegistry& members = ClassRecords<T>::CreateRegistry(kRussianName.c_str());  // + type text
//   ... members.AddProperty(...) / AddMethod(...) ...
//   ClassRecords<T>::CreateClassName("Rowlark.Provider.OleDb.Field");  // "CContext_" + English name
//   ... at unload, after the class is unregistered from the host:
//   ClassRecords<T>::ReleaseRegistry();  ClassRecords<T>::ReleaseClassName();
// The runtime-class record itself always exists (schema 0xFFFF, base CBLContext::classCBLContext,
// creation by CContext<T>'s default constructor); only its name comes and goes.
// Requires: the registry exists while any CContext<T> lives.

#include <memory>
#include <stdexcept>
#include <string>

#include "addin/context/member_registry.h"
#include "addin/host/platform.h"

namespace Utils1s::Context {

template <class T>
class CContext;

template <class T>
class ClassRecords {
public:
    // A new empty registry, and type_text (CP1251) as the text objects of the class show.
    // Throws std::logic_error when the registry exists already.
    static MemberRegistry& CreateRegistry(const char* type_text) {
        State& s = GetState();
        if (s.registry) throw std::logic_error("member registry created twice for one class");
        s.registry = std::make_unique<MemberRegistry>();
        s.type_text = type_text ? type_text : "";
        return *s.registry;
    }
    static void ReleaseRegistry() {
        GetState().registry.reset();
        GetState().type_text.clear();
    }

    // Names the runtime-class record "CContext_" + english_name; the text lives until ReleaseClassName.
    static void CreateClassName(const char* english_name) {
        State& s = GetState();
        s.class_name = std::string("CContext_") + (english_name ? english_name : "");
        Record().m_lpszClassName = s.class_name.c_str();
    }
    static void ReleaseClassName() {
        Record().m_lpszClassName = nullptr;
        GetState().class_name.clear();
    }

    static CRuntimeClass* RuntimeClass() { return &Record(); }
    static bool HasRegistry() { return GetState().registry != nullptr; }
    // Throws std::logic_error when the registry has not been created (an object made before start-up).
    static const MemberRegistry& Members() {
        const State& s = GetState();
        if (!s.registry) throw std::logic_error("script class used before its members were registered");
        return *s.registry;
    }
    static const char* TypeText() { return GetState().type_text.c_str(); }

private:
    struct State {
        std::unique_ptr<MemberRegistry> registry;
        std::string type_text;
        std::string class_name;
    };
    static State& GetState() {
        static State state;
        return state;
    }
    static CObject* CreateObject() { return new CContext<T>(); }
    static CRuntimeClass& Record() {
        static CRuntimeClass record{nullptr, static_cast<int>(sizeof(CContext<T>)), 0xFFFF, &CreateObject,
                                    &CBLContext::classCBLContext};
        return record;
    }
};

}  // namespace Utils1s::Context
