// The order window's lookup keys (F2, F3, F4 on head edits and line columns) and the small
// windows of figures they open: prices, credit, stock.
#include "salesorder/Tavi52CF.h"

namespace orvane {

void TfrmTavi52::OpenF2Window(int& key, QWidget* control)
{
    TfrmDouble::OpenF2Window(key, control);
}

void TfrmTavi52::OpenF3Window(int& key, QWidget* control)
{
    TfrmDouble::OpenF3Window(key, control);
}

void TfrmTavi52::OpenF4Window(int& key, QWidget* control)
{
    TfrmDouble::OpenF4Window(key, control);
}

void TfrmTavi52::showFigureWindow(const QString& /*caption*/, const std::vector<QString>& /*columns*/,
                                  const std::vector<std::pair<QString, std::vector<QString>>>& /*rows*/)
{}

void TfrmTavi52::showCreditWindow(const Variant& /*answer*/) {}

void TfrmTavi52::choosePictureFile(DBEdit& /*edit*/) {}

void TfrmTavi52::appendFigure(QWidget* /*control*/, const std::vector<std::string>& /*figure*/) {}

} // namespace orvane
