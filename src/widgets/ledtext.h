#pragma once

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

// The 160 x 16 one-bit picture behind the LED panel: the text drawn left-aligned and vertically
// centred; drawn pixels hold 0, the rest 1. Anything beyond the right edge is cut off.
QImage ledTextBitmap(const QString &text, const QFont &font);

// A short text shown as a dot-matrix LED panel of 160 x 16 round dots on a black ground.
class LedText : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString text READ getText WRITE setText)
    Q_PROPERTY(int step READ getStep WRITE setStep)
    Q_PROPERTY(QColor foreground READ getForeground WRITE setForeground)
    Q_PROPERTY(QColor background READ getBackground WRITE setBackground)

public:
    static constexpr int columns = 160;
    static constexpr int rows = 16;

    explicit LedText(QWidget *parent = nullptr);
    ~LedText() override;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    QString getText() const { return text; }
    int getStep() const { return step; }
    QColor getForeground() const { return foreground; }
    QColor getBackground() const { return background; }

public slots:
    void setText(const QString &text);
    void setStep(int step);
    void setForeground(const QColor &foreground);
    void setBackground(const QColor &background);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString text = QStringLiteral("123456789");
    int step = 5;
    QColor foreground{100, 184, 255};
    QColor background{22, 22, 22};
};
