#include "dialogs.h"
#include "form1.h"
#include "main_window.h"

#include <QApplication>

#include <csignal>

int main(int argc, char** argv)
{
    // A write past a file size limit or to a closed pipe is a failed write,
    // reported as error 75, not the end of the program.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    QApplication app(argc, argv);
    konversi::ui::setUpApplication();
    konversi::ui::DialogFileChooser chooser;
    konversi::ui::MessageBoxErrorReporter errors;
    konversi::ui::MainWindow window(chooser, errors);
    window.show();
    return QApplication::exec();
}
