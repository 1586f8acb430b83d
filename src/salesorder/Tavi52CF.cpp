#include "salesorder/Tavi52CF.h"

#include <QLabel>
#include <QVBoxLayout>

namespace orvane {

TfrmTavi52::TfrmTavi52()
{
    setObjectName(QStringLiteral("frmTavi52"));
    setWindowTitle(QString::fromUtf8(u8"客户订单录入作业"));
    resize(800, 560);
    auto* layout = new QVBoxLayout(this);
    auto* caption = new QLabel(QString::fromUtf8(u8"客户订单录入作业"), this);
    caption->setObjectName(QStringLiteral("lblTitle"));
    caption->setAlignment(Qt::AlignCenter);
    layout->addWidget(caption);
}

void TfrmTavi52::FormCreate()
{
    // The data module first, so that the start (a stand-alone one included) connects it.
    CreateDataModule();
    TfrmVozuraz::FormCreate();
}

} // namespace orvane
