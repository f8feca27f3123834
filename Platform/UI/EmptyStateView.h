#pragma once

#include <QWidget>

class QLabel;

// What a screen shows where a list has nothing in it: a small picture above one centred line.
// The picture is drawn, not loaded, in the muted colour of the palette, so it stays sharp at
// any scale and follows the colours of the screen.
class EmptyStateView : public QWidget
{
    Q_OBJECT

public:
    enum class Picture
    {
        Clock,
        Person,
    };

    explicit EmptyStateView(QWidget *parent = nullptr);

    void setPicture(Picture picture);
    void setText(const QString &text);
    QString text() const;
    QLabel *textLabel() const { return label; }

private:
    class PictureView;

    PictureView *picture;
    QLabel *label;
};
