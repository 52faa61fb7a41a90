#pragma once

#include <QPixmap>
#include <QWidget>

class QLabel;
class QPushButton;
class QRadioButton;

namespace konversi::ui {

// The window as it is built: picture, icon, the fifteen controls with their
// captions, places, fonts and colours, and the keyboard order. It does nothing
// yet; MainWindow gives it its behaviour.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

    QPushButton* command1_;  // "?": choose the input file
    QPushButton* command2_;  // "Proses": run the conversion
    QPushButton* command3_;  // stands where "Proses" was while and after converting
    QRadioButton* option1_;
    QRadioButton* option2_;
    QRadioButton* option3_;
    QRadioButton* option4_;
    QLabel* label5_;  // input folder
    QLabel* label7_;  // input file name
    QLabel* label9_;  // output file name

private:
    QPixmap picture_;
};

// Settings the window's look depends on, for every program that shows it.
void setUpApplication();

}  // namespace konversi::ui
