#pragma once

#include <cstdint>
#include <string>

namespace scrivlet {

class TextModel;

// The width in cells of the widest line of a text (a tab reaching to the next multiple of eight),
// kept over edits without measuring every line: it also counts the lines of that width, so that
// only an edit that narrows the last of them leaves the text to be measured again. Until then
// width() is still an upper bound, which is all a scroll range needs; the owner may put the
// measuring off.
class LongestLine final {
  public:
    // Measures every line.
    void measure(const TextModel& text);
    // Lines [first, last] are about to be rewritten, and then were rewritten.
    void linesLeaving(const TextModel& text, std::int64_t first, std::int64_t last);
    void linesArrived(const TextModel& text, std::int64_t first, std::int64_t last);

    std::int64_t width() const { return m_width; }
    bool needsMeasuring() const { return m_count == 0 && m_width > 0; }

  private:
    std::int64_t widthOf(const TextModel& text, std::int64_t line);

    std::int64_t m_width = 0;
    std::int64_t m_count = 0; // lines of m_width cells
    std::string m_scratch;
};

} // namespace scrivlet
