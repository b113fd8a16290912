#pragma once
// Failures carry a message from the program's string table; the application's guard
// shows it and the program goes on.
#include <stdexcept>
#include <string>

namespace fw {

class Exception : public std::runtime_error {
  public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

// An error in component text, with the line it was found on (0 when the text has no line
// to name, as for a value refused by a property's setter). The message is formatted in
// one place, "Line N: ..." when there is a line; code that needs the line reads Line().
class ETextError : public Exception {
  public:
    explicit ETextError(const std::string& message, int line = 0)
        : Exception(Format(line, message)), line_(line), bare_(message) {}
    int Line() const { return line_; }
    // The message without the line.
    const std::string& Bare() const { return bare_; }

  private:
    static std::string Format(int line, const std::string& message) {
        return line > 0 ? "Line " + std::to_string(line) + ": " + message : message;
    }
    int line_;
    std::string bare_;
};

// Malformed component text.
class EParserError : public ETextError {
  public:
    using ETextError::ETextError;
};

// Well-formed text that does not fit the component it is applied to.
class EReadError : public ETextError {
  public:
    using ETextError::ETextError;
};

class EClassNotFound : public EReadError {
  public:
    using EReadError::EReadError;
};

class EInvalidOperation : public Exception {
  public:
    using Exception::Exception;
};

class EFCreateError : public Exception {
  public:
    using Exception::Exception;
};

// The string table: the texts the framework reports, "%s" filled in by Fmt.
namespace strings {
inline constexpr const char* kCannotCreateFile = "Cannot create file %s";
inline constexpr const char* kPropertyNotFound = "Property %s does not exist";
inline constexpr const char* kInvalidPropertyValue = "Invalid property value";
inline constexpr const char* kClassNotFound = "Class %s not found";
inline constexpr const char* kDuplicateName = "A component named %s already exists";
inline constexpr const char* kInvalidName = "''%s'' is not a valid component name";
inline constexpr const char* kUnknownHandler = "Method %s not found";
inline constexpr const char* kUnknownComponent = "Component %s not found";
inline constexpr const char* kComponentOfOtherClass =
    "Component %s is a %s, not what its field holds";
}  // namespace strings

// Replaces each "%s" of a string-table text with the next argument.
std::string Fmt(const char* text, std::initializer_list<std::string> args);
inline std::string Fmt(const char* text, const std::string& a) { return Fmt(text, {a}); }

}  // namespace fw
