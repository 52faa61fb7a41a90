#include "dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace konversi::ui {

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
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    const QString path = dialog.selectedFiles().constFirst();
    return ChosenFile{path, QFileInfo(path).fileName()};
}

void MessageBoxErrorReporter::showError(QWidget* parent, int number, const QString& message)
{
    QMessageBox::critical(parent, parent ? parent->windowTitle() : QString(),
                          QStringLiteral("Error %1: %2").arg(number).arg(message));
}

}  // namespace konversi::ui
