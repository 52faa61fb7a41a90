#include "main_window.h"

#include "dialogs.h"

#include <konversi/converters.h>
#include <konversi/error.h>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <optional>

namespace konversi::ui {

namespace {

// Paths travel to the engine in the file system's own encoding.
std::string toPath(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}

QString fromPath(const std::string& path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}

class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

QString folderText(const QString& inPath, const QString& inDir)
{
    constexpr int kShown = 35;
    if (inDir.size() <= kShown) {
        return inDir;
    }
    return inPath.left(3) + QStringLiteral("...") + inDir.right(kShown);
}

MainWindow::MainWindow(FileChooser& chooser, ErrorReporter& errors, Converter convert,
                       QWidget* parent)
    : Form1(parent), chooser_(chooser), errors_(errors), convert_(std::move(convert))
{
    connect(command1_, &QPushButton::clicked, this, &MainWindow::chooseInput);
    connect(command2_, &QPushButton::clicked, this, &MainWindow::process);
    connect(command3_, &QPushButton::clicked, this, &MainWindow::reset);
    load();
}

void MainWindow::load()
{
    // Key preview: the window sees Esc before whichever control has the focus.
    qApp->installEventFilter(this);
    command2_->setVisible(true);
    command2_->setEnabled(false);
    command3_->hide();
    option1_->setChecked(true);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->window() == this) {
            reset();
            return true;
        }
    }
    return Form1::eventFilter(watched, event);
}

ConversionMode MainWindow::selectedMode() const
{
    if (option2_->isChecked()) return ConversionMode::TextToPolyline;
    if (option3_->isChecked()) return ConversionMode::PointToText;
    if (option4_->isChecked()) return ConversionMode::PolylineToText;
    return ConversionMode::TextToPoint;
}

void MainWindow::chooseInput()
{
    const ConversionMode mode = selectedMode();
    const bool readsText =
        mode == ConversionMode::TextToPoint || mode == ConversionMode::TextToPolyline;
    const QStringList filters = readsText
                                    ? QStringList{QStringLiteral("TXT (*.txt)"), "Semua (*.*)"}
                                    : QStringList{QStringLiteral("DXF (*.dxf)"), "Semua (*.*)"};
    const std::optional<ChosenFile> chosen = chooser_.chooseFile(this, filters, 0);
    if (!chosen) {
        // A cancel keeps the job and the buttons as they were.
        clearValues();
        return;
    }
    job_.fill(toPath(chosen->fullPath), toPath(chosen->fileName), mode);

    const std::string_view extension = outputExtension(mode);
    label5_->setText(folderText(fromPath(job_.inPath), fromPath(job_.inDir)));
    label7_->setText(fromPath(job_.inTitle));
    label9_->setText(
        fromPath(job_.baseName) +
        QString::fromLatin1(extension.data(), static_cast<qsizetype>(extension.size())));
    // After a conversion "Proses" stays hidden until a reset shows it again.
    command2_->setEnabled(true);
}

void MainWindow::process()
{
    command2_->hide();
    command3_->setText(QStringLiteral("Tunggu!!!"));
    command3_->setEnabled(false);
    command3_->show();
    // The conversion holds the event loop, so the busy state must be painted
    // now or the user would never see it.
    repaint();

    std::optional<Error> failure;
    {
        WaitCursor busy;
        try {
            convert_(job_, selectedMode());
        } catch (const Error& error) {
            failure = error;
        }
    }
    if (failure) {
        // Bad input is the user's everyday mistake: say what went wrong and
        // let them choose again instead of closing the program.
        errors_.showError(this, failure->number(), QString::fromUtf8(failure->what()));
        reset();
        return;
    }
    command3_->setEnabled(true);
    command3_->setText(QStringLiteral("Selesai!"));
}

void MainWindow::reset()
{
    clearValues();
    command2_->setVisible(true);
    command2_->setEnabled(false);
    command3_->hide();
}

void MainWindow::clearValues()
{
    label5_->clear();
    label7_->clear();
    label9_->clear();
}

}  // namespace konversi::ui
