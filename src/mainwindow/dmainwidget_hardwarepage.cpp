#include "mainwindow/dmainwidget.h"

#include "config/ddatamanager.h"

#include <QDebug>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace {

// A place for one inventory entry: a name label and, for the entries that carry a size, a size label.
struct Slot {
    QLabel *name;
    QLabel *size;
};

// Writes the entries into the places in order; every entry beyond the earlier slots goes into the
// last one, so it ends up showing the last entry. Places without an entry stay hidden.
void fillRow(const QStringList &entries, const std::vector<Slot> &places)
{
    for (const Slot &s : places) {
        s.name->hide();
        if (s.size)
            s.size->hide();
    }
    for (int i = 0; i < entries.size(); ++i) {
        const Slot &s = places[std::min<std::size_t>(std::size_t(i), places.size() - 1)];
        s.name->show();
        if (!s.size) {
            s.name->setText(entries.at(i));
            continue;
        }
        // "name,size"; anything after a second comma is not shown
        const QStringList parts = entries.at(i).split(QLatin1Char(','));
        s.size->show();
        s.name->setText(parts.value(0));
        s.size->setText(parts.value(1));
    }
}

} // namespace

void DMainWidget::onGetPcHardwareInfoOver()
{
    qDebug() << "-------------------------- onGetPcHardwareInfoOver and update to UI -----------------------";
    const DDataManager *const data = DDataManager::instance();

    ui->label_29->setText(data->cpuName());
    ui->label_30->setText(data->boardName());
    fillRow(data->memoryModules(),
            {{ui->label_31, ui->label_32}, {ui->label_33, ui->label_34}, {ui->label_44, ui->label_45}});
    fillRow(data->disks(), {{ui->label_35, ui->label_36}, {ui->label_37, ui->label_38}, {ui->label_46, ui->label_47}});
    fillRow(data->graphicsAdapters(), {{ui->label_39, ui->label_40}, {ui->label_50, ui->label_51}});
    fillRow(data->soundDevices(), {{ui->label_41, nullptr}, {ui->label_48, nullptr}, {ui->label_49, nullptr}});
    fillRow(data->networkAdapters(), {{ui->label_42, nullptr}, {ui->label_52, nullptr}});
    ui->label_43->setText(data->osCaption());
}
