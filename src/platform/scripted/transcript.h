#ifndef BREVAK_PLATFORM_SCRIPTED_TRANSCRIPT_H_
#define BREVAK_PLATFORM_SCRIPTED_TRANSCRIPT_H_

#include <ostream>
#include <string>

namespace brevak {

// The transcript of a scripted run: one event a line, UTF-8. Every line is
// flushed as it is written, so a process that is killed leaves the
// transcript up to its last event.
class Transcript {
 public:
  explicit Transcript(std::ostream& out) : out_(out) {}
  Transcript(const Transcript&) = delete;
  Transcript& operator=(const Transcript&) = delete;

  // Writes `line` (already escaped) and a line feed, then flushes.
  void Write(const std::string& line);

 private:
  std::ostream& out_;
};

// `text` in UTF-8 with backslash, CR and LF written as \\, \r and \n, so a
// text always stays on its line. A lone surrogate becomes U+FFFD.
std::string EscapeText(const std::u16string& text);
// The same escaping for a text that is already UTF-8.
std::string EscapeText(const std::string& utf8);
// The shortest decimal that reads back as `value`: 19, 22, 0.5.
std::string ShortestDecimal(float value);

}  // namespace brevak

#endif  // BREVAK_PLATFORM_SCRIPTED_TRANSCRIPT_H_
