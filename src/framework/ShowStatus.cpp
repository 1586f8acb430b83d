#include "framework/ShowStatus.h"

#include "framework/DDObject.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace orvane {

TfrmShowStatus::TfrmShowStatus(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      lblTitle_(new QLabel(QString::fromUtf8(u8"处理进度"), this)), lblStatus_(new QLabel(this)),
      pbStatus_(new QProgressBar(this))
{
    setObjectName(QStringLiteral("frmShowStatus"));
    lblTitle_->setObjectName(QStringLiteral("lblTitle"));
    lblStatus_->setObjectName(QStringLiteral("lblStatus"));
    pbStatus_->setObjectName(QStringLiteral("pbStatus"));
    setWindowTitle(QStringLiteral("Status"));
    setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle_);
    layout->addWidget(lblStatus_);
    layout->addWidget(pbStatus_);
    setMinimumWidth(320);
    TDDObject::ApplyOwnTexts(*this);
}

void TfrmShowStatus::start(const QString& text, int total)
{
    lblStatus_->setText(text);
    pbStatus_->setRange(0, total > 0 ? total : 1);
    pbStatus_->setValue(0);
    show();
    repaint();
}

void TfrmShowStatus::step(int position)
{
    pbStatus_->setValue(position);
    if (isVisible())
        pbStatus_->repaint();
}

void TfrmShowStatus::finish()
{
    hide();
}

} // namespace orvane
