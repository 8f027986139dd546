#ifndef BREVAK_PLATFORM_SCRIPTED_PROTOCOL_ERROR_H_
#define BREVAK_PLATFORM_SCRIPTED_PROTOCOL_ERROR_H_

#include <exception>
#include <string>

namespace brevak {

// The script and the program disagree: a message box with no answer left,
// an answer that does not fit, a line that does not fit the moment. It is
// deliberately not a RunTimeError, so no "resume next" statement of the
// tool can swallow it; it always reaches ScriptedWindowSystem::Run.
class ScriptProtocolError : public std::exception {
 public:
  // `line` is the script's line number (from 1) where the disagreement was
  // found; `what` says in plain words what did not fit.
  ScriptProtocolError(int line, std::string what) : line_(line), what_(std::move(what)) {}

  int line() const { return line_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  int line_;
  std::string what_;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_SCRIPTED_PROTOCOL_ERROR_H_
