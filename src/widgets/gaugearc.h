#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QTimer;

// A 270-degree dial with a double arc, ticks, scale numbers, a pointer, a hub and a value text,
// painted in a 200 x 200 logical square; the drawn value can glide to a new target.
class GaugeArc : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double value READ getValue WRITE setValue)
    Q_PROPERTY(double minValue READ getMinValue WRITE setMinValue)
    Q_PROPERTY(double maxValue READ getMaxValue WRITE setMaxValue)
    Q_PROPERTY(int precision READ getPrecision WRITE setPrecision)
    Q_PROPERTY(int scaleMajor READ getScaleMajor WRITE setScaleMajor)
    Q_PROPERTY(int scaleMinor READ getScaleMinor WRITE setScaleMinor)
    Q_PROPERTY(int startAngle READ getStartAngle WRITE setStartAngle)
    Q_PROPERTY(int endAngle READ getEndAngle WRITE setEndAngle)
    Q_PROPERTY(bool animation READ getAnimation WRITE setAnimation)
    Q_PROPERTY(double animationStep READ getAnimationStep WRITE setAnimationStep)
    Q_PROPERTY(QColor arcColor READ getArcColor WRITE setArcColor)
    Q_PROPERTY(QColor scaleColor READ getScaleColor WRITE setScaleColor)
    Q_PROPERTY(QColor scaleNumColor READ getScaleNumColor WRITE setScaleNumColor)
    Q_PROPERTY(QColor pointerColor READ getPointerColor WRITE setPointerColor)
    Q_PROPERTY(QColor textColor READ getTextColor WRITE setTextColor)
    Q_PROPERTY(QString strUnit READ getStrUnit WRITE setStrUnit)
    Q_PROPERTY(PointerStyle pointerStyle READ getPointerStyle WRITE setPointerStyle)

public:
    enum PointerStyle {
        PointerStyle_Circle = 0,
        PointerStyle_Indicator = 1,
        PointerStyle_IndicatorR = 2,
        PointerStyle_Triangle = 3
    };
    Q_ENUM(PointerStyle)

    explicit GaugeArc(QWidget *parent = nullptr);
    ~GaugeArc() override;

    double getValue() const { return value; }
    double getMinValue() const { return minValue; }
    double getMaxValue() const { return maxValue; }
    int getPrecision() const { return precision; }
    int getScaleMajor() const { return scaleMajor; }
    int getScaleMinor() const { return scaleMinor; }
    int getStartAngle() const { return startAngle; }
    int getEndAngle() const { return endAngle; }
    bool getAnimation() const { return animation; }
    double getAnimationStep() const { return animationStep; }
    QColor getArcColor() const { return arcColor; }
    QColor getScaleColor() const { return scaleColor; }
    QColor getScaleNumColor() const { return scaleNumColor; }
    QColor getPointerColor() const { return pointerColor; }
    QColor getTextColor() const { return textColor; }
    QString getStrUnit() const { return strUnit; }
    QString getExplainText() const { return strExplainText; }
    PointerStyle getPointerStyle() const { return pointerStyle; }
    bool getReverse() const { return reverse; }
    double getCurrentValue() const { return currentValue; }

signals:
    void valueChanged(double value);

public slots:
    void setRange(double minValue, double maxValue);
    void setRange(int minValue, int maxValue);
    void setMinValue(double minValue);
    void setMaxValue(double maxValue);
    void setValue(double value);
    void setValue(int value);
    void setPrecision(int precision);
    void setScaleMajor(int scaleMajor);
    void setScaleMinor(int scaleMinor);
    void setStartAngle(int startAngle);
    void setEndAngle(int endAngle);
    void setAnimation(bool animation);
    void setAnimationStep(double animationStep);
    void setArcColor(const QColor &arcColor);
    void setScaleColor(const QColor &scaleColor);
    void setScaleNumColor(const QColor &scaleNumColor);
    void setPointerColor(const QColor &pointerColor);
    void setTextColor(const QColor &textColor);
    void setStrUnit(const QString &strUnitIn);
    void setExplainText(const QString &strExplainTextIn);
    void updateCurrentValue(int typeNum);
    void setPointerStyle(PointerStyle pointerStyle);

protected:
    void paintEvent(QPaintEvent *event) override;

private slots:
    void updateValue();

private:
    double span() const;
    double fractionOfRange(double v) const;
    void drawArc(QPainter *painter, int radius);
    void drawScale(QPainter *painter);
    void drawScaleNum(QPainter *painter);
    void drawPointerCircle(QPainter *painter);
    void drawPointerIndicator(QPainter *painter);
    void drawPointerIndicatorR(QPainter *painter);
    void drawPointerTriangle(QPainter *painter);
    void rotateToPointer(QPainter *painter);
    void drawHub(QPainter *painter);
    void drawValue(QPainter *painter);

    double value = 0;
    double minValue = 0;
    double maxValue = 100;
    int precision = 0;
    int scaleMajor = 10;
    int scaleMinor = 10;
    int startAngle = 45;
    int endAngle = 45;
    bool animation = false;
    double animationStep = 0.5;
    QColor arcColor{21, 134, 200};
    QColor scaleColor{25, 141, 205};
    QColor scaleNumColor{100, 176, 221};
    QColor pointerColor{255, 107, 107};
    QColor textColor{76, 255, 50};
    QString strUnit = QStringLiteral("℃");
    QString strExplainText = QStringLiteral("Explain");
    PointerStyle pointerStyle = PointerStyle_Indicator;
    bool reverse = false;
    double currentValue = 0;
    QTimer *timer;
};
