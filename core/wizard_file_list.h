#pragma once

#include <string>
#include <vector>

namespace qw {

/// The chapter files a new project starts with, relative to the project file's folder.
class WizardFileList {
public:
    const std::vector<std::string>& names() const { return m_names; }
    void clear() { m_names.clear(); }

    /// Adds chosen files in order: each one inside folder (which ends in "/") is added
    /// as its relative name unless the list holds exactly that name already. Stops at
    /// the first file outside folder and returns false (the rest are not taken).
    bool add(const std::vector<std::string>& chosen, const std::string& folder);
    /// Removes an entry; returns the entry to select: the one before it, or the first.
    int remove(int index);
    /// Exchanges an entry with its neighbour above or below; returns where it now is
    /// (unchanged at the top or the bottom).
    int moveUp(int index);
    int moveDown(int index);

private:
    std::vector<std::string> m_names;
};

} // namespace qw
