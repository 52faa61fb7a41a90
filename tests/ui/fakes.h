#pragma once

#include "dialogs.h"

#include <QList>
#include <QPair>
#include <QStringList>

#include <optional>

// Answers the file dialog as a test tells it to and remembers what it was asked.
class FakeChooser : public konversi::ui::FileChooser {
public:
    std::optional<konversi::ui::ChosenFile> answer;
    QStringList filters;
    int selectedFilter = -1;

    void choose(const QString& folder, const QString& name)
    {
        answer = konversi::ui::ChosenFile{folder + name, name};
    }

    std::optional<konversi::ui::ChosenFile> chooseFile(QWidget*, const QStringList& offered,
                                                       int selected) override
    {
        filters = offered;
        selectedFilter = selected;
        return answer;
    }
};

class FakeReporter : public konversi::ui::ErrorReporter {
public:
    QList<QPair<int, QString>> shown;

    void showError(QWidget*, int number, const QString& message) override
    {
        shown.append({number, message});
    }
};
