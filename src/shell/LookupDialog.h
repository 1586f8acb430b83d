#pragma once
// The lookup window: the rows of a lookup list in a table headed by the column
// specification's labels. Enter or a double-click chooses the current row; Escape (or Cancel)
// chooses none. Client thread only.

#include "shell/ShellWindows.h"

#include <QDialog>

#include <optional>

class QTableWidget;

namespace orvane {

class LookupDialog : public QDialog {
    Q_OBJECT
public:
    explicit LookupDialog(const LookupList& list, QWidget* parent = nullptr);

    // The chosen row as the list holds it, unassigned when none was chosen.
    Variant chosenRow() const;
    QTableWidget& table() { return *table_; }

    // The labels of a column specification "label$kind;label$kind;..." (client code page);
    // an entry without "$" is all label.
    static QStringList columnLabels(std::string_view specification);

private:
    void choose(int row);
    void fill(const QStringList& labels);

    Variant rows_; // the list's rows, as the caller gave them
    QTableWidget* table_;
    std::optional<int> chosen_; // row index in the list
};

} // namespace orvane
