// Renders the real window, as it looks after a file has been chosen, into a
// PNG for the README:
//   konversi_screenshot <output.png>
// Run it on the offscreen platform at 96 dpi (tools/make-screenshot.sh does).

#include "dialogs.h"
#include "form1.h"
#include "main_window.h"

#include <QApplication>
#include <QPushButton>

#include <cstdio>

namespace {

class ExampleChooser : public konversi::ui::FileChooser {
public:
    std::optional<konversi::ui::ChosenFile> chooseFile(QWidget*, const QStringList&, int) override
    {
        return konversi::ui::ChosenFile{QStringLiteral("/home/surveyor/data/peta.txt"),
                                        QStringLiteral("peta.txt")};
    }
};

class NoErrors : public konversi::ui::ErrorReporter {
public:
    void showError(QWidget*, int, const QString&) override {}
};

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: konversi_screenshot <output.png>\n");
        return 2;
    }
    konversi::ui::setUpApplication();
    ExampleChooser chooser;
    NoErrors errors;
    konversi::ui::MainWindow window(chooser, errors);
    window.show();
    window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]), "png")) {
        std::fprintf(stderr, "konversi_screenshot: could not write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
