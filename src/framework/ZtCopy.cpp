#include "framework/ZtCopy.h"

#include "controls/DBEdit.h"
#include "controls/F2Button.h"
#include "framework/DDObject.h"
#include "framework/DoubleCF.h"
#include "platform/text/ByteText.h"
#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <memory>

namespace orvane {

namespace {

QString numbered(const char* name, std::size_t index)
{
    return QString::fromLatin1(name) + QString::number(index + 1);
}

} // namespace

TfrmCopy::TfrmCopy(TfrmDouble& owner) : TfrmZtDialog(owner), document_(owner)
{
    setObjectName(QStringLiteral("frmCopy"));
    setWindowTitle(text::utf8(u8"复制"));
    pgCopy = new QTabWidget(this);
    pgCopy->setObjectName(QStringLiteral("pgCopy"));
    pgCopy->tabBar()->hide(); // the wizard switches its pages itself
    pgCopy->setDocumentMode(true);
    tbsSource = buildPage("tbsSource", "来源", lblSource, true);
    tbsDest = buildPage("tbsDest", "目的", lblDest, false);

    BBPrior = new QPushButton(text::utf8(u8"上一步(&P)"), this);
    BBPrior->setObjectName(QStringLiteral("BBPrior"));
    BBPrior->hide();
    BBOK = new QPushButton(text::utf8(u8"下一步(&N)"), this);
    BBOK->setObjectName(QStringLiteral("BBOK"));
    BBOK->setDefault(true);
    BBCancel = new QPushButton(text::utf8(u8"取消(&C)"), this);
    BBCancel->setObjectName(QStringLiteral("BBCancel"));
    connect(BBOK, &QPushButton::clicked, this, guardedSlot("BBOKClick", [this] { BBOKClick(); }));
    connect(BBCancel, &QPushButton::clicked, this, guardedSlot("BBCancelClick", [this] { setModalResult(mrCancel); }));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BBPrior);
    buttons->addWidget(BBOK);
    buttons->addWidget(BBCancel);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->addWidget(pgCopy, 1);
    layout->addLayout(buttons);
    pgCopy->setCurrentWidget(tbsDest);
    setMinimumWidth(340);
}

QWidget* TfrmCopy::buildPage(const char* name, const char* group, std::array<QLabel*, maxKeys>& labels, bool source)
{
    auto* page = new QWidget(pgCopy);
    page->setObjectName(QString::fromLatin1(name));
    auto* box = new QGroupBox(QString::fromUtf8(group), page);
    box->setObjectName(QString::fromLatin1(source ? "gbSource" : "gbDest"));
    auto* grid = new QGridLayout(box);
    grid->setColumnMinimumWidth(2, 24); // the lookup buttons beside the destination edits
    grid->setColumnStretch(1, 1);
    for (std::size_t i = 0; i < maxKeys; ++i) {
        labels[i] = new QLabel(box);
        labels[i]->setObjectName(numbered(source ? "lblSource" : "lblDest", i));
        QLineEdit* edit = nullptr;
        if (source) {
            edit = edSource[i] = new QLineEdit(box);
        } else {
            edit = edDest[i] = new DBEdit(box);
            btnDest[i] = new TF2Button(box);
            btnDest[i]->setObjectName(numbered("btnDest", i));
            btnDest[i]->setF2Control(edit);
            btnDest[i]->setFocusPolicy(Qt::NoFocus); // F2 in the edit does the same
            btnDest[i]->setFixedWidth(22);
            btnDest[i]->hide();
        }
        edit->setObjectName(numbered(source ? "edSource" : "edDest", i));
        labels[i]->setBuddy(edit);
        grid->addWidget(labels[i], static_cast<int>(i), 0);
        grid->addWidget(edit, static_cast<int>(i), 1);
        // Only the first pair shows before the set-up.
        labels[i]->setVisible(i == 0);
        edit->setVisible(i == 0);
    }
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(box);
    layout->addStretch(1);
    pgCopy->addTab(page, box->title());
    return page;
}

bool TfrmCopy::SetFields(DataSet& dataSet, DataSource& dataSource, std::string_view fieldList)
{
    const std::vector<std::string> names = text::splitList(fieldList, ',', text::ListItems::TrimmedNonEmpty);
    const std::size_t count = std::min<std::size_t>(names.size(), maxKeys);
    bool complete = true;
    for (std::size_t i = 0; i < count; ++i) {
        edDest[i]->setDataSource(&dataSource);
        edDest[i]->setDataField(text::toQString(names[i]));
        const Field* field = dataSet.findField(names[i]);
        if (field == nullptr) {
            showText("Error happend in ZtCopy", true);
            complete = false;
            break;
        }
        const QString caption = text::toQString(field->displayLabel());
        lblSource[i]->setText(caption);
        lblDest[i]->setText(caption);
        // The field's text is converted for the interface already, by its text handler.
        edSource[i]->setText(text::toQString(field->text()));
        for (QWidget* control : {static_cast<QWidget*>(lblSource[i]), static_cast<QWidget*>(edSource[i]),
                                 static_cast<QWidget*>(lblDest[i]), static_cast<QWidget*>(edDest[i])})
            control->show();
        // The last of several keys (the document's number, as a rule) has no lookup.
        btnDest[i]->setVisible(i + 1 < count || i == 0);
    }
    pgCopy->setCurrentWidget(tbsSource);
    // Typing starts in the first key, not on a button, and replaces the current document's key.
    edSource[0]->setFocus();
    edSource[0]->selectAll();
    return complete;
}

std::vector<std::string> TfrmCopy::sourceKeys() const
{
    std::vector<std::string> keys;
    for (const QLineEdit* edit : edSource) {
        if (!edit->isHidden())
            keys.push_back(text::trim(text::fromQString(edit->text())));
    }
    return keys;
}

template <typename Edits>
bool TfrmCopy::allFilled(const Edits& edits)
{
    for (std::size_t i = 0; i < maxKeys; ++i) {
        if (edits[i]->isHidden() || !text::trim(text::fromQString(edits[i]->text())).empty())
            continue;
        showText(
            text::fromQString(
                TDDObject::OwnText(*this, "msgKeyBlank", u8"%1 不可空白 !").arg(text::toQString(LabelFor(edits[i])))),
            false);
        edits[i]->setFocus();
        return false;
    }
    return true;
}

void TfrmCopy::BBOKClick()
{
    if (pgCopy->currentWidget() == tbsDest) {
        setModalResult(mrOK);
        return;
    }
    if (!allFilled(edSource) || !document_.FetchCopySource(sourceKeys(), Flag, this, Head, Lines, Extra))
        return;
    pgCopy->setCurrentWidget(tbsDest);
    edDest[0]->setFocus();
}

bool TfrmCopy::FormCloseQuery()
{
    if (modalResult() != mrOK)
        return true;
    for (DBEdit* edit : edDest) {
        if (!edit->isHidden() && !edit->updateRecord())
            return false;
    }
    return allFilled(edDest) && (Flag == 0 || allFilled(edSource));
}

bool TfrmCopy::FormKeyDown(QKeyEvent& event)
{
    switch (event.key()) {
    case Qt::Key_Up: focusPreviousChild(); return true;
    case Qt::Key_Down: focusNextChild(); return true;
    default: return TfrmZtDialog::FormKeyDown(event);
    }
}

void TfrmCopy::OpenF2Window(int& key, QWidget* control)
{
    document_.OpenF2Window(key, control);
}

bool ShowCopyDialog(TfrmDouble& owner, DataSet& dataSet, DataSource& dataSource, int flag, std::string_view fieldList,
                    Variant& head, Variant& lines, Variant& extra)
{
    const std::unique_ptr<TfrmCopy, FormFree> form(new TfrmCopy(owner));
    form->setWindowState(Qt::WindowNoState);
    form->Flag = flag;
    form->ConvertOnce();
    form->SetFields(dataSet, dataSource, fieldList);
    if (form->ShowModal() != TfrmZtDialog::mrOK)
        return false;
    head = form->Head;
    lines = form->Lines;
    extra = form->Extra;
    return true;
}

} // namespace orvane
