#pragma once

#include <exception>
#include <string>

// The one base of every error of the system. It carries an 8-bit message (which
// may hold translation markers, resolved only when shown) and the name of its
// class, since the connection reports a transport failure as
// Exception "EClass" : message.
class Exception : public std::exception {
public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}

  const std::string& Message() const noexcept { return FMessage; }
  virtual const char* ClassName() const noexcept { return "Exception"; }
  const char* what() const noexcept override { return FMessage.c_str(); }

private:
  std::string FMessage;
};

// Declares an exception class `Name` derived from `Base` whose ClassName() is
// its own name.
#define KA_DECLARE_EXCEPTION(Name, Base)                                      \
  class Name : public Base {                                                  \
  public:                                                                     \
    using Base::Base;                                                         \
    const char* ClassName() const noexcept override { return #Name; }         \
  }

// The platform's own errors, with the usual wording.
KA_DECLARE_EXCEPTION(EConvertError, Exception);
KA_DECLARE_EXCEPTION(EIntfCastError, Exception);
KA_DECLARE_EXCEPTION(EOSError, Exception);
KA_DECLARE_EXCEPTION(EStreamError, Exception);
KA_DECLARE_EXCEPTION(EReadError, EStreamError);
KA_DECLARE_EXCEPTION(EWriteError, EStreamError);
KA_DECLARE_EXCEPTION(EFileStreamError, EStreamError);
KA_DECLARE_EXCEPTION(EFOpenError, EFileStreamError);
KA_DECLARE_EXCEPTION(EFCreateError, EFileStreamError);
KA_DECLARE_EXCEPTION(ERegistryException, Exception);

// The text of a system error code, as the platform words it ("The system cannot
// find the file specified" and the like).
std::string SysErrorMessage(unsigned long code);

// The calling thread's last system error code.
unsigned long GetLastOSError();

// Raises EOSError for the given code: "System Error.  Code: 5.\nAccess is denied".
[[noreturn]] void RaiseLastOSError(unsigned long code);
