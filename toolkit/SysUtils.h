// The framework's exception kinds. Every error the framework and the
// library raise is one of these, each with a message.
#pragma once

#include <exception>
#include <string>

namespace toolkit {

class Exception : public std::exception {
 public:
  explicit Exception(std::string message = {}) : Message(std::move(message)) {}
  const char* what() const noexcept override { return Message.c_str(); }
  std::string Message;
};

#define TOOLKIT_EXCEPTION(Name, Base)                                     \
  class Name : public Base {                                              \
   public:                                                                \
    explicit Name(std::string message = {}) : Base(std::move(message)) {} \
  }

TOOLKIT_EXCEPTION(EAbort, Exception);
TOOLKIT_EXCEPTION(EConvertError, Exception);
TOOLKIT_EXCEPTION(EListError, Exception);
TOOLKIT_EXCEPTION(EInvalidPointer, Exception);
TOOLKIT_EXCEPTION(EInvalidOperation, Exception);
TOOLKIT_EXCEPTION(EComponentError, Exception);
TOOLKIT_EXCEPTION(EStreamError, Exception);
TOOLKIT_EXCEPTION(EFCreateError, EStreamError);
TOOLKIT_EXCEPTION(EFOpenError, EStreamError);
TOOLKIT_EXCEPTION(EFilerError, EStreamError);
TOOLKIT_EXCEPTION(EReadError, EFilerError);
TOOLKIT_EXCEPTION(EWriteError, EFilerError);
TOOLKIT_EXCEPTION(EClassNotFound, EFilerError);
TOOLKIT_EXCEPTION(EInvalidGraphic, Exception);
TOOLKIT_EXCEPTION(EInvalidGraphicOperation, Exception);
TOOLKIT_EXCEPTION(EOutOfResources, Exception);
// A font's files are missing or unreadable; the message says which and what to install.
TOOLKIT_EXCEPTION(EFontError, Exception);
// The backend could not open the display or make a form's window; the message is the backend's.
TOOLKIT_EXCEPTION(EWindowError, Exception);
TOOLKIT_EXCEPTION(EParserError, Exception);
TOOLKIT_EXCEPTION(EResNotFound, Exception);

#undef TOOLKIT_EXCEPTION

// The classic messages, used as they stand.
inline constexpr const char* SListIndexError = "List index out of bounds (%d)";
inline constexpr const char* SAssignError = "Cannot assign a %s to a %s";
inline constexpr const char* SInvalidPropertyValue = "Invalid property value";
inline constexpr const char* SReadError = "Stream read error";
inline constexpr const char* SWriteError = "Stream write error";
inline constexpr const char* SFOpenError = "Cannot open file \"%s\"";
inline constexpr const char* SFCreateError = "Cannot create file \"%s\"";
inline constexpr const char* SInvalidImage = "Invalid stream format";
inline constexpr const char* SUnknownProperty = "Property %s does not exist";
inline constexpr const char* SClassNotFound = "Class %s not found";
inline constexpr const char* SInvalidPointer = "Invalid pointer operation";
inline constexpr const char* SDuplicateName = "A component named %s already exists";
inline constexpr const char* SInvalidName = "'%s' is not a valid component name";
inline constexpr const char* SInvalidGraphic = "Bitmap image is not valid";
inline constexpr const char* SResNotFound = "Resource %s not found";

// printf-style formatting of the messages above.
std::string Format(const char* pattern, ...);

// ASCII case-insensitive comparison, as names are compared in streams.
bool SameText(const std::string& a, const std::string& b);
// A letter or underscore, then letters, digits and underscores.
bool IsValidIdent(const std::string& ident);

}  // namespace toolkit
