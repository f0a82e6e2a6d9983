#pragma once
// CReflector<T>: the registration kit that binds a C++ type to the registry
// (its record, pointer forms, converters, constructors, methods, properties,
// attributes and enumeration names). A registration function calls these
// in its type's order, for example:
//
//   using R = CReflector<CNoiseFloatControl>;
//   R::RegisterType("Engine::Scene::CNoiseFloatControl", ERefPtrForm::Yes);
//   R::RegisterVoidPointerConverter();
//   R::AddDefaultConstructor();
//   R::AddBase<CController>();        // up- and down-casts
//   R::AddBase<IFloatController>();   // tag interface: up-casts only
//   R::AddProperty("Strenght", &CNoiseFloatControl::SetStrength, &CNoiseFloatControl::GetStrength);

#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "reflection/Comparators.h"
#include "reflection/Constructors.h"
#include "reflection/Converters.h"
#include "reflection/Methods.h"
#include "reflection/Properties.h"
#include "reflection/TypeInfo.h"
#include "reflection/TypeName.h"

namespace Engine::Reflection {

// Whether the type's record is reached through its counted form ref_ptr<T>.
enum class ERefPtrForm { No, Yes };
// Down-casts from a base need virtual functions in it; a mixin or tag
// interface gets up-casts only.
enum class EBaseKind { Polymorphic, UpcastOnly };

namespace Detail {
// Logs a full name that another record already has.
void WarnDuplicateName(const CTypeInfo* record, std::string_view name);
std::string_view LastNamePart(std::string_view qualifiedName);

template <class S, class G>
struct PropertyValue {
    using Type = std::decay_t<typename MemberTraits<G>::Result>;
};
template <class S>
struct PropertyValue<S, std::nullptr_t> {
    using Type = std::decay_t<typename MemberTraits<S>::Arg>;
};
} // namespace Detail

template <class T>
class CReflector {
public:
    // Constructors of the pointer records: they yield a null pointer.
    class CPtrConstructor final : public CConstructorInfo {
    public:
        explicit CPtrConstructor(const CTypeInfo* pointerRecord) : CConstructorInfo(pointerRecord, {}) {}
        CValue Invoke(std::vector<CValue>&) const override { return CValue(static_cast<T*>(nullptr)); }
    };
    class CConstPtrConstructor final : public CConstructorInfo {
    public:
        explicit CConstPtrConstructor(const CTypeInfo* pointerRecord) : CConstructorInfo(pointerRecord, {}) {}
        CValue Invoke(std::vector<CValue>&) const override { return CValue(static_cast<const T*>(nullptr)); }
    };

    // Defines T's record (completing a record that was only mentioned, or
    // emptying a defined one in place), names it (a second name becomes an
    // alias; " COMMA " reads as ", "), sets the abstract flag and registers
    // the pointer forms. Starts the class's method list afresh.
    static CTypeInfo* RegisterType(std::string_view name, ERefPtrForm refPtr = ERefPtrForm::No,
                                   bool isAbstract = false) {
        CTypeInfo* record = refPtr == ERefPtrForm::Yes
                                ? RegisterRefPtrType()
                                : CTypeRegistry::Instance().GetOrCreateTypeInfo(typeid(T), true);
        s_type = record;
        s_methods.list.clear();
        const std::string expanded = ExpandTypeNameCommas(name);
        if (record->HasName()) {
            record->AddAlias(CString(expanded));
        } else {
            Detail::WarnDuplicateName(record, expanded);
            record->SetName(expanded);
        }
        record->SetAbstract(isAbstract);
        RegisterPointerTypes();
        return record;
    }

    // Defines T's record and links it with the record of ref_ptr<T>.
    static CTypeInfo* RegisterRefPtrType() {
        auto& registry = CTypeRegistry::Instance();
        CTypeInfo* refPtr = registry.Find(typeid(Engine::ref_ptr<T>));
        if (!refPtr) refPtr = registry.AddPlaceholderType(typeid(Engine::ref_ptr<T>));
        CTypeInfo* record = registry.GetOrCreateTypeInfo(typeid(T), true);
        record->LinkRefPtrForm(refPtr);
        return record;
    }

    // The records of T* and const T* (named as T, with their null pointer
    // constructors; const T* also gets the address comparator); marks T
    // defined.
    static void RegisterPointerTypes() {
        if constexpr (!std::is_pointer_v<T>) {
            s_type->SetPointerType(DefinePointer<T*>());
            s_type->SetConstPointerType(DefinePointer<const T*>());
        }
        s_type->MarkPointerFormsDefined();
        s_type->MarkDefined();
    }

    static void RegisterVoidPointerConverter() {
        auto& registry = CTypeRegistry::Instance();
        registry.AddVoidPointerConverter(registry.VoidPointerType(), TypeOf<T*>(),
                                         std::make_unique<CStaticConverter<void*, T*>>());
    }

    // Stores T* to B*, const T* to const B* and T* to const B*, and for a
    // polymorphic base the three checked casts back. A slot already
    // written is replaced.
    template <class B>
    static void RegisterBaseConverters(EBaseKind kind = DefaultKind<B>()) {
        Store<T*, B*, CStaticConverter>();
        Store<const T*, const B*, CStaticConverter>();
        Store<T*, const B*, CStaticConverter>();
        if constexpr (std::is_polymorphic_v<B>) {
            if (kind == EBaseKind::Polymorphic) {
                Store<B*, T*, CDynamicConverter>();
                Store<const B*, const T*, CDynamicConverter>();
                Store<B*, const T*, CDynamicConverter>();
            }
        }
    }

    // Appends B to the bases and registers the converters between them.
    template <class B>
    static void AddBase(EBaseKind kind = DefaultKind<B>()) {
        static_assert(std::is_base_of_v<B, T>);
        s_type->AddBaseType(TypeOf<B>());
        RegisterBaseConverters<B>(kind);
    }

    static void AddAttribute(std::unique_ptr<CCustomAttribute> attribute) { s_type->AddAttribute(std::move(attribute)); }

    template <class Creator = CObjectInstanceCreator<T>>
    static void AddDefaultConstructor() {
        s_type->AddConstructor(std::make_unique<CConstructorInfo0<T, Creator>>(s_type));
    }

    // A constructor of one parameter of type A (no default).
    template <class A, class Creator = CObjectInstanceCreator<T>>
    static void AddConstructor(const char* parameterName) {
        ParameterList parameters{CParameterInfo(parameterName, TypeOf<std::decay_t<A>>())};
        s_type->AddConstructor(std::make_unique<CConstructorInfo1<T, Creator, A>>(s_type, std::move(parameters)));
    }

    // Adds the method unless the class already has one with the same
    // signature; returns the one kept (a refused one is destroyed).
    static CMethodInfo* AddMethod(std::unique_ptr<CMethodInfo> method) {
        for (CMethodInfo* existing : s_methods.list)
            if (existing->HasSameSignature(*method)) return existing;
        CMethodInfo* added = s_type->AddMethod(std::move(method));
        s_methods.list.push_back(added);
        return added;
    }

    // "Set"+name (one parameter "value", no default) then "Get"+name, each
    // through AddMethod, then the property over them. Either member may be
    // nullptr; a member bound const is reached from const objects too.
    template <class S, class G>
    static CPropertyInfo* AddProperty(std::string_view name, S setter, G getter) {
        using V = typename Detail::PropertyValue<S, G>::Type;
        const CMethodInfo* set = nullptr;
        const CMethodInfo* get = nullptr;
        if constexpr (!std::is_null_pointer_v<S>) {
            ParameterList parameters{CParameterInfo("value", TypeOf<V>())};
            set = AddMethod(MakeMethodInfo<T>(CString("Set") + name, std::move(parameters), setter));
        }
        if constexpr (!std::is_null_pointer_v<G>) get = AddMethod(MakeMethodInfo<T>(CString("Get") + name, {}, getter));
        return s_type->AddProperty(std::make_unique<CPropertyInfo>(set, get, s_type, TypeOf<V>(), CString(name)));
    }

    // An enumeration: RegisterType without a counted form, its values
    // ordered as signed numbers, and a constructor that makes the value 0.
    static CTypeInfo* RegisterEnumType(std::string_view name) {
        static_assert(std::is_enum_v<T>);
        CTypeInfo* record = RegisterType(name);
        record->SetComparator(std::make_unique<CTotalOrderComparator<T>>());
        AddDefaultConstructor<CValueInstanceCreator<T>>();
        return record;
    }

    // Stores the part after the last "::"; a value that has a name keeps it.
    static void AddEnumValueName(std::string_view qualifiedName, T value) {
        s_type->AddEnumValueName(static_cast<std::int64_t>(value), CString(Detail::LastNamePart(qualifiedName)));
    }

    static CTypeInfo* Record() { return s_type; }
    static const std::vector<CMethodInfo*>& Methods() { return s_methods.list; }
    // Frees the storage of the class's method list; the methods themselves
    // belong to the type record.
    static void Release() { std::vector<CMethodInfo*>().swap(s_methods.list); }

private:
    template <class B>
    static constexpr EBaseKind DefaultKind() {
        return std::is_polymorphic_v<B> ? EBaseKind::Polymorphic : EBaseKind::UpcastOnly;
    }

    template <class P>
    static CTypeInfo* DefinePointer() {
        TypeOf<P>(); // knows the pointer's shape
        CTypeInfo* pointer = CTypeRegistry::Instance().GetOrCreateTypeInfo(typeid(P), true);
        pointer->SetNames(s_type->GetShortName(), s_type->GetScope());
        pointer->SetPointee(s_type);
        pointer->MarkPointerFormsDefined();
        pointer->MarkDefined();
        if constexpr (std::is_const_v<std::remove_pointer_t<P>>) {
            pointer->SetConst(true);
            pointer->AddConstructor(std::make_unique<CConstPtrConstructor>(pointer));
            pointer->SetComparator(std::make_unique<CTotalOrderComparator<P>>());
        } else {
            pointer->AddConstructor(std::make_unique<CPtrConstructor>(pointer));
        }
        return pointer;
    }

    template <class From, class To, template <class, class> class Converter>
    static void Store() {
        CTypeRegistry::Instance().Converters().Set(TypeOf<From>(), TypeOf<To>(),
                                                   std::make_unique<Converter<From, To>>());
    }

    static inline constinit CTypeInfo* s_type = nullptr;
    // Never destroyed: the start-up registration releases the list at exit,
    // and its destructor may run after a static vector here would have been.
    struct CMethodList {
        constexpr CMethodList() : list() {}
        constexpr ~CMethodList() {}
        union {
            std::vector<CMethodInfo*> list;
        };
    };
    static inline constinit CMethodList s_methods;
};

} // namespace Engine::Reflection
