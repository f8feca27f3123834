#pragma once

#include <QFont>
#include <QLabel>
#include <QStringList>

// A label whose whole text stays in view, start first: when it is too wide the font shrinks,
// down to a minimum scale; past that the text wraps at any character, and shrinks further only
// if the lines would not fit the height. A number never loses its country code.
class UILabel : public QLabel
{
    Q_OBJECT

public:
    struct Layout
    {
        QFont font;
        QStringList lines;
    };

    explicit UILabel(QWidget *parent = nullptr);

    void setMinimumScaleFactor(qreal scale) { minimumScaleFactor = scale; }
    // How the text is drawn in the label's contents: the font, and the lines that hold all of it.
    Layout layout() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal minimumScaleFactor = 0.6;
};
