#include "helpgen/effects_expander.h"

#include "core/ini_file.h"
#include "core/text_util.h"
#include "helpgen/token_replace.h"

namespace qw {

EffectsExpander EffectsExpander::load(const std::filesystem::path& definitionFile) {
    return fromIni(IniFile(definitionFile));
}

EffectsExpander EffectsExpander::fromIni(const IniFile& ini) {
    EffectsExpander expander;
    for (int n = 1; n <= kMaxScripts; ++n) {
        const std::string section = "SCRIPT" + std::to_string(n);
        Script& script = expander.m_scripts[size_t(n)];
        script.present = ini.hasKey(section, "VARIABLE1");
        if (!script.present)
            continue;
        for (int k = 1; k <= kMaxVariables; ++k) {
            const std::string token = ini.readString(section, "VARIABLE" + std::to_string(k), kMissing);
            if (token == kMissing || trim(token).empty())
                break;
            script.tokens.push_back(token);
            script.replacers.push_back(
                ini.readString(section, "REPLACER" + std::to_string(k), kMissing));
        }
        for (int k = 1; k <= kMaxAdditional; ++k) {
            std::string line = ini.readString(section, "ADDITIONAL" + std::to_string(k), kMissing);
            if (line == kMissing)
                break;
            script.additional.push_back(std::move(line));
        }
    }
    return expander;
}

bool EffectsExpander::hasScript(int n) const {
    return n >= 1 && n <= kMaxScripts && m_scripts[size_t(n)].present;
}

bool EffectsExpander::applyScript(const Script& script, Lines& page) const {
    bool applied = false;
    for (size_t k = 0; k < script.tokens.size(); ++k) {
        if (replaceToken(page, script.tokens[k], script.replacers[k]) == 0)
            return false; // pieces replaced so far stay replaced
        applied = true;
    }
    return applied;
}

void EffectsExpander::expand(Lines& page, int first, int last) const {
    for (int n = std::max(first, 1); n <= std::min(last, kMaxScripts); ++n) {
        const Script& script = m_scripts[size_t(n)];
        if (!script.present)
            return;
        if (applyScript(script, page))
            page.insert(page.end(), script.additional.begin(), script.additional.end());
    }
}

} // namespace qw
