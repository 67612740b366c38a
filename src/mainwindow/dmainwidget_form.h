#pragma once

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

class ProgressBarRound;

namespace Ui {

// The main window's form, built in code. Every widget and layout carries the object name it is
// addressed by and is parented into the window's tree, so the form object owns nothing itself.
class DMainWidget
{
public:
    void setupUi(QWidget *window);

    QVBoxLayout *verticalLayout_2;
    QFrame *frame_Bg;
    QHBoxLayout *horizontalLayout;

    // left column: title area, menu buttons, version
    QFrame *frame_LeftAreaABC;
    QVBoxLayout *verticalLayout_16;
    QStackedWidget *stackedWidget_2;
    QWidget *page;
    QHBoxLayout *horizontalLayout_26;
    QWidget *page_2;
    QVBoxLayout *verticalLayout_15;
    QStackedWidget *stackedWidget;
    QWidget *page_TitleMode01;
    QHBoxLayout *horizontalLayout_10;
    QFrame *frame_44;
    QHBoxLayout *horizontalLayout_9;
    QFrame *frame;
    QVBoxLayout *verticalLayout_3;
    QPushButton *appLogo;
    QFrame *frame_5;
    QVBoxLayout *verticalLayout_4;
    QLabel *label_AppName;
    QWidget *page_TitleMode02;
    QHBoxLayout *horizontalLayout_11;
    QPushButton *pushButton;
    QFrame *frame_34;
    QVBoxLayout *verticalLayout_18;
    QGridLayout *gridLayout_11;
    QPushButton *pushButton_Monitor;
    QPushButton *pushButton_Hardware;
    QPushButton *pushButton_Test;
    QPushButton *pushButton_Logo;
    QLabel *label_CrashTest;
    QLabel *label_AppVersion;

    // right column: title bar, pages, company line
    QFrame *frame_RightAreaABC;
    QVBoxLayout *verticalLayout;
    QFrame *frame_TitleASDF;
    QHBoxLayout *horizontalLayout_3;
    QFrame *frame_4;
    QHBoxLayout *horizontalLayout_23;
    QFrame *frame_25;
    QVBoxLayout *verticalLayout_17;
    QFrame *frame_24;
    QHBoxLayout *horizontalLayout_27;
    QPushButton *pushButton_Setting;
    QPushButton *pushButton_Min;
    QPushButton *pushButton_Max;
    QPushButton *pushButton_Close;
    QFrame *frame_23;
    QHBoxLayout *horizontalLayout_25;
    QStackedWidget *stackedWidget_3;
    QFrame *frame_CompanyInfo;
    QVBoxLayout *verticalLayout_19;
    QFrame *frame_35;
    QHBoxLayout *horizontalLayout_36;
    QLabel *label_CompanyUrl;
    QLabel *label_CompanyCopyright;

    // monitor page
    QWidget *page_Monitor;
    QHBoxLayout *horizontalLayout_24;
    QFrame *frame_MainArea;
    QVBoxLayout *verticalLayout_5;
    QFrame *frame_2;
    QHBoxLayout *horizontalLayout_4;
    QLabel *label_HidStatus;
    QLabel *label_ErrorMsg;
    QRadioButton *radioButton_Model01;
    QRadioButton *radioButton_Model02;
    QFrame *frame_InfoShow;
    QHBoxLayout *horizontalLayout_2;
    QFrame *frame_LeftArea;
    QVBoxLayout *verticalLayout_6;
    QFrame *frame_21;
    QHBoxLayout *horizontalLayout_21;
    ProgressBarRound *widget_CpuDashboardNew;
    QFrame *frame_8;
    QVBoxLayout *verticalLayout_9;
    QFrame *frame_RightArea;
    QVBoxLayout *verticalLayout_7;
    QFrame *frame_22;
    QHBoxLayout *horizontalLayout_22;
    ProgressBarRound *widget_GpuDashboardNew;
    QFrame *frame_9;
    QVBoxLayout *verticalLayout_8;

    QGridLayout *gridLayout_2;
    QProgressBar *progressBar_CPU01;
    QLabel *label_CPU01;
    QLabel *label_CPU01_UNIT;
    QLabel *label_4;
    QLabel *label_3;
    QGridLayout *gridLayout_10;
    QProgressBar *progressBar_CPU02;
    QLabel *label_CPU02;
    QLabel *label_CPU02_UNIT;
    QLabel *label_10;
    QLabel *label;
    QGridLayout *gridLayout_3;
    QProgressBar *progressBar_CPU03;
    QLabel *label_CPU03;
    QLabel *label_CPU03_UNIT;
    QLabel *label_14;
    QLabel *label_5;
    QGridLayout *gridLayout_4;
    QProgressBar *progressBar_CPU04;
    QLabel *label_CPU04;
    QLabel *label_CPU04_UNIT;
    QLabel *label_16;
    QLabel *label_7;
    QGridLayout *gridLayout_5;
    QProgressBar *progressBar_GPU01;
    QLabel *label_GPU01;
    QLabel *label_GPU01_UNIT;
    QLabel *label_17;
    QLabel *label_9;
    QGridLayout *gridLayout_6;
    QProgressBar *progressBar_GPU02;
    QLabel *label_GPU02;
    QLabel *label_GPU02_UNIT;
    QLabel *label_18;
    QLabel *label_11;
    QGridLayout *gridLayout_7;
    QProgressBar *progressBar_GPU03;
    QLabel *label_GPU03;
    QLabel *label_GPU03_UNIT;
    QLabel *label_19;
    QLabel *label_13;
    QGridLayout *gridLayout_8;
    QProgressBar *progressBar_GPU04;
    QLabel *label_GPU04;
    QLabel *label_GPU04_UNIT;
    QLabel *label_20;
    QLabel *label_15;

    // memory and system-disk page
    QWidget *page_Hardware;
    QHBoxLayout *horizontalLayout_8;
    QFrame *frame_CenterArea;
    QVBoxLayout *verticalLayout_10;
    QFrame *frame_Memory;
    QLabel *label_2;
    QFrame *frame_10;
    QLabel *label_MemoryUsageNum;
    QLabel *label_6;
    QProgressBar *progressBar_MemoryUsage;
    QLabel *label_MemoryUsage;
    QFrame *frame_HardDisk;
    QLabel *label_8;
    QFrame *frame_13;
    QLabel *label_HardDiskUsageNum;
    QLabel *label_12;
    QProgressBar *progressBar_HardDiskUsage;
    QLabel *label_HardDiskUsage;

    // hardware list page
    QWidget *page_HardwareInfoNew;
    QVBoxLayout *verticalLayout_20;
    QFrame *frame_HardwareInfoArea;
    QFrame *frame_HardwareInfo001;
    QFrame *frame_HardwareInfo002;
    QFrame *frame_HardwareInfo003;
    QFrame *frame_HardwareInfo004;
    QFrame *frame_HardwareInfo005;
    QFrame *frame_HardwareInfo006;
    QFrame *frame_HardwareInfo007;
    QFrame *frame_HardwareInfo008;
    QLabel *label_21;
    QLabel *label_22;
    QLabel *label_23;
    QLabel *label_24;
    QLabel *label_25;
    QLabel *label_26;
    QLabel *label_27;
    QLabel *label_28;
    QLabel *label_29;
    QLabel *label_30;
    QLabel *label_31;
    QLabel *label_32;
    QLabel *label_33;
    QLabel *label_34;
    QLabel *label_44;
    QLabel *label_45;
    QLabel *label_35;
    QLabel *label_36;
    QLabel *label_37;
    QLabel *label_38;
    QLabel *label_46;
    QLabel *label_47;
    QLabel *label_39;
    QLabel *label_40;
    QLabel *label_50;
    QLabel *label_51;
    QLabel *label_41;
    QLabel *label_48;
    QLabel *label_49;
    QLabel *label_42;
    QLabel *label_52;
    QLabel *label_43;

private:
    void setupLeftColumn(QFrame *parent);
    void setupRightColumn(QFrame *parent);
    void setupMonitorPage();
    void setupMetricGrids();
    void setupUsagePage();
    void setupHardwareListPage();
};

} // namespace Ui
