// The floor for the whole-process benchmark: the least a Qt program must spend to show what the
// main window shows and updates every second. It builds the window's own form (same widgets, same
// layout, same size, frameless and translucent), shows the monitor page and once a second gives
// the dashboards, bars and value labels new figures. No sensors, no device, no logging, no theme.
//
//   bench_floor [--gpu]     --gpu: the GPU side changes too (default: it stays at 0, as on a
//                            machine whose sensor library finds no graphics card)

#include "ui_dmainwidget.h"
#include "widgets/progressbarround.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstring>

namespace {

// A figure that wanders inside [low, high] so every second shows a different number.
class Wander
{
public:
    Wander(int low, int high, int step)
        : low(low)
        , high(high)
        , step(step)
        , value(low)
    {
    }
    int next()
    {
        value += step;
        if (value > high || value < low) {
            step = -step;
            value += 2 * step;
        }
        return value;
    }

private:
    int low, high, step, value;
};

struct Metric {
    QProgressBar *bar;
    QLabel *label;
    Wander figure;
    bool ranged; // clock, fan and power bars take their range from the figure
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const bool gpuChanges = argc > 1 && std::strcmp(argv[1], "--gpu") == 0;

    QWidget window;
    Ui::DMainWidget ui;
    ui.setupUi(&window);
    window.setWindowFlags(Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint);
    window.setAttribute(Qt::WA_TranslucentBackground);
    window.setFixedSize(1150, 750);
    ui.stackedWidget_3->setCurrentWidget(ui.page_Monitor);

    const QGradientStops gradient{{0.0, QColor(0, 102, 153)}, {1.0, QColor(227, 6, 19)}};
    for (ProgressBarRound *dashboard : {ui.widget_CpuDashboardNew, ui.widget_GpuDashboardNew}) {
        dashboard->setNullPosition(-90.0);
        dashboard->setGradientData(gradient);
        dashboard->setRange(0, 100);
        dashboard->setValue(0);
    }

    Wander cpuTemperature(40, 70, 1);
    Wander gpuTemperature(45, 75, 1);
    Metric cpu[] = {{ui.progressBar_CPU01, ui.label_CPU01, Wander(3, 40, 3), false},
                    {ui.progressBar_CPU02, ui.label_CPU02, Wander(3600, 4700, 37), true},
                    {ui.progressBar_CPU03, ui.label_CPU03, Wander(900, 1400, 11), true},
                    {ui.progressBar_CPU04, ui.label_CPU04, Wander(10, 60, 1), true}};
    Metric gpu[] = {{ui.progressBar_GPU01, ui.label_GPU01, Wander(3, 40, 3), false},
                    {ui.progressBar_GPU02, ui.label_GPU02, Wander(300, 1800, 51), true},
                    {ui.progressBar_GPU03, ui.label_GPU03, Wander(900, 1400, 11), true},
                    {ui.progressBar_GPU04, ui.label_GPU04, Wander(10, 200, 3), true}};
    Wander memoryLoad(30, 60, 1);

    QTimer cycle;
    QObject::connect(&cycle, &QTimer::timeout, [&] {
        ui.widget_CpuDashboardNew->setValue(cpuTemperature.next());
        if (gpuChanges)
            ui.widget_GpuDashboardNew->setValue(gpuTemperature.next());
        for (Metric &m : cpu) {
            const int value = m.figure.next();
            if (m.ranged)
                m.bar->setRange(0, qMax(m.bar->maximum(), value));
            m.label->setText(QString::number(value));
            m.bar->setValue(value);
        }
        for (Metric &m : gpu) {
            const int value = gpuChanges ? m.figure.next() : 0;
            m.label->setText(QString::number(value));
            m.bar->setValue(value);
        }
        const int memory = memoryLoad.next();
        ui.label_MemoryUsageNum->setText(QString::number(memory));
        ui.progressBar_MemoryUsage->setValue(memory);
    });
    cycle.start(1000);

    window.show();
    return app.exec();
}
