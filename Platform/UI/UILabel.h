#pragma once

#include <QLabel>

// A one-line label that, when its text is too wide, first shrinks the font down to a minimum
// scale and then drops characters from the start, so the end of the text stays in view.
class UILabel : public QLabel
{
    Q_OBJECT

public:
    explicit UILabel(QWidget *parent = nullptr);

    void setMinimumScaleFactor(qreal scale) { minimumScaleFactor = scale; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal minimumScaleFactor = 0.6;
};
