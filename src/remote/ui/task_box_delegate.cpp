#include "remote/ui/task_box_delegate.h"

#include "platform/format.h"
#include "remote/ui/task_box_model.h"

#include <QApplication>
#include <QPainter>

namespace {

constexpr int kPad = 6;
constexpr int kLineGap = 2;
constexpr int kBarExtra = 4;  // the bar is a little taller than a text line
// Heading, remote folder, local path and bar above the figures.
constexpr int kLinesAboveFigures = 4;
constexpr int kLines = kLinesAboveFigures + TaskBoxDelegate::kFigureLines;

QString text(const QModelIndex& index, int role) {
    return index.data(role).toString();
}

}  // namespace

QString TaskBoxDelegate::figureText(const QModelIndex& index, int line) {
    const QString state = text(index, TaskBoxModel::StateTextRole);
    const QString bytes = text(index, TaskBoxModel::BytesTextRole);
    if (!state.isEmpty())  // why first: it is what the user must read
        return line == 0 ? state : bytes;
    if (line == 0)
        return bytes + QStringLiteral("   ") + text(index, TaskBoxModel::SpeedTextRole);
    return text(index, TaskBoxModel::ElapsedTextRole) + QStringLiteral(" used, ") +
           text(index, TaskBoxModel::RemainingTextRole) + QStringLiteral(" left");
}

QRect TaskBoxDelegate::figureRect(const QRect& box, const QFontMetrics& metrics, int line) {
    const int step = metrics.lineSpacing() + kLineGap;
    const QRect inner = box.adjusted(kPad, kPad, -kPad, -kPad);
    return QRect(inner.left(), inner.top() + (kLinesAboveFigures + line) * step + kBarExtra,
                 inner.width(), metrics.lineSpacing());
}

QSize TaskBoxDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    const int line = option.fontMetrics.lineSpacing();
    return QSize(200, 2 * kPad + kLines * line + kBarExtra + (kLines - 1) * kLineGap);
}

void TaskBoxDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    painter->save();
    const QPalette& pal = option.palette;
    const bool selected = option.state & QStyle::State_Selected;
    const QRect box = option.rect.adjusted(0, 0, -1, -1);
    painter->setRenderHint(QPainter::Antialiasing, true);
    const QVariant alarm = index.data(Qt::ForegroundRole);
    painter->setPen(alarm.isValid() ? alarm.value<QColor>()
                    : selected      ? pal.color(QPalette::Highlight)
                                    : pal.color(QPalette::Mid));
    painter->setBrush(pal.color(QPalette::Base));
    painter->drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    painter->setRenderHint(QPainter::Antialiasing, false);

    const QFontMetrics& fm = option.fontMetrics;
    const int line = fm.lineSpacing();
    QRect r = box.adjusted(kPad, kPad, -kPad, -kPad);
    r.setHeight(line);
    painter->setPen(pal.color(QPalette::Text));

    // Heading: the kind, then the file name in bold.
    const QString kind = text(index, TaskBoxModel::KindTextRole) + QStringLiteral("  ");
    painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, kind);
    QFont bold = option.font;
    bold.setBold(true);
    painter->setFont(bold);
    const QRect nameRect = r.adjusted(fm.horizontalAdvance(kind), 0, 0, 0);
    painter->drawText(nameRect, Qt::AlignLeft | Qt::AlignVCenter,
                      QFontMetrics(bold).elidedText(text(index, TaskBoxModel::FileNameRole),
                                                    Qt::ElideMiddle, nameRect.width()));
    painter->setFont(option.font);

    auto labelled = [&](const QString& label, const QString& value) {
        r.translate(0, line + kLineGap);
        const int labelWidth = fm.horizontalAdvance(QStringLiteral("Remote: "));
        painter->setPen(pal.color(QPalette::PlaceholderText));
        painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, label);
        painter->setPen(pal.color(QPalette::Text));
        const QRect v = r.adjusted(labelWidth, 0, 0, 0);
        painter->drawText(v, Qt::AlignLeft | Qt::AlignVCenter,
                          fm.elidedText(value, Qt::ElideMiddle, v.width()));
    };
    labelled(QStringLiteral("Remote:"), text(index, TaskBoxModel::RemoteFolderRole));
    labelled(QStringLiteral("Local:"), text(index, TaskBoxModel::LocalPathRole));

    // Progress bar: the filled share in green, the percentage centred over it.
    r.translate(0, line + kLineGap);
    const QRect bar(r.left(), r.top(), r.width(), line + kBarExtra);
    painter->setPen(pal.color(QPalette::Mid));
    painter->setBrush(pal.color(QPalette::Window));
    painter->drawRect(bar.adjusted(0, 0, -1, -1));
    const int percent = index.data(TaskBoxModel::PercentRole).toInt();
    const QRect inner = bar.adjusted(1, 1, -1, -1);
    const int fill = ProgressFillWidth(inner.width(), percent);
    if (fill > 0)
        painter->fillRect(QRect(inner.left(), inner.top(), fill, inner.height()),
                          QColor(0, 164, 0));
    painter->setPen(pal.color(QPalette::Text));
    painter->drawText(bar, Qt::AlignCenter, text(index, TaskBoxModel::ProgressTextRole));

    // Figures: in red when the transfer can not go on or does not move.
    if (!text(index, TaskBoxModel::StateTextRole).isEmpty())
        painter->setPen(index.data(Qt::ForegroundRole).value<QColor>());
    for (int i = 0; i < kFigureLines; ++i) {
        const QRect f = figureRect(box, fm, i);
        painter->drawText(f, Qt::AlignLeft | Qt::AlignVCenter,
                          fm.elidedText(figureText(index, i), Qt::ElideRight, f.width()));
    }
    painter->restore();
}
