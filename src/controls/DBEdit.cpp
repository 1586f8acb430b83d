#include "controls/DBEdit.h"

#include "ui/Guard.h"
#include "ui/QtText.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QSignalBlocker>
#include <QTimer>
#include <QValidator>

namespace orvane {

namespace {

// Refuses text longer than a string field's size in bytes of the installation code page.
class ByteLengthValidator : public QValidator {
public:
    ByteLengthValidator(int maxBytes, QObject* parent) : QValidator(parent), maxBytes_(maxBytes) {}
    State validate(QString& input, int& /*position*/) const override
    {
        return static_cast<int>(text::fromQString(input).size()) <= maxBytes_ ? Acceptable : Invalid;
    }
    int maxBytes() const { return maxBytes_; }

private:
    int maxBytes_;
};

} // namespace

void applyFieldLimits(MaskEdit& edit, const Field& field)
{
    if (edit.editMask() != field.editMask())
        edit.setEditMask(field.editMask());
    const auto* current = dynamic_cast<const ByteLengthValidator*>(edit.validator());
    const int limit = field.type() == FieldType::String && field.editMask().empty() ? field.size() : 0;
    if ((current != nullptr ? current->maxBytes() : 0) == limit)
        return;
    edit.setValidator(limit > 0 ? new ByteLengthValidator(limit, &edit) : nullptr);
    delete current;
    // Each character takes at least one byte.
    edit.setMaxLength(limit > 0 ? limit : 32767);
}

class DBEdit::Link : public DataLink {
public:
    explicit Link(DBEdit& edit) : edit_(edit) {}
    void recordChanged() override { edit_.refresh(); }
    void stateChanged() override { edit_.refresh(); }
    void dataSetChanged() override { edit_.refresh(); }
    void fieldChanged(Field& field) override
    {
        if (&field == edit_.field())
            edit_.refresh();
    }

private:
    DBEdit& edit_;
};

DBEdit::DBEdit(QWidget* parent) : MaskEdit(parent), link_(std::make_unique<Link>(*this))
{
    refresh();
}

DBEdit::~DBEdit() = default;

DataSource* DBEdit::dataSource() const
{
    return link_->dataSource();
}

void DBEdit::setDataSource(DataSource* source)
{
    link_->setDataSource(source);
    refresh();
    emit bindingChanged();
}

void DBEdit::setDataField(const QString& name)
{
    dataField_ = name;
    refresh();
    emit bindingChanged();
}

void DBEdit::setControlReadOnly(bool readOnly)
{
    controlReadOnly_ = readOnly;
    refresh();
}

bool DBEdit::writable(const Field& field) const
{
    return !controlReadOnly_ && !field.readOnly() && field.dataSet().active();
}

void DBEdit::refresh()
{
    if (writing_)
        return;
    const QSignalBlocker blocker(this);
    const Field* bound = field();
    setReadOnly(bound == nullptr || !writable(*bound));
    if (bound == nullptr) {
        setEditMask("");
        setText({});
    } else {
        applyFieldLimits(*this, *bound);
        const bool shown = bound->dataSet().active();
        setFieldText(!shown ? std::string() : hasFocus() ? bound->editText() : bound->displayText());
    }
    setModified(false);
}

bool DBEdit::updateRecord()
{
    Field* bound = field();
    if (!isModified() || writing_ || bound == nullptr || !writable(*bound))
        return true;
    writing_ = true;
    const bool written = guarded("DBEdit.UpdateRecord", [&] {
        DataSet& dataSet = bound->dataSet();
        if (dataSet.state() == DataSetState::Browse)
            dataSet.edit();
        bound->setText(fieldText());
    });
    writing_ = false;
    if (written)
        refresh(); // the set-text handler may have stored the value in another form
    return written;
}

void DBEdit::focusInEvent(QFocusEvent* event)
{
    if (!isModified())
        refresh();
    MaskEdit::focusInEvent(event);
}

void DBEdit::focusOutEvent(QFocusEvent* event)
{
    MaskEdit::focusOutEvent(event);
    // A box the check opens or another window taking over is no exit from the edit.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    if (updateRecord())
        refresh(); // the display text instead of the edit text
    else
        QTimer::singleShot(0, this, [this] { setFocus(Qt::OtherFocusReason); });
}

void DBEdit::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !updateRecord()) {
        event->accept();
        return;
    }
    MaskEdit::keyPressEvent(event);
}

} // namespace orvane
