#pragma once

#include <QBuffer>
#include <QImage>

// A plain picture as PNG bytes, the form the address book keeps pictures in.
inline QByteArray pngPicture(int size, Qt::GlobalColor color)
{
    QImage picture(size, size, QImage::Format_RGB32);
    picture.fill(color);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}
