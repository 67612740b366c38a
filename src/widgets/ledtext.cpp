#include "ledtext.h"

#include <QFontInfo>
#include <QPainter>
#include <QPixmap>

#include <algorithm>

QImage ledTextBitmap(const QString &text, const QFont &font)
{
    QImage image(LedText::columns, LedText::rows, QImage::Format_MonoLSB);
    image.fill(1);
    QPainter painter(&image);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignLeft | Qt::AlignVCenter, text);
    painter.end();
    return image;
}

LedText::LedText(QWidget *parent)
    : QWidget(parent)
{
}

LedText::~LedText() = default;

QSize LedText::sizeHint() const
{
    return {200, 80};
}

QSize LedText::minimumSizeHint() const
{
    return {20, 10};
}

void LedText::setText(const QString &text)
{
    if (text == this->text)
        return;
    this->text = text;
    update();
}

void LedText::setStep(int step)
{
    if (step == this->step)
        return;
    this->step = step;
    update();
}

void LedText::setForeground(const QColor &foreground)
{
    if (foreground == this->foreground)
        return;
    this->foreground = foreground;
    update();
}

void LedText::setBackground(const QColor &background)
{
    if (background == this->background)
        return;
    this->background = background;
    update();
}

void LedText::paintEvent(QPaintEvent *)
{
    const QString family = font().family();
    // A font sized in pixels reports no point size; ask what it resolves to instead.
    int pointSize = font().pointSize();
    if (pointSize <= 0)
        pointSize = QFontInfo(font()).pointSize();
    pointSize = std::max(1, pointSize);

    QPixmap panel(size());
    panel.fill(QColor(0, 0, 0));
    QPainter dots(&panel);
    dots.setFont(QFont(family, std::max(1, pointSize / 2)));

    const QImage bitmap = ledTextBitmap(text, QFont(family, pointSize));
    const QString dot = QStringLiteral("●");
    // Positions in double: a huge step must not overflow the running coordinate.
    for (int r = 0; r < rows; ++r) {
        const uchar *line = bitmap.constScanLine(r);
        const double y = double(step) * (r + 1);
        for (int c = 0; c < columns; ++c) {
            const bool unlit = (line[c / 8] >> (c % 8)) & 1;
            dots.setPen(unlit ? background : foreground);
            dots.drawText(QPointF(double(step) * c, y), dot);
        }
    }
    dots.end();

    QPainter painter(this);
    painter.drawPixmap(rect(), panel);
}
