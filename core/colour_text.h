#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qw {

/// A colour as red, green and blue.
struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

/// Reads a stored colour: one of the sixteen basic names ("clRed", any case), a system
/// colour name ("clWindow", read as the usual default), or "$" followed by hexadecimal
/// digits of 00BBGGRR. Nothing for any other text.
std::optional<Rgb> parseColourText(std::string_view text);

/// The stored form of a chosen colour: its basic name when it is one of the sixteen,
/// else "$" and eight upper-case hexadecimal digits of 00BBGGRR ("$00C0DCA0").
std::string colourText(Rgb colour);

/// The colour as a page gives it, "#RRGGBB"; white for text that is no colour.
std::string htmlColourFromText(std::string_view text);

} // namespace qw
