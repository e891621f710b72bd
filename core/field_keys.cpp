#include "core/field_keys.h"

namespace qw {

namespace {

bool isAsciiLetterOrDigit(char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

} // namespace

bool fieldAcceptsCharacter(FieldKeys keys, char32_t c) {
    switch (keys) {
    case FieldKeys::Name:
        return isAsciiLetterOrDigit(c) || c == '.' || c == '_';
    case FieldKeys::Number:
        return c >= '0' && c <= '9';
    case FieldKeys::Text:
        return isAsciiLetterOrDigit(c) || c == '.' || c == '/' || c == '\\' || c == '_' || c == ' ';
    case FieldKeys::Reference:
        return isAsciiLetterOrDigit(c) || c == '_';
    case FieldKeys::Any:
        break;
    }
    return true;
}

} // namespace qw
