#pragma once

#include <QDialog>
#include <QString>

#include <memory>

namespace Ui {
class LogPrintfDia;
}

// A plain dialog for reading log text on screen, with a button that empties it.
class LogPrintfDia : public QDialog
{
    Q_OBJECT

public:
    explicit LogPrintfDia(QWidget *parent = nullptr);
    ~LogPrintfDia() override;

    void appendLogText(const QString &text);

private slots:
    void on_pushButton_clicked();

private:
    std::unique_ptr<Ui::LogPrintfDia> ui;
};
