// An independent rendering of the number text, the oracle of the tests and of the number
// benchmark: printf's correctly rounded 15 digits laid out as the tools write numbers.
#pragma once

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace scene {

inline std::string ReferenceNumberText(double value) {
    if (value == 0) return " 0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits = std::string(1, buf[0]) + std::string(buf + 2, 14);
    int e = std::atoi(buf + 17);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    int n = static_cast<int>(digits.size());
    std::string text = value < 0 ? "-" : " ";
    if (e >= 0 && e <= 14) {
        if (n <= e + 1) return text.append(digits).append(static_cast<size_t>(e + 1 - n), '0');
        return text.append(digits, 0, static_cast<size_t>(e + 1))
            .append(".")
            .append(digits, static_cast<size_t>(e + 1));
    }
    if (e < 0 && n - e <= 16)
        return text.append(".").append(static_cast<size_t>(-e - 1), '0').append(digits);
    text += digits[0];
    if (n > 1) text.append(".").append(digits, 1);
    std::snprintf(buf, sizeof buf, "E%c%02d", e < 0 ? '-' : '+', std::abs(e));
    return text.append(buf);
}

}  // namespace scene
