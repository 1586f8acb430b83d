#include "framework/CommonPhrases.h"

#include "platform/text/ByteText.h"
#include "services/Brokers.h"
#include "ui/DialogService.h"
#include "ui/QtText.h"

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace orvane {

namespace {

// The phrase chosen from the list window; empty when none was.
QString choosePhrase(QWidget& edit, const std::vector<std::string>& phrases)
{
    QDialog window(&edit);
    window.setObjectName(QStringLiteral("frmCommonPhrases"));
    window.setWindowTitle(QStringLiteral("常用词语"));
    auto* list = new QListWidget(&window);
    list->setObjectName(QStringLiteral("lstPhrase"));
    for (const std::string& phrase : phrases)
        list->addItem(text::toQString(phrase));
    list->setCurrentRow(0);
    QString chosen;
    QObject::connect(list, &QListWidget::itemActivated, &window, [&](QListWidgetItem* item) {
        chosen = item->text();
        window.accept();
    });
    (new QVBoxLayout(&window))->addWidget(list);
    window.resize(360, 240);
    DialogService::instance().runModal(window);
    return chosen;
}

} // namespace

bool InsertCommonPhrase(TBrokers& brokers, QWidget& edit, std::string_view fieldName)
{
    auto* line = qobject_cast<QLineEdit*>(&edit);
    auto* memo = qobject_cast<QPlainTextEdit*>(&edit);
    if ((line == nullptr && memo == nullptr) || edit.property("readOnly").toBool())
        return false;
    std::string list;
    brokers.GetPhrase2(fieldName, "", 0, list);
    const std::vector<std::string> phrases = text::splitList(list, '\n', text::ListItems::TrimmedNonEmpty);
    if (phrases.empty())
        return false;
    const QString chosen = choosePhrase(edit, phrases);
    if (chosen.isEmpty())
        return false;
    if (line != nullptr)
        line->insert(chosen);
    else
        memo->insertPlainText(chosen);
    return true;
}

} // namespace orvane
