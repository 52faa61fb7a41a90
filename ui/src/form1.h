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

    // Named by role; each keeps its form name (Command2, Option1...) as its
    // object name, by which the tests find it.
    QPushButton* chooseButton_;   // "?": choose the input file
    QPushButton* processButton_;  // "Proses": run the conversion
    QPushButton* statusButton_;   // stands where "Proses" was while and after converting
    QRadioButton* textToPointOption_;
    QRadioButton* textToPolylineOption_;
    QRadioButton* pointToTextOption_;
    QRadioButton* polylineToTextOption_;
    QLabel* inputFolderLabel_;
    QLabel* inputNameLabel_;
    QLabel* outputNameLabel_;

private:
    QPixmap picture_;
};

// Settings the window's look depends on, for every program that shows it.
void setUpApplication();

}  // namespace konversi::ui
