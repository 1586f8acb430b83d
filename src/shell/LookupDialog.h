#pragma once
// The lookup window: the rows of a lookup list in a table headed by the column
// specification's labels, each cell shown as its column's kind says (dates in the
// installation's style, rates, flags); a column without a label is hidden. Enter or a double-click chooses the current
// row; Escape (or Cancel) chooses none. When more rows follow, scrolling to the end of the table, or End or Page Down
// on the last row, fetches the next page; End then goes to the last row. Client thread only.

#include "shell/ShellWindows.h"

#include <QDialog>

#include <optional>

class QTableWidget;

namespace orvane {

class LookupDialog : public QDialog {
    Q_OBJECT
public:
    explicit LookupDialog(const LookupList& list, QWidget* parent = nullptr);

    // The chosen row, none when none was chosen.
    std::optional<std::vector<Variant>> chosenRow() const;
    QTableWidget& table() { return *table_; }

    // The window's title in the interface language; the title of what it says about an empty list too.
    static QString title();

    // The titles of a column specification "label$kind;label$kind;..." (the server's, data code
    // page) as serverText shows them; an entry without "$" is all label.
    static QStringList columnLabels(std::string_view specification, const ServerText& serverText = {});

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void choose(int row);
    // Adds rows to the table, widening it for rows wider than the columns so far.
    void append(std::vector<std::vector<Variant>> rows);
    // The text of a cell of the column as its kind shows it.
    QString cellText(std::size_t column, const Variant& value) const;
    // Fetches and shows the next page when more rows follow.
    void fetchMore();
    bool atLastRow() const;

    std::vector<std::vector<Variant>> rows_; // the rows shown, as the service answered them
    std::vector<std::string> kinds_;         // by column, as the list's column entries give them
    int dateStyle_;
    std::string dateSeparator_;
    ServerText serverText_;
    bool moreRows_ = false;
    bool goingToEnd_ = false; // End moves to the last row: its scrolling fetches nothing
    std::function<LookupAnswer(std::size_t)> nextPage_;
    QTableWidget* table_;
    std::optional<std::size_t> chosen_; // index in rows_
};

} // namespace orvane
