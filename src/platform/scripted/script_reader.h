#ifndef BREVAK_PLATFORM_SCRIPTED_SCRIPT_READER_H_
#define BREVAK_PLATFORM_SCRIPTED_SCRIPT_READER_H_

#include <istream>
#include <optional>
#include <string>

namespace brevak {

// One action line of a UI script, split into its first word and the rest.
struct ScriptLine {
  int number = 0;        // line number in the file, from 1
  std::string verb;      // "yes", "click", "select", ...
  std::string argument;  // what follows the verb, trimmed; may be empty
  std::string text;      // the whole line, trimmed (for messages)
};

// Reads a UI script line by line, skipping blank lines and lines whose
// first non-blank character is '#'. Trailing CR (scripts written on
// Windows) and surrounding blanks are ignored.
class ScriptReader {
 public:
  explicit ScriptReader(std::istream& script) : script_(script) {}
  ScriptReader(const ScriptReader&) = delete;
  ScriptReader& operator=(const ScriptReader&) = delete;

  // The next action line, or nothing at the end of the script.
  std::optional<ScriptLine> Next();
  // The number the line after the last one read would have: where an
  // action that the script lacks was expected.
  int NextLineNumber() const { return lines_read_ + 1; }

 private:
  std::istream& script_;
  int lines_read_ = 0;
};

}  // namespace brevak

#endif  // BREVAK_PLATFORM_SCRIPTED_SCRIPT_READER_H_
