#pragma once

#include <QString>
#include <QtGlobal>

#include <limits>

// The status line under a list: how many folders and files it shows and their
// total size, or the same for the rows selected.
struct ListCounts {
    int folders = 0;
    int files = 0;
    qint64 bytes = 0;  // of the files

    void add(bool folder, qint64 size) {
        if (folder) {
            ++folders;
        } else {
            ++files;
            // Sizes a server claims can be anything: the total stops at the
            // largest it can hold instead of turning negative.
            if (size > 0)
                bytes = size > std::numeric_limits<qint64>::max() - bytes
                            ? std::numeric_limits<qint64>::max()
                            : bytes + size;
        }
    }
    bool operator==(const ListCounts&) const = default;
};

// "3 folders, 12 files, total 1,235 k"; a selection reads "Selected: 1 folder,
// 2 files, total 3 k". Sizes in the user's size style.
QString ListSummaryText(const ListCounts& counts, bool selection, quint8 sizeStyle);
