#include "main_window.h"

#include "dialogs.h"

#include <konversi/converters.h>
#include <konversi/error.h>

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QtConcurrent>

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

// Runs on the worker thread. Nothing may leave it as an exception: an error of
// the conversion is handed back to the window, and any other exception is a
// fault of the program that the user is told about instead of losing it.
std::optional<Error> runConversion(const Converter& convert, const ConversionJob& job,
                                   ConversionMode mode)
{
    try {
        convert(job, mode);
    } catch (const Error& error) {
        return error;
    } catch (...) {
        return Error(ErrorCode::InternalError);
    }
    return std::nullopt;
}

// What the user does to the window, as against what the window system does
// to it (painting, moving the mouse across it, closing it).
// The file a drag carries when it carries exactly one file and nothing else.
std::optional<ChosenFile> singleFile(const QMimeData& dragged)
{
    const QList<QUrl> urls = dragged.urls();
    if (urls.size() != 1 || !urls.constFirst().isLocalFile()) return std::nullopt;
    const QFileInfo file(urls.constFirst().toLocalFile());
    if (file.isDir()) return std::nullopt;
    return ChosenFile{file.filePath(), file.fileName()};
}

bool isUserAction(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::ContextMenu: return true;
    default: return false;
    }
}

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
    connect(chooseButton_, &QPushButton::clicked, this, &MainWindow::chooseInput);
    connect(processButton_, &QPushButton::clicked, this, &MainWindow::process);
    connect(statusButton_, &QPushButton::clicked, this, &MainWindow::reset);
    connect(&conversion_, &QFutureWatcherBase::finished, this, &MainWindow::finishConversion);
    load();
}

// A program that quits mid-conversion still lets it finish, so it never ends
// with a file half written.
MainWindow::~MainWindow()
{
    conversion_.waitForFinished();
}

void MainWindow::load()
{
    // Key preview: the window sees Esc before whichever control has the focus.
    qApp->installEventFilter(this);
    processButton_->setVisible(true);
    processButton_->setEnabled(false);
    statusButton_->hide();
    textToPointOption_->setChecked(true);
    // Focus starts on "?", the first control in the keyboard order.
    chooseButton_->setFocus();
    setAcceptDrops(true);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) {
        return Form1::eventFilter(watched, event);
    }
    // A click or key while converting is dropped, not kept for later: the
    // user cannot see what it would do once the conversion is over.
    if (busy_ && isUserAction(*event)) {
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Escape) {
            reset();
            return true;
        }
        // Enter presses the focused button as Space does; no button is the
        // window's default, so Enter never acts on a button without the focus.
        auto* button = qobject_cast<QAbstractButton*>(watched);
        if (button != nullptr && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            button->click();
            return true;
        }
    }
    return Form1::eventFilter(watched, event);
}

// Closing waits for the conversion, which is short, and then closes without
// reporting its outcome: the user has left.
void MainWindow::closeEvent(QCloseEvent* event)
{
    if (busy_) {
        closeWhenDone_ = true;
        event->ignore();
        return;
    }
    Form1::closeEvent(event);
}

// A file dropped on the window is taken as if chosen with "?".
void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!busy_ && singleFile(*event->mimeData())) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const std::optional<ChosenFile> dropped = singleFile(*event->mimeData());
    if (busy_ || !dropped) return;
    event->acceptProposedAction();
    takeInput(*dropped, selectedMode());
}

ConversionMode MainWindow::selectedMode() const
{
    if (textToPolylineOption_->isChecked()) return ConversionMode::TextToPolyline;
    if (pointToTextOption_->isChecked()) return ConversionMode::PointToText;
    if (polylineToTextOption_->isChecked()) return ConversionMode::PolylineToText;
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
    takeInput(*chosen, mode);
}

void MainWindow::takeInput(const ChosenFile& input, ConversionMode mode)
{
    job_.fill(toPath(input.fullPath), toPath(input.fileName), mode);

    const std::string_view extension = outputExtension(mode);
    inputFolderLabel_->setText(folderText(fromPath(job_.inPath), fromPath(job_.inDir)));
    inputNameLabel_->setText(fromPath(job_.inTitle));
    outputNameLabel_->setText(
        fromPath(job_.baseName) +
        QString::fromLatin1(extension.data(), static_cast<qsizetype>(extension.size())));
    // After a conversion "Proses" stays hidden until a reset shows it again.
    processButton_->setEnabled(true);
}

void MainWindow::process()
{
    processButton_->hide();
    statusButton_->setText(QStringLiteral("Tunggu!!!"));
    statusButton_->setEnabled(false);
    statusButton_->show();
    busy_ = true;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    conversion_.setFuture(QtConcurrent::run(runConversion, convert_, job_, selectedMode()));
}

void MainWindow::finishConversion()
{
    busy_ = false;
    QGuiApplication::restoreOverrideCursor();
    if (closeWhenDone_) {
        close();
        return;
    }
    const std::optional<Error> failure = conversion_.result();
    if (failure) {
        // Bad input is the user's everyday mistake: say what went wrong and
        // let them choose again instead of closing the program.
        errors_.showError(this, failure->number(), QString::fromUtf8(failure->what()));
        reset();
        return;
    }
    statusButton_->setEnabled(true);
    statusButton_->setText(QStringLiteral("Selesai!"));
}

void MainWindow::reset()
{
    clearValues();
    processButton_->setVisible(true);
    processButton_->setEnabled(false);
    statusButton_->hide();
}

void MainWindow::clearValues()
{
    inputFolderLabel_->clear();
    inputNameLabel_->clear();
    outputNameLabel_->clear();
}

}  // namespace konversi::ui
