#include "platform/list_summary.h"

#include "platform/format.h"

namespace {
QString counted(int n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}
}  // namespace

QString ListSummaryText(const ListCounts& c, bool selection, quint8 sizeStyle) {
    QString text = counted(c.folders, "folder", "folders") + QStringLiteral(", ") +
                   counted(c.files, "file", "files") + QStringLiteral(", total ") +
                   FormatSize(c.bytes, sizeStyle);
    return selection ? QStringLiteral("Selected: ") + text : text;
}
