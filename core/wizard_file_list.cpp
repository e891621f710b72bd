#include "core/wizard_file_list.h"

#include "core/text_util.h"

#include <algorithm>
#include <utility>

namespace qw {

bool WizardFileList::add(const std::vector<std::string>& chosen, const std::string& folder) {
    for (const std::string& file : chosen) {
        if (folder.empty() || !startsWith(file, folder) || file.size() == folder.size())
            return false;
        std::string name = file.substr(folder.size());
        if (std::find(m_names.begin(), m_names.end(), name) == m_names.end())
            m_names.push_back(std::move(name));
    }
    return true;
}

int WizardFileList::remove(int index) {
    if (index < 0 || index >= int(m_names.size()))
        return index;
    m_names.erase(m_names.begin() + index);
    if (m_names.empty())
        return -1;
    return std::max(index - 1, 0);
}

int WizardFileList::moveUp(int index) {
    if (index < 1 || index >= int(m_names.size()))
        return index;
    std::swap(m_names[size_t(index)], m_names[size_t(index) - 1]);
    return index - 1;
}

int WizardFileList::moveDown(int index) {
    if (index < 0 || index + 1 >= int(m_names.size()))
        return index;
    std::swap(m_names[size_t(index)], m_names[size_t(index) + 1]);
    return index + 1;
}

} // namespace qw
