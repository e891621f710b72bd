// Feeds arbitrary bytes to the settings reader and reads every known kind of value.
#include "core/environment_settings.h"
#include "core/ini_file.h"
#include "core/project_settings.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const qw::IniFile ini("/nonexistent/fuzz.ini", text);
    const auto env = qw::EnvironmentSettings::read(ini);
    const auto project = qw::ProjectSettings::read(ini);
    if (project.titleBarText.size() > qw::IniFile::kMaxValueLength)
        __builtin_trap();
    for (const auto& key : ini.keys("CHAPTER_FILES"))
        (void)ini.readInteger("CHAPTER_FILES", key, 0);
    const auto items = qw::parseCommaText(text.substr(0, 4096));
    const auto again = qw::parseCommaText(qw::toCommaText(items));
    if (again != items && !(items.size() == 1 && items[0].empty()))
        __builtin_trap();
    (void)env;
    return 0;
}
