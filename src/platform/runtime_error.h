#ifndef BREVAK_PLATFORM_RUNTIME_ERROR_H_
#define BREVAK_PLATFORM_RUNTIME_ERROR_H_

#include <cstdint>
#include <exception>
#include <optional>
#include <string>

namespace brevak {

// A run-time error: what a failing statement raises. It carries the error
// number and the platform's description, as the run-time shows them.
class RunTimeError : public std::exception {
 public:
  RunTimeError(int32_t number, std::u16string description)
      : number_(number), description_(std::move(description)) {}

  int32_t number() const { return number_; }
  const std::u16string& description() const { return description_; }
  const char* what() const noexcept override { return "run-time error"; }

 private:
  int32_t number_;
  std::u16string description_;
};

// The run-time's own errors, with the descriptions a Chinese system shows.
namespace vb_error {
inline constexpr int32_t kInvalidProcedureCall = 5;
inline constexpr int32_t kOverflow = 6;
inline constexpr int32_t kOutOfMemory = 7;
inline constexpr int32_t kSubscriptOutOfRange = 9;
inline constexpr int32_t kInternalError = 51;
inline constexpr int32_t kTypeMismatch = 13;
inline constexpr int32_t kFileNotFound = 53;
inline constexpr int32_t kDeviceIoError = 57;
inline constexpr int32_t kFileAlreadyExists = 58;
inline constexpr int32_t kDiskFull = 61;
inline constexpr int32_t kPermissionDenied = 70;
inline constexpr int32_t kPathFileAccessError = 75;
inline constexpr int32_t kPathNotFound = 76;
inline constexpr int32_t kObjectNotSet = 91;
inline constexpr int32_t kInvalidPropertyValue = 380;
inline constexpr int32_t kInvalidPropertyArrayIndex = 381;
inline constexpr int32_t kCannotCreateObject = 429;
inline constexpr int32_t kPropertyNotSupported = 438;
inline constexpr int32_t kArgumentNotOptional = 449;
inline constexpr int32_t kWrongArgumentCount = 450;

RunTimeError Raise(int32_t number);

// What the run-time reports for a failure that is no run-time error of its
// own (a C++ exception escaping a library): out of memory, else an internal
// error. REQUIRES: called inside a catch block.
RunTimeError FromCurrentException();
}  // namespace vb_error

// Runs a procedure whose failure ends the program: the failure of any kind
// comes back as the run-time error to show, nothing when it completed.
template <typename Procedure>
std::optional<RunTimeError> CatchFailure(Procedure&& procedure) {
  try {
    procedure();
    return std::nullopt;
  } catch (const std::exception&) {
    return vb_error::FromCurrentException();
  }
}

// Runs one statement of a procedure that resumes with the next statement
// after any failure: a run-time error raised by the statement is swallowed.
// Returns true when the statement completed.
template <typename Statement>
bool ResumeNext(Statement&& statement) {
  try {
    statement();
    return true;
  } catch (const RunTimeError&) {
    return false;
  }
}

}  // namespace brevak

#endif  // BREVAK_PLATFORM_RUNTIME_ERROR_H_
