#include "platform/ui/drag_image.h"

#include <QFontMetrics>
#include <QPainter>

QPixmap DragImage(const QIcon& icon, const QString& text, const QFont& font) {
    const QFontMetrics metrics(font);
    const QString shown = metrics.elidedText(text, Qt::ElideMiddle, 320);
    const int iconSize = 16;
    const int pad = 4;
    const QSize size(iconSize + 3 * pad + metrics.horizontalAdvance(shown),
                     qMax(iconSize, metrics.height()) + 2 * pad);
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(49, 106, 197));
    painter.setBrush(QColor(49, 106, 197, 200));
    painter.drawRoundedRect(QRectF(pixmap.rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    icon.paint(&painter, QRect(pad, (size.height() - iconSize) / 2, iconSize, iconSize));
    painter.setPen(Qt::white);
    painter.setFont(font);
    painter.drawText(QRect(iconSize + 2 * pad, 0, size.width(), size.height()),
                     Qt::AlignVCenter | Qt::AlignLeft, shown);
    return pixmap;
}
