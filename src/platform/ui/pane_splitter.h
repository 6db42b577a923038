#pragma once

#include <QSplitter>

#include <vector>

// A splitter whose panes keep their shares (32768ths) across resizes, never
// below a minimum size while the room allows it.
class PaneSplitter : public QSplitter {
    Q_OBJECT
public:
    explicit PaneSplitter(Qt::Orientation orientation, QWidget* parent = nullptr,
                          int minimumPane = 30, int barThickness = 6);

    // Shares of the panes, in pane order; applied at once and on every resize.
    void setShares(const std::vector<int>& shares);
    std::vector<int> shares() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    void applyShares();

    int minimumPane_;
    std::vector<int> shares_;
    bool applying_ = false;
};
