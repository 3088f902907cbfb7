#include "number_text.hpp"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "failure.hpp"

namespace {

// The significant digits d1..dn (trailing zeros dropped) and the decimal exponent E of d1.
struct Digits {
    char digits[24];
    int count;
    int exponent;
};

// Splits "d.ddde+XX" as to_chars writes it in scientific form.
void SplitScientific(const char* begin, const char* end, Digits& d) {
    d.count = 0;
    const char* p = begin;
    for (; p != end && *p != 'e'; ++p)
        if (*p != '.') d.digits[d.count++] = *p;
    ++p;  // 'e'
    bool negative = *p == '-';
    ++p;
    int exponent = 0;
    for (; p != end; ++p) exponent = exponent * 10 + (*p - '0');
    d.exponent = negative ? -exponent : exponent;
    while (d.count > 1 && d.digits[d.count - 1] == '0') --d.count;
}

// Rounds the magnitude to 15 significant digits. The shortest round-trip digits are the same
// whenever they number 15 or fewer: a normal double's half-ulp is below half a unit of the
// 15th digit. Subnormals carry fewer bits, so they always take the rounding path.
Digits FifteenDigits(double magnitude) {
    char buf[40];
    Digits d;
    auto r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific);
    SplitScientific(buf, r.ptr, d);
    if (d.count > 15 || magnitude < std::numeric_limits<double>::min()) {
        r = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 14);
        SplitScientific(buf, r.ptr, d);
    }
    return d;
}

void AppendDigits(std::string& out, double value, bool plain) {
    if (!std::isfinite(value)) throw Failure(FailureKind::Overflow);
    double magnitude = std::fabs(value);
    if (magnitude == 0) {  // also a negative zero
        out += plain ? "0" : " 0";
        return;
    }
    if (value < 0)
        out += '-';
    else if (!plain)
        out += ' ';

    Digits d = FifteenDigits(magnitude);
    const int n = d.count;
    const int e = d.exponent;
    if (e >= 0 && e <= 14) {
        if (n <= e + 1) {
            out.append(d.digits, n);
            out.append(e + 1 - n, '0');
        } else {
            out.append(d.digits, e + 1);
            out += '.';
            out.append(d.digits + e + 1, n - e - 1);
        }
    } else if (e < 0 && n - e <= 16) {
        out += plain ? "0." : ".";
        out.append(-e - 1, '0');
        out.append(d.digits, n);
    } else {
        out += d.digits[0];
        if (n > 1) {
            out += '.';
            out.append(d.digits + 1, n - 1);
        }
        out += 'E';
        out += e < 0 ? '-' : '+';
        int a = e < 0 ? -e : e;
        if (a < 10) out += '0';
        char buf[8];
        auto r = std::to_chars(buf, buf + sizeof buf, a);
        out.append(buf, r.ptr);
    }
}

}  // namespace

void AppendNumberText(std::string& out, double value) { AppendDigits(out, value, false); }

std::string NumberText(double value) {
    std::string out;
    AppendDigits(out, value, false);
    return out;
}

std::string PlainNumberText(double value) {
    std::string out;
    AppendDigits(out, value, true);
    return out;
}
