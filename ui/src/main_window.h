#pragma once

#include "form1.h"

#include <konversi/conversion_job.h>
#include <konversi/conversion_mode.h>
#include <konversi/converters.h>
#include <konversi/error.h>

#include <QFutureWatcher>

#include <functional>
#include <optional>

namespace konversi::ui {

class FileChooser;
class ErrorReporter;
struct ChosenFile;

using Converter = std::function<void(const ConversionJob&, ConversionMode)>;

// The working window: choose a file with "?" (or drop one on the window),
// convert it with "Proses", and come back to the start with the status button
// or Esc. The conversion runs on a worker thread, so the window keeps painting
// while it runs; what the user does to the window meanwhile is dropped.
//
//   state   Command2            Command3
//   Start   visible, disabled   hidden
//   Ready   visible, enabled    hidden
//   Busy    hidden              visible, disabled, "Tunggu!!!"
//   Done    hidden              visible, enabled, "Selesai!"
class MainWindow : public Form1 {
    Q_OBJECT

public:
    MainWindow(FileChooser& chooser, ErrorReporter& errors, Converter convert = konversi::convert,
               QWidget* parent = nullptr);
    ~MainWindow() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void load();
    void chooseInput();
    void takeInput(const ChosenFile& input, ConversionMode mode);
    void process();
    void finishConversion();
    void reset();
    void clearValues();
    ConversionMode selectedMode() const;

    FileChooser& chooser_;
    ErrorReporter& errors_;
    Converter convert_;
    ConversionJob job_;
    QFutureWatcher<std::optional<Error>> conversion_;
    bool busy_ = false;
    bool closeWhenDone_ = false;
};

// What the folder label shows for a chosen file: the folder itself, or when it
// is longer than 35 characters the path's first three, "..." and the folder's
// last 35, so the end of the folder, nearest the file, stays readable.
QString folderText(const QString& inPath, const QString& inDir);

}  // namespace konversi::ui
