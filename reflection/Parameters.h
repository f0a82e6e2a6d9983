#pragma once
// Parameters of constructors and methods, and how a call takes its argument
// from the caller's list.

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

// Fills the call's own argument from the caller's list. A first argument
// that holds exactly a P is exchanged into the call without a copy (the
// caller's element is left empty); any other is converted to the first
// parameter's type. An empty list gives the parameter's default. Returns
// whether an exchange took place.
template <class P>
bool CoerceFirstArgument(const ParameterList& parameters, std::vector<CValue>& callerArgs, CValue& callArg) {
    if (callerArgs.empty()) {
        callArg = parameters.empty() ? CValue() : parameters.front().GetDefaultValue();
        return false;
    }
    if (callerArgs.front().Holds<P>()) {
        callArg.swap(callerArgs.front());
        return true;
    }
    callArg = ConvertArgument<P>(parameters, callerArgs.front());
    return false;
}

// Gives the caller its argument back when the call fails after an exchange.
class CArgumentExchange {
public:
    CArgumentExchange(std::vector<CValue>& callerArgs, CValue& callArg, bool exchanged)
        : m_callerArgs(callerArgs), m_callArg(callArg), m_exchanged(exchanged) {}
    CArgumentExchange(const CArgumentExchange&) = delete;
    CArgumentExchange& operator=(const CArgumentExchange&) = delete;
    ~CArgumentExchange() {
        if (m_exchanged && !m_committed && !m_callerArgs.empty()) m_callerArgs.front().swap(m_callArg);
    }
    void Commit() { m_committed = true; }

private:
    std::vector<CValue>& m_callerArgs;
    CValue& m_callArg;
    bool m_exchanged;
    bool m_committed = false;
};

} // namespace Engine::Reflection
