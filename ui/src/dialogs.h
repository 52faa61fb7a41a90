#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace konversi::ui {

struct ChosenFile {
    QString fullPath;
    QString fileName;  // without its folder
};

// Asks the user for one input file. The window hands it the filters and which
// of them starts selected, nothing else; an empty result means cancel.
class FileChooser {
public:
    virtual ~FileChooser() = default;
    virtual std::optional<ChosenFile> chooseFile(QWidget* parent, const QStringList& filters,
                                                 int selectedFilter) = 0;
};

// Shows a failed conversion's error number and message, and returns when the
// user has read it.
class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void showError(QWidget* parent, int number, const QString& message) = 0;
};

// Qt's own file dialog, opening in the folder of the last file chosen with it,
// also after a restart.
class DialogFileChooser : public FileChooser {
public:
    std::optional<ChosenFile> chooseFile(QWidget* parent, const QStringList& filters,
                                         int selectedFilter) override;
};

class MessageBoxErrorReporter : public ErrorReporter {
public:
    void showError(QWidget* parent, int number, const QString& message) override;
};

}  // namespace konversi::ui
