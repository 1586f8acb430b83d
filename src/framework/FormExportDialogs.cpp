#include "framework/FormExportDialogs.h"

#include "framework/ShowStatus.h"
#include "framework/VozurazCF.h"
#include "services/OrvaneINI.h"
#include "services/ZtMsg.h"
#include "ui/QtText.h"

#include <QDesktopServices>
#include <QUrl>

namespace orvane {

FormExportDialogs::FormExportDialogs(TfrmVozuraz& form, std::string programFolder)
    : form_(form), programFolder_(std::move(programFolder))
{}

FormExportDialogs::~FormExportDialogs() = default;

void FormExportDialogs::progressStart(std::string_view text, int total)
{
    if (!showStatus_)
        showStatus_ = std::make_unique<TfrmShowStatus>(&form_);
    showStatus_->start(text::toQString(text), total);
}

void FormExportDialogs::progressStep(int position)
{
    if (showStatus_)
        showStatus_->step(position);
}

void FormExportDialogs::progressFinish()
{
    if (showStatus_)
        showStatus_->finish();
}

int FormExportDialogs::show(std::string_view text, DialogKind kind, std::vector<int> buttons)
{
    const TCodeConverter& converter = form_.ZtConverter();
    return ShowCodeDialog(MessageOwner{form_.brokers(), converter, form_.windowTitle()}, std::string(text), kind,
                          std::move(buttons), converter.displayMode());
}

bool FormExportDialogs::askYesNo(std::string_view text)
{
    return show(text, DialogKind::Confirmation, {DialogAnswer::Yes, DialogAnswer::No}) == DialogAnswer::Yes;
}

void FormExportDialogs::showInformation(std::string_view text)
{
    show(text, DialogKind::Information, {DialogAnswer::Ok});
}

bool FormExportDialogs::openDocument(const std::string& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path)));
}

std::string FormExportDialogs::clientPath() const
{
    return TOrvaneIniC().clientPath();
}

} // namespace orvane
