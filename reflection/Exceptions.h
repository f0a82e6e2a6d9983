#pragma once
// The reflection library's exception family. Each is thrown with an empty
// message: the class alone tells what failed.

#include "app/Exception.h"

namespace Engine::Reflection {

class CReflectionException : public Engine::CException {
public:
    explicit CReflectionException(CString message = CString()) : CException(std::move(message)) {}
};

// A value without a box was read, converted or used as an object.
class CEmptyValueException : public CReflectionException {};
// A member bound only as non-const was called on a const object.
class CConstIsConstException : public CReflectionException {};
// A method has no binding usable for the object form it was given.
class CInvalidFunctionPointerException : public CReflectionException {};
// The call is not implemented by this method description.
class CInvokeNotImplementedException : public CReflectionException {};
// Neither operand's type has a comparator.
class CComparisonNotPermittedException : public CReflectionException {};
// The comparator cannot order its values, only test them for equality.
class CComparisonOperatorNotSupportedException : public CReflectionException {};
// Neither operand's type has a calculator.
class CCalculationNotPermittedException : public CReflectionException {};

// A value conversion without a converter path throws the plain integer 1.
[[noreturn]] void ThrowNoConversion();

} // namespace Engine::Reflection
