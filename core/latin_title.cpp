#include "core/latin_title.h"

#include "core/file_names.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace qw {

namespace {

bool keepsLetter(std::string_view name) {
    for (const char c : name)
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))
            return true;
    return false;
}

/// Any script to Latin, then to plain ASCII letters; made once, as its rules take time
/// to compile. Null when the library cannot make it.
const icu::Transliterator* toAscii() {
    static const std::unique_ptr<icu::Transliterator> transliterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> made(
            icu::Transliterator::createInstance("Any-Latin; Latin-ASCII", UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    return transliterator.get();
}

} // namespace

std::string latinTitle(std::string_view title, const FileNameOptions& options) {
    if (keepsLetter(fileNameRule(title, options)))
        return std::string(title);
    const icu::Transliterator* transliterator = toAscii();
    if (transliterator == nullptr)
        return std::string(title);
    icu::UnicodeString text = icu::UnicodeString::fromUTF8(
        icu::StringPiece(title.data(), static_cast<int32_t>(title.size())));
    transliterator->transliterate(text);
    std::string latin;
    text.toUTF8String(latin);
    return latin;
}

} // namespace qw
