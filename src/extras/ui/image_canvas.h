#pragma once

#include <QImage>
#include <QWidget>

// Draws one picture: whole and scaled down to the widget ("Fit to view"), or
// pixel for pixel at its own size inside a scroll area ("Actual size").
class ImageCanvas : public QWidget {
    Q_OBJECT
public:
    explicit ImageCanvas(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return image_; }
    void setFit(bool fit);
    bool fit() const { return fit_; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
    bool fit_ = true;
};
