#pragma once

namespace qw {

/// The characters a text field of the tools admits; other typed characters are dropped
/// with a beep. Backspace and the editing keys that type nothing are always admitted.
enum class FieldKeys {
    Name,      ///< letters, digits, ".", "_"
    Number,    ///< digits
    Text,      ///< letters, digits, ".", "/", "\", "_", blank
    Reference, ///< letters, digits, "_" (pop-up references in the Popup Text Editor)
    Any,
};

/// True when a field of that kind takes the typed character. Letters and digits are the
/// ASCII ones: the values end up in file names, script names and markers.
bool fieldAcceptsCharacter(FieldKeys keys, char32_t character);

} // namespace qw
