#pragma once

// The lesson list's context menu, filled by the features each time it opens:
// exports first, then what changes the view, then what changes the lesson,
// so an entry that deletes is always last.

#include <QMenu>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

class LessonMenu {
public:
    enum Group { Exports, Views, Edits };
    // Adds a feature's entries for lesson `lesson` (from 0; -1 for none) to the menu.
    using Entries = std::function<void(QMenu& menu, int lesson)>;

    void add(Group group, Entries entries)
    {
        const auto after = std::upper_bound(groups_.begin(), groups_.end(), group,
                                            [](Group g, const auto& entry) { return g < entry.first; });
        groups_.insert(after, {group, std::move(entries)});
    }

    void fill(QMenu& menu, int lesson) const
    {
        for (const auto& [group, entries] : groups_)
            entries(menu, lesson);
    }

private:
    std::vector<std::pair<Group, Entries>> groups_;
};
