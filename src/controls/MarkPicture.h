#pragma once
// MarkPicture: the frame that shows a shipping-mark picture, scaled to fit it with its
// proportions kept, and a thin frame when there is none. Client (GUI) thread only.

#include <QFrame>
#include <QImage>

namespace orvane {

class MarkPicture : public QFrame {
    Q_OBJECT
public:
    explicit MarkPicture(QWidget* parent = nullptr);

    // Loads the file (JPEG, bitmap, icon ...); false, and the picture cleared, when it cannot.
    bool load(const QString& path);
    void clear();
    const QImage& picture() const { return picture_; }
    QSize sizeHint() const override { return {160, 100}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

} // namespace orvane
