#include "logprintfdia.h"

#include "ui_logprintfdia.h"

LogPrintfDia::LogPrintfDia(QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::LogPrintfDia>())
{
    // setupUi connects on_pushButton_clicked by name once the form stands.
    ui->setupUi(this);
}

LogPrintfDia::~LogPrintfDia() = default;

void LogPrintfDia::appendLogText(const QString &text)
{
    ui->textEdit_Log->append(text);
}

void LogPrintfDia::on_pushButton_clicked()
{
    ui->textEdit_Log->clear();
}
