#pragma once
// Parameters of constructors and methods, and how a call takes its argument
// from the caller's list.

#include <utility>
#include <vector>

#include "reflection/Value.h"

namespace Engine::Reflection {

class CParameterInfo {
public:
    CParameterInfo(CString name, const CTypeInfo* type, CValue defaultValue = CValue())
        : m_name(std::move(name)), m_type(type), m_default(std::move(defaultValue)) {}
    const CString& GetName() const { return m_name; }
    const CTypeInfo* GetType() const { return m_type; }
    // The empty value when the parameter has no default.
    const CValue& GetDefaultValue() const { return m_default; }

private:
    CString m_name;
    const CTypeInfo* m_type;
    CValue m_default;
};

using ParameterList = std::vector<CParameterInfo>;

// A caller's argument that is not exactly a P, converted to the first
// parameter's type.
template <class P>
CValue ConvertArgument(const ParameterList& parameters, const CValue& argument) {
    return argument.ConvertTo(parameters.empty() ? TypeOf<P>() : parameters.front().GetType());
}

// Runs call(argument) with the call's first argument. A caller's first
// argument that holds exactly a P is exchanged into the call's own argument
// before the call, so the caller's first argument is the empty value
// afterwards, whether the call succeeds or not; any other is converted to
// the first parameter's type. An empty list gives the parameter's default.
template <class P, class Call>
CValue CoerceFirstArgument(const ParameterList& parameters, std::vector<CValue>& callerArgs, Call&& call) {
    if (callerArgs.empty()) return parameters.empty() ? call(CValue()) : call(parameters.front().GetDefaultValue());
    CValue& first = callerArgs.front();
    if (first.Holds<P>()) {
        CValue argument;
        argument.swap(first);
        return call(std::as_const(argument));
    }
    return call(ConvertArgument<P>(parameters, first));
}

} // namespace Engine::Reflection
