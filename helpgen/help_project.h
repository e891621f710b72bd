#pragma once

#include "core/file_io.h"

#include <string>
#include <string_view>
#include <vector>

namespace qw {

class IniFile;
class ProjectOptions;
class TopicTable;

/// The project's name for the files the compiler reads: the project file's name without
/// directory and extension ("Guide" for "/docs/Guide.qwr").
std::string helpProjectName(std::string_view projectPath);
/// The project file's path without its extension: outputs are base + ".hhp", ".chm", ...
std::string helpProjectBase(std::string_view projectPath);

/// The help project file written by the build when none exists (default mode): the
/// window definition and the two option values come from hand-added [WINDOWS] and
/// [OPTIONS] keys of the project file, else built-in defaults. titleBarText must already
/// be non-empty (the caller puts the project's name in place of an empty one).
Lines helpProjectDefaultLines(const IniFile& project, std::string_view titleBarText,
                              std::string_view navigatorFontSpec, bool createContextIds);

/// The help project file as the confirmed options dialog writes it (dialog mode).
Lines helpProjectDialogLines(std::string_view name, const ProjectOptions& options);

/// Writes "<base>.hhp" in default mode, replacing any old file. An empty title bar text
/// (after trimming) is replaced by the project's name in titleBarText. Throws FileError.
void writeHelpProjectDefault(const IniFile& project, std::string& titleBarText,
                             std::string_view navigatorFontSpec, bool createContextIds);
/// Writes "<base>.hhp" in dialog mode for the project at projectPath. Throws FileError.
void writeHelpProjectDialog(std::string_view projectPath, const ProjectOptions& options);

/// The lines of the help project file with its [FILES] section replaced: every non-web
/// topic's link path in table order, then the additional files; every other section
/// stays as it was. A file without [FILES] gets the section at its end.
Lines replaceFileList(const Lines& helpProject, const TopicTable& table,
                      const std::vector<std::string>& additionalFiles);
/// Reads "<base>.hhp", replaces its file list and saves it. Throws FileError (also when
/// the file is missing).
void updateFileList(const std::string& helpProjectPath, const TopicTable& table,
                    const std::vector<std::string>& additionalFiles);

/// The three context-ID files: "<base>.ali" (ID=path), "<base>.h" (#define ID n) and
/// "<base>.pas" (const ID=n;), numbering non-web topics from 1001 in table order.
struct ContextIdFiles {
    Lines aliases;
    Lines header;
    Lines pascal;
};
ContextIdFiles contextIdLines(const TopicTable& table);
/// Writes the three files; each is attempted even when another fails, and the first
/// failure is thrown afterwards as FileError.
void writeContextIdFiles(const std::string& base, const TopicTable& table);

} // namespace qw
