#pragma once
// The log's scrollback maximum: which of its oldest lines make room for new text.
//
// A log holds at most `maximum` characters. When an append would pass that, the oldest whole
// lines are cut before it, down to the low-water mark, so that a log at its maximum is cut once
// every (maximum - low water) characters rather than on every append. The new text is always
// kept in full, and so is the line it continues (the last, unfinished one), so the newest text
// is never lost. Each front applies this rule with the maximum its text widget affords.

#include <cstddef>
#include <functional>
#include <optional>

namespace ui {

class Scrollback {
  public:
    // A cut: that many whole lines from the oldest on, holding that many characters.
    struct Cut {
        std::size_t lines = 0;
        std::size_t characters = 0;
        bool operator==(const Cut&) const = default;
    };

    // Yields the length of the next line, oldest first, its line break included, and nothing
    // after the last line (the one new text continues, which may be empty).
    using LineLengths = std::function<std::optional<std::size_t>()>;

    // Cuts down to three quarters of the maximum.
    explicit Scrollback(std::size_t maximum);
    // `low_water` is clamped to the maximum.
    Scrollback(std::size_t maximum, std::size_t low_water);

    std::size_t maximum() const { return maximum_; }
    std::size_t lowWater() const { return low_water_; }

    // Whether appending `incoming` characters to a log of `length` characters passes the
    // maximum, so that a cut must come first.
    bool MustCut(std::size_t length, std::size_t incoming) const;

    // The oldest whole lines to remove before appending `incoming` characters to a log of
    // `length` characters: none while the result fits under the maximum; otherwise the fewest
    // that bring it to the low-water mark, or all but the last line when even that is not enough.
    Cut Plan(std::size_t length, std::size_t incoming, const LineLengths& next_line) const;

  private:
    std::size_t maximum_;
    std::size_t low_water_;
};

} // namespace ui
