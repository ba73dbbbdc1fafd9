#pragma once
// Every bench program prints rows of one Markdown table: figure, value, note. script/bench
// prints the header once and the rows of each program under it.

#include <cstdio>
#include <string>

namespace bench {

inline void Row(const std::string& figure, const std::string& value, const std::string& note = "") {
    std::printf("| %s | %s | %s |\n", figure.c_str(), value.c_str(), note.c_str());
    std::fflush(stdout);
}

inline std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

} // namespace bench
