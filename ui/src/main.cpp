#include "dialogs.h"
#include "form1.h"
#include "main_window.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    konversi::ui::setUpApplication();
    konversi::ui::DialogFileChooser chooser;
    konversi::ui::MessageBoxErrorReporter errors;
    konversi::ui::MainWindow window(chooser, errors);
    window.show();
    return QApplication::exec();
}
