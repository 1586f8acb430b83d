#include "shell/DateInputDialog.h"

#include "platform/text/LocalText.h"
#include "services/InterfaceTexts.h"
#include "ui/QtText.h"

#include <QCalendarWidget>
#include <QDate>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace orvane {

namespace {

const QString dateFormat = QStringLiteral("yyyyMMdd");
// The days a stored YYYYMMDD date holds (years 1 to 9999): the calendar's own range reaches back
// to 4714 BC, whose days have no 8-digit text.
const QDate firstStoredDay(1, 1, 1);
const QDate lastStoredDay(9999, 12, 31);

} // namespace

DateInputDialog::DateInputDialog(std::string given, QWidget* parent)
    : QDialog(parent), given_(std::move(given)), calendar_(new QCalendarWidget(this))
{
    setObjectName(QStringLiteral("frmInputDay"));
    setWindowTitle(
        text::toQString(InterfaceTexts::current()->text(textObject::shell, "frmInputDay", LOCAL_TEXT(u8"日期输入"))));
    calendar_->setObjectName(QStringLiteral("calDay"));
    calendar_->setDateRange(firstStoredDay, lastStoredDay);
    // The calendar's typed-date editor starts from today, not the selected day, and a month typed
    // with its leading zero ("02") or a day the month lacks makes it jump to its earliest day,
    // which Enter then took. The keys move the selection instead; a typed date goes in the field.
    calendar_->setDateEditEnabled(false);
    const QDate start =
        QDate::fromString(QString::fromLatin1(given_.data(), static_cast<int>(given_.size())), dateFormat);
    calendar_->setSelectedDate(start.isValid() ? start : QDate::currentDate());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    const auto take = [this] {
        taken_ = true;
        accept();
    };
    connect(buttons, &QDialogButtonBox::accepted, this, take);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(calendar_, &QCalendarWidget::activated, this, take);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(calendar_);
    layout->addWidget(buttons);
    calendar_->setFocus();
}

std::string DateInputDialog::answer() const
{
    if (!taken_)
        return given_;
    return calendar_->selectedDate().toString(dateFormat).toStdString();
}

} // namespace orvane
