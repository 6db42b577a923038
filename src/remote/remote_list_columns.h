#pragma once

#include <QList>
#include <QString>
#include <Qt>

#include <vector>

#include "remote/remote_item.h"
#include "remote/remote_item_list.h"
#include "session/log_line.h"

// The columns of the remote list, in display order.
enum class RemoteListColumn {
    Name = 0,
    Size,
    Type,
    Modified,
    Permission,
    OwnerGroup,
    Number,
};
inline constexpr int kRemoteListColumnCount = 7;

QString RemoteListColumnTitle(int column);
Qt::Alignment RemoteListColumnAlignment(int column);
// The relative widths 40, 20, 20, 30, 30, 30, 12.
QList<int> RemoteListColumnWeights();

// Shares width among the columns by weight: each width is rounded down and the
// fractions are carried, a column getting one pixel more whenever the carry
// reaches a whole pixel.
QList<int> CarriedProportionalWidths(int width, const QList<int>& weights);
// The width the columns share: the client width less 2, less the vertical
// scroll bar when it is shown.
int ListColumnsWidth(int clientWidth, int scrollBarWidth, bool scrollBarShown);

// For a file its extension (empty when the name has no dot or only a leading
// one); empty for a folder; "link", "device b", "device c", else "unknown".
QString RemoteTypeText(const RemoteItemView& item);
// A running number per kind (files, folders, links, block and character
// devices, others), each from 1, in list order.
std::vector<int> NumberWithinKinds(const RemoteItemList& items);
// Files and links in the size style; blank for other kinds.
QString RemoteSizeText(const RemoteItemView& item, quint8 sizeStyle);
// The nine characters, or with numeric on their three-digit number.
QString RemotePermissionText(const RemoteItemView& item, bool numeric);
// "YYYY-MM-DD  HH:MM" as far as the listing gave the parts; a listing with a
// time but no year (this year's entries) shows "MM-DD  HH:MM".
QString RemoteDateText(const RemoteItemView& item);
// "owner/group"; one of them alone when the other is missing.
QString RemoteOwnerGroupText(const RemoteItemView& item);
// The same for an item held on its own.
inline QString RemoteTypeText(const RemoteItem& item) {
    return RemoteTypeText(RemoteItemView::of(item));
}
inline QString RemoteSizeText(const RemoteItem& item, quint8 sizeStyle) {
    return RemoteSizeText(RemoteItemView::of(item), sizeStyle);
}
inline QString RemotePermissionText(const RemoteItem& item, bool numeric) {
    return RemotePermissionText(RemoteItemView::of(item), numeric);
}
inline QString RemoteDateText(const RemoteItem& item) {
    return RemoteDateText(RemoteItemView::of(item));
}
inline QString RemoteOwnerGroupText(const RemoteItem& item) {
    return RemoteOwnerGroupText(RemoteItemView::of(item));
}
// The display form of a server name: UTF-8, invalid bytes as replacement
// characters. Commands keep using the bytes.
QString RemoteNameText(const QByteArray& name);
