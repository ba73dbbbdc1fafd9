#include "ui/scrollback.h"

#include <algorithm>

namespace ui {

Scrollback::Scrollback(std::size_t maximum) : Scrollback(maximum, maximum - maximum / 4) {}

Scrollback::Scrollback(std::size_t maximum, std::size_t low_water)
    : maximum_(maximum), low_water_(std::min(low_water, maximum)) {}

bool Scrollback::MustCut(std::size_t length, std::size_t incoming) const {
    return incoming > maximum_ || length > maximum_ - incoming;
}

Scrollback::Cut Scrollback::Plan(std::size_t length, std::size_t incoming,
                                 const LineLengths& next_line) const {
    Cut cut;
    if (!MustCut(length, incoming)) {
        return cut;
    }
    const std::size_t target = length + incoming - std::min(length + incoming, low_water_);
    // A line is cut only once the next one is known to exist: the last line always stays.
    std::optional<std::size_t> line = next_line();
    while (line && cut.characters < target) {
        std::optional<std::size_t> after = next_line();
        if (!after) {
            break;
        }
        ++cut.lines;
        cut.characters += *line;
        line = after;
    }
    return cut;
}

} // namespace ui
