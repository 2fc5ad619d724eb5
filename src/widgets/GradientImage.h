#pragma once

#include <QColor>
#include <QImage>

// A vertical gradient in 64 bands of flat colour, from `top` in the first band
// to `bottom` in the last. Band i covers the rows from round(h * i / 64) up to
// round(h * (i + 1) / 64); in a picture lower than 64 rows some bands get no
// row at all. An empty size gives a null image.
QImage gradientImage(int width, int height, const QColor& top, const QColor& bottom);
