// The folders EnsureDirectory has handled, each known by its exact text. A text is kept as its
// parts between "\", each part once below the part before it, so that a folder and its parents
// share what they have in common: a path costs memory linear in its length however deep it is,
// and a lookup reads it once.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/afx/CString.h"

class FolderSet {
public:
    // The length of the longest start of folder that is in the set, ending at one of its "\" or
    // at its end; none when there is no such start.
    std::optional<size_t> LongestKnown(std::wstring_view folder) const;
    // Adds folder and each of its starts that ends at one of its "\" and is at least shallowest
    // long.
    void Insert(std::wstring_view folder, size_t shallowest);
    // Every folder of the set as its text.
    std::set<CString> Texts() const;

private:
    struct Part {
        size_t parent;
        std::wstring name;
    };
    struct PartOrder {
        using is_transparent = void;
        template <class A, class B>
        bool operator()(const A& a, const B& b) const
        {
            return a.parent != b.parent ? a.parent < b.parent : std::wstring_view(a.name) < std::wstring_view(b.name);
        }
    };
    struct PartView {
        size_t parent;
        std::wstring_view name;
    };

    // Node 0 stands before any text; every other node is a part below its parent.
    std::map<Part, size_t, PartOrder> m_children;
    std::vector<bool> m_known{false};
};
