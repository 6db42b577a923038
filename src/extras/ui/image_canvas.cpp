#include "extras/ui/image_canvas.h"

#include <QPainter>

ImageCanvas::ImageCanvas(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Image"));
    setBackgroundRole(QPalette::Dark);
    setAutoFillBackground(true);
}

void ImageCanvas::setImage(const QImage& image) {
    image_ = image;
    setFit(fit_);
    update();
}

void ImageCanvas::setFit(bool fit) {
    fit_ = fit;
    if (fit_) {
        setMinimumSize(1, 1);
    } else {
        setMinimumSize(image_.size());
        resize(image_.size());
    }
    updateGeometry();
    update();
}

QSize ImageCanvas::sizeHint() const {
    return image_.isNull() ? QSize(200, 150) : image_.size();
}

void ImageCanvas::paintEvent(QPaintEvent*) {
    if (image_.isNull())
        return;
    QPainter painter(this);
    if (!fit_) {
        painter.drawImage(0, 0, image_);
        return;
    }
    // Fitting shrinks a large picture; a small one keeps its size.
    QSize size = image_.size();
    if (size.width() > width() || size.height() > height())
        size.scale(this->size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image_);
}
