#pragma once
// The date input: a calendar starting on the given date (today when it is not a YYYYMMDD
// date), of the days a YYYYMMDD date holds (years 1 to 9999). The arrows move by days and weeks,
// Page Up and Page Down by months, Home and End to the month's first and last day; digits typed
// do nothing (the field takes a typed date). Enter, a double-click or OK takes the selected date;
// Escape or Cancel keeps the given one. Client thread only.

#include <QDialog>

#include <string>

class QCalendarWidget;

namespace orvane {

class DateInputDialog : public QDialog {
    Q_OBJECT
public:
    // given: the caller's date text (client code page).
    explicit DateInputDialog(std::string given, QWidget* parent = nullptr);

    // The selected date as YYYYMMDD when a date was taken, else the given text unchanged.
    std::string answer() const;
    QCalendarWidget& calendar() { return *calendar_; }

private:
    std::string given_;
    QCalendarWidget* calendar_;
    bool taken_ = false;
};

} // namespace orvane
