#pragma once

#include <QList>
#include <QString>
#include <Qt>

#include <array>

// The columns of the local list, in order.
struct LocalListColumn {
    const char* title;
    Qt::Alignment alignment;
    int weight;  // share of the width
};

inline constexpr std::array<LocalListColumn, 5> kLocalListColumns{{
    {"File/Folder", Qt::AlignLeft | Qt::AlignVCenter, 80},
    {"Size", Qt::AlignRight | Qt::AlignVCenter, 40},
    {"Type", Qt::AlignHCenter | Qt::AlignVCenter, 35},
    {"Last modified", Qt::AlignLeft | Qt::AlignVCenter, 80},
    {"No.", Qt::AlignRight | Qt::AlignVCenter, 24},
}};

enum LocalListColumnIndex { kColName = 0, kColSize, kColType, kColModified, kColNumber };

QList<int> LocalListWeights();

// Shares width among the columns by weight. Each column takes the whole part
// of its exact share plus what the columns before it left over, so fractions
// are carried on instead of lost and the widths add up to width exactly.
QList<int> CarriedColumnWidths(int width, const QList<int>& weights);
