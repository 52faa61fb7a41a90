// numericValue of random text, the number fields the reader would make of
// it, and the input's first eight bytes taken as a double: every finite value
// printed in the number print form and read back must give the value rounded
// to 15 significant digits, and a spelling the writer copies as it stands
// must be exactly what printing its value gives.

#include "konversi/error.h"
#include "number/field_value.h"
#include "number/number.h"
#include "number/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <system_error>

namespace {

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "number fuzzer: %s\n", what);
        std::abort();
    }
}

// The value rounded to 15 significant digits, ties to even on the exact
// binary value, as std::to_chars rounds; nothing when that rounding lies
// beyond the largest double (from 1.797693134862315e308 on).
std::optional<double> roundedTo15Digits(double value)
{
    char digits[64];
    const auto printed =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::scientific, 14);
    double rounded = 0.0;
    if (std::from_chars(digits, printed.ptr, rounded).ec != std::errc()) return std::nullopt;
    return rounded;
}

bool isPrintFormByte(char c)
{
    return (c >= '0' && c <= '9') || c == '.' || c == 'E' || c == '+' || c == '-';
}

void checkPrintForm(double value)
{
    char out[konversi::detail::maxNumberPrintLength + 16];
    std::memset(out, '#', sizeof out);
    const std::size_t length = konversi::detail::formatNumber(value, out);
    const std::string_view printed(out, length);
    check(length >= 3 && length <= konversi::detail::maxNumberPrintLength,
          "print form of odd length");
    check(out[length] == '#', "print form wrote past its length");
    check(printed.front() == (value < 0 ? '-' : ' '), "wrong sign place");
    check(printed.back() == ' ', "no trailing space");
    for (const char c : printed.substr(1, length - 2))
        check(isPrintFormByte(c), "odd byte printed");

    const std::optional<double> expected = roundedTo15Digits(value);
    if (!expected) {
        // The largest doubles print as the 15 digits they round to, which
        // read back as an overflow rather than as some other number.
        check(printed.find("E+308") != std::string_view::npos, "a huge value printed oddly");
        try {
            konversi::detail::numericValue(printed);
            check(false, "a print form beyond the largest double read back as a number");
        } catch (const konversi::Error& error) {
            check(error.code() == konversi::ErrorCode::Overflow, "not an overflow");
        }
        return;
    }
    const double back = konversi::detail::numericValue(printed);
    check(back == *expected, "the print form does not read back as the 15-digit rounding");

    const double magnitude = std::fabs(*expected);
    const bool exponentForm = magnitude >= 1e15 || (magnitude > 0 && magnitude < 0.001);
    check((printed.find('E') != std::string_view::npos) == exponentForm, "wrong form chosen");
    const std::string_view digits = printed.substr(1, printed.find_first_of("E ", 1) - 1);
    if (digits.find('.') != std::string_view::npos) {
        check(digits.back() != '0', "trailing zero after the point");
        check(digits.front() != '.', "no leading zero");
    }

    char again[konversi::detail::maxNumberPrintLength];
    const std::size_t againLength = konversi::detail::formatNumber(back, again);
    check(std::string_view(again, againLength) == printed, "the print form is not stable");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    try {
        const double value = konversi::detail::numericValue(text);
        check(std::isfinite(value), "numericValue gave inf or nan");
        checkPrintForm(value);
    } catch (const konversi::Error& error) {
        check(error.code() == konversi::ErrorCode::Overflow, "numericValue raised other than 6");
    }

    if (!text.empty()) {
        const konversi::detail::FieldValue field = konversi::detail::classifyUnquoted(text);
        if (field.isNumber()) {
            check(std::isfinite(field.number()), "a number field is not finite");
            check(konversi::detail::numericValue(text) == field.number(),
                  "two readings of one number");
            checkPrintForm(field.number());
            char copied[konversi::detail::maxNumberPrintLength];
            char printed[konversi::detail::maxNumberPrintLength];
            const std::size_t length = konversi::detail::formatNumberField(field, copied);
            const std::size_t printedLength =
                konversi::detail::formatNumber(field.number(), printed);
            check(std::string_view(copied, length) == std::string_view(printed, printedLength),
                  "a copied spelling differs from the printed value");
        }
    }

    if (size >= sizeof(double)) {
        double value = 0.0;
        std::memcpy(&value, data, sizeof value);
        if (std::isfinite(value)) checkPrintForm(value);
    }
    return 0;
}
