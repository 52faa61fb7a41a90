#include "dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QSettings>

namespace konversi::ui {

namespace {

// A filter of "*.*" has always meant every file to this program's users, but
// Qt's file list reads it as names holding a dot. While such a filter is
// selected, the list (the dialog's one file system model) is told to show
// every file instead; the dialog announces a selected filter only after it
// has given the list its own patterns.
void listEveryFileForStarDotStar(QFileDialog& dialog)
{
    auto* files = dialog.findChild<QFileSystemModel*>();
    const auto listEveryFile = [files](const QString& filter) {
        if (filter.endsWith(QLatin1String("(*.*)"))) files->setNameFilters({QStringLiteral("*")});
    };
    QObject::connect(&dialog, &QFileDialog::filterSelected, files, listEveryFile);
    listEveryFile(dialog.selectedNameFilter());
}

// The folder of the last file chosen is kept with the user's settings (on
// Linux ~/.config/konversi/konversi.conf), so the dialog opens there again
// after a restart.
const QString kOrganization = QStringLiteral("konversi");
const QString kApplication = QStringLiteral("konversi");
const QString kLastFolder = QStringLiteral("dialog/lastFolder");

QString lastFolder()
{
    return QSettings(kOrganization, kApplication).value(kLastFolder).toString();
}

void rememberFolder(const QString& folder)
{
    QSettings(kOrganization, kApplication).setValue(kLastFolder, folder);
}

}  // namespace

std::optional<ChosenFile> DialogFileChooser::chooseFile(QWidget* parent, const QStringList& filters,
                                                        int selectedFilter)
{
    QFileDialog dialog(parent);
    // The platform's own dialogs refuse a name that does not exist in an open
    // dialog; Qt's accepts it, and the conversion then reports the missing file.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    dialog.selectNameFilter(filters.value(selectedFilter));
    listEveryFileForStarDotStar(dialog);
    // A folder deleted since is not opened; the dialog starts where it would.
    const QString folder = lastFolder();
    if (QFileInfo(folder).isDir()) dialog.setDirectory(folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString path = dialog.selectedFiles().constFirst();
    rememberFolder(QFileInfo(path).absolutePath());
    return ChosenFile{path, QFileInfo(path).fileName()};
}

void MessageBoxErrorReporter::showError(QWidget* parent, int number, const QString& message)
{
    QMessageBox::critical(parent, parent ? parent->windowTitle() : QString(),
                          QStringLiteral("Error %1: %2").arg(number).arg(message));
}

}  // namespace konversi::ui
