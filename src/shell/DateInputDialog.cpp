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

} // namespace

DateInputDialog::DateInputDialog(std::string given, QWidget* parent)
    : QDialog(parent), given_(std::move(given)), calendar_(new QCalendarWidget(this))
{
    setObjectName(QStringLiteral("frmInputDay"));
    setWindowTitle(
        text::toQString(InterfaceTexts::current()->text(textObject::shell, "frmInputDay", LOCAL_TEXT(u8"日期输入"))));
    calendar_->setObjectName(QStringLiteral("calDay"));
    const QDate start =
        QDate::fromString(QString::fromLatin1(given_.data(), static_cast<int>(given_.size())), dateFormat);
    calendar_->setSelectedDate(start.isValid() ? start : QDate::currentDate());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Cancel)->setAutoDefault(false);
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
