#pragma once

#include <QByteArray>
#include <QtGlobal>

// One entry of a remote folder, as parsed from a LIST or MLSD line. Texts keep
// the server's bytes unchanged; numbers the listing did not give stay -1.
struct RemoteItem {
    char kind = 0;           // 'd' folder, '-' file, 'l' link, 'c'/'b' devices
    QByteArray permissions;  // nine characters such as "rwxr-xr-x", or empty
    QByteArray time;         // "HH", "HH:MM" or "HH:MM:SS" as listed, or empty
    QByteArray linkTarget;   // links only, as listed
    QByteArray name;
    qint64 size = 0;
    int year = -1;
    int month = -1;
    int day = -1;
    int links = -1;
    QByteArray owner;
    QByteArray group;
    QByteArray unique;  // MLSD "unique" fact: one value per file or folder on the server

    bool isFolder() const { return kind == 'd'; }

    bool operator==(const RemoteItem&) const = default;
};

// Display order of kinds: folders, links, block devices, character devices,
// files, then anything else.
int KindSortRank(char kind);
