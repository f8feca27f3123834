#pragma once

#include <QTimer>
#include <QWidget>

// A spinning busy indicator.
class UIActivityIndicatorView : public QWidget
{
    Q_OBJECT

public:
    enum Style
    {
        WhiteLarge = 0,
        White = 1,
        Gray = 2,
    };

    explicit UIActivityIndicatorView(QWidget *parent = nullptr);

    void setActivityIndicatorViewStyle(Style style);
    void setCenter(const QPoint &center);
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return spinTimer.isActive(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QTimer spinTimer;
    Style style = Gray;
    int step = 0;
};
