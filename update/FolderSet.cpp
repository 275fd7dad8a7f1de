#include "update/FolderSet.h"

namespace {

// The end of the part that starts at start: the next "\" or the end of the text.
size_t PartEnd(std::wstring_view folder, size_t start)
{
    size_t end = folder.find(L'\\', start);
    return end == std::wstring_view::npos ? folder.size() : end;
}

}  // namespace

std::optional<size_t> FolderSet::LongestKnown(std::wstring_view folder) const
{
    std::optional<size_t> known;
    size_t node = 0;
    for (size_t start = 0;; start = PartEnd(folder, start) + 1) {
        size_t end = PartEnd(folder, start);
        auto child = m_children.find(PartView{node, folder.substr(start, end - start)});
        if (child == m_children.end())
            return known;
        node = child->second;
        if (m_known[node])
            known = end;
        if (end == folder.size())
            return known;
    }
}

void FolderSet::Insert(std::wstring_view folder, size_t shallowest)
{
    size_t node = 0;
    for (size_t start = 0;; start = PartEnd(folder, start) + 1) {
        size_t end = PartEnd(folder, start);
        std::wstring_view name = folder.substr(start, end - start);
        auto child = m_children.find(PartView{node, name});
        if (child == m_children.end()) {
            child = m_children.emplace(Part{node, std::wstring(name)}, m_known.size()).first;
            m_known.push_back(false);
        }
        node = child->second;
        if (end >= shallowest)
            m_known[node] = true;
        if (end == folder.size())
            return;
    }
}

std::set<CString> FolderSet::Texts() const
{
    // A part is always made after its parent, so the parents' texts come first by node number.
    std::vector<std::wstring> texts(m_known.size());
    std::vector<const Part*> parts(m_known.size(), nullptr);
    for (const auto& [part, node] : m_children)
        parts[node] = &part;
    std::set<CString> known;
    for (size_t node = 1; node < parts.size(); ++node) {
        texts[node] = parts[node]->parent == 0 ? parts[node]->name : texts[parts[node]->parent] + L"\\" + parts[node]->name;
        if (m_known[node])
            known.insert(CString(texts[node]));
    }
    return known;
}
