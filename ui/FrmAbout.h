#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The version the build gives the program, "0.1.0" style.
QString ProgramVersion();

// The about box: the program's name, version and purpose, its icon and an OK
// button. Created once and shown modally by the About command.
class TFrmAbout : public QDialog {
    Q_OBJECT

public:
    explicit TFrmAbout(QWidget* parent = nullptr);

    QLabel* Img_Icon = nullptr;
    QLabel* Lab_Name = nullptr;
    QLabel* Lab_Version = nullptr;
    QLabel* Lab_Description = nullptr;
    QPushButton* BtnOk = nullptr;
};
