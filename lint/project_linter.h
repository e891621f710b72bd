#pragma once

#include "lint/lint_finding.h"

#include <string>
#include <vector>

namespace qw {

class EffectsExpander;
class ProjectSession;
class TopicTable;

/// What the link check reads: the topic table (with its chapter texts and project
/// folder) and the settings that change what the pages will hold.
struct LintInput {
    const TopicTable* table = nullptr;
    /// The project's additional files, relative to the project folder.
    std::vector<std::string> additionalFiles;
    /// The special-effect definitions; none means no marker is checked or expanded.
    const EffectsExpander* effects = nullptr;
    bool expandPopups = true;
    bool expandEffects = true;
    bool replaceQuotes = true;
    /// The topic separator, to find a topic's metadata block.
    std::string separator = "--------------------------------------------------";
    /// The replacement tokens of the chapter heads ("_BgImage_"): a reference holding
    /// one is filled per topic and not checked as written.
    std::vector<std::string> headTokens;
};

/// Checks a project before it is built: links to topic pages, anchors and files that do
/// not exist, links to chapter files instead of their pages, files the compiled document
/// would not hold, related topics and pop-ups that lead nowhere, pop-up texts never used,
/// effect markers left open and titles used twice. Findings come in table order of their
/// chapter files, by line, the pop-up text file's last. Reads files; never writes any.
std::vector<LintFinding> lintProject(const LintInput& input);

/// lintProject for an open project with its settings and the program's definitions.
/// Throws FileError when the definition file exists but cannot be read.
std::vector<LintFinding> lintSession(const ProjectSession& session);

} // namespace qw
