#include "controls/MarkPicture.h"

#include <QImageReader>
#include <QPainter>

namespace orvane {

MarkPicture::MarkPicture(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    setMinimumSize(80, 50);
}

bool MarkPicture::load(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    picture_ = path.isEmpty() ? QImage() : reader.read();
    update();
    return !picture_.isNull();
}

void MarkPicture::clear()
{
    picture_ = QImage();
    update();
}

void MarkPicture::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (picture_.isNull())
        return;
    const QRect area = contentsRect().adjusted(2, 2, -2, -2);
    QSize size = picture_.size();
    size.scale(area.size(), Qt::KeepAspectRatio);
    const QRect target(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 2,
                       size.width(), size.height());
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture_);
}

} // namespace orvane
