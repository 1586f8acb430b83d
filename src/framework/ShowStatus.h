#pragma once
// TfrmShowStatus: the small progress window of long client operations (the spreadsheet
// export): caption "Status", the label "处理进度", the operation's text and a gauge that
// counts the records done; its texts follow the interface language (dictionary object
// "frmShowStatus"). Client (GUI) thread only.

#include <QWidget>

class QLabel;
class QProgressBar;

namespace orvane {

class TfrmShowStatus : public QWidget {
    Q_OBJECT
public:
    explicit TfrmShowStatus(QWidget* parent = nullptr);

    // Shows the window with the operation's text and a gauge from 0 to total.
    void start(const QString& text, int total);
    // Moves the gauge and repaints it at once (the operation keeps the thread busy).
    void step(int position);
    // Hides the window.
    void finish();

private:
    QLabel* lblTitle_;       // "处理进度"
    QLabel* lblStatus_;      // the operation's text
    QProgressBar* pbStatus_; // the gauge
};

} // namespace orvane
