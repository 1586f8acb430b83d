#include "ui/DialogService.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <algorithm>
#include <map>

namespace orvane {
namespace {

QMessageBox::Icon iconOf(DialogKind kind)
{
    switch (kind) {
    case DialogKind::Warning: return QMessageBox::Warning;
    case DialogKind::Error: return QMessageBox::Critical;
    case DialogKind::Information: return QMessageBox::Information;
    case DialogKind::Confirmation: return QMessageBox::Question;
    case DialogKind::Plain: break;
    }
    return QMessageBox::NoIcon;
}

// Qt 6 keeps the texts of the standard buttons, and their translations, under QPlatformTheme.
QString buttonText(int answer)
{
    const auto translated = [](const char* text) { return QCoreApplication::translate("QPlatformTheme", text); };
    switch (answer) {
    case DialogAnswer::Ok: return translated("OK");
    case DialogAnswer::Cancel: return translated("Cancel");
    case DialogAnswer::Yes: return translated("&Yes");
    case DialogAnswer::No: return translated("&No");
    default: return QString::number(answer);
    }
}

// A box always has a button: one without any shows OK.
std::vector<int> buttonsOf(const MessageDialog& dialog)
{
    return dialog.buttons.empty() ? std::vector<int>{DialogAnswer::Ok} : dialog.buttons;
}

// The answer of the button Escape presses: Cancel when the box has it, else its last button.
int escapeAnswerOf(const MessageDialog& dialog)
{
    const std::vector<int> buttons = buttonsOf(dialog);
    return std::ranges::find(buttons, DialogAnswer::Cancel) != buttons.end() ? DialogAnswer::Cancel : buttons.back();
}

// Ends a modal loop when its window is hidden by the program (closed, hidden, accepted); a
// spontaneous hide, such as minimising, leaves the window modal.
class HideWatcher : public QObject {
public:
    explicit HideWatcher(QEventLoop& loop) : loop_(loop) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Hide && !event->spontaneous())
            loop_.quit();
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop& loop_;
};

} // namespace

DialogService& DialogService::instance()
{
    static DialogService service;
    return service;
}

DialogService::Unattended::Unattended()
    : wasUnattended_(instance().unattended_), hadAsked_(instance().unattendedAsked_)
{
    instance().unattended_ = true;
    instance().unattendedAsked_ = false;
}

DialogService::Unattended::~Unattended()
{
    DialogService& service = instance();
    service.unattended_ = wasUnattended_;
    service.unattendedAsked_ = hadAsked_ || (wasUnattended_ && service.unattendedAsked_);
}

int DialogService::showMessage(const MessageDialog& dialog)
{
    if (unattended_) {
        unattendedAsked_ = true;
        return escapeAnswerOf(dialog);
    }
    return scripted_ ? scriptedAnswer(dialog) : showBox(dialog);
}

int DialogService::scriptedAnswer(const MessageDialog& dialog)
{
    shown_.push_back(dialog);
    if (answers_.empty())
        return buttonsOf(dialog).front();
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
}

int DialogService::showBox(const MessageDialog& dialog)
{
    QMessageBox box(iconOf(dialog.kind), dialog.caption, dialog.text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    if (dialog.font)
        box.setFont(*dialog.font);
    // One role for every button keeps them in the caller's order on every platform layout.
    std::map<const QAbstractButton*, int> answerOf;
    QPushButton* escape = nullptr;
    const int escapeAnswer = escapeAnswerOf(dialog);
    for (const int answer : buttonsOf(dialog)) {
        QPushButton* button = box.addButton(buttonText(answer), QMessageBox::ActionRole);
        answerOf[button] = answer;
        if (answerOf.size() == 1)
            box.setDefaultButton(button);
        if (escape == nullptr && answer == escapeAnswer)
            escape = button;
    }
    box.setEscapeButton(escape);
    box.exec();
    const auto found = answerOf.find(box.clickedButton());
    return found == answerOf.end() ? escapeAnswer : found->second;
}

void DialogService::runModal(QWidget& window)
{
    if (unattended_) {
        unattendedAsked_ = true;
        window.close();
        return;
    }
    if (scripted_)
        runScripted(window);
    else
        runEventLoop(window);
}

void DialogService::runScripted(QWidget& window)
{
    QPointer<QWidget> alive(&window);
    window.show();
    if (!modalActions_.empty()) {
        const auto action = std::move(modalActions_.front());
        modalActions_.pop_front();
        action(window);
    }
    if (alive && alive->isVisible())
        alive->close();
}

void DialogService::runEventLoop(QWidget& window)
{
    QPointer<QWidget> alive(&window);
    const Qt::WindowModality previous = window.windowModality();
    // Modality only takes effect when a window is shown.
    if (window.isVisible() && previous != Qt::ApplicationModal)
        window.hide();
    window.setWindowModality(Qt::ApplicationModal);

    QEventLoop loop;
    HideWatcher watcher(loop);
    window.installEventFilter(&watcher);
    QObject::connect(&window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window.show();
    if (window.isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (alive) {
        alive->removeEventFilter(&watcher);
        alive->setWindowModality(previous);
    }
}

void DialogService::setScripted(bool scripted)
{
    scripted_ = scripted;
}

void DialogService::queueAnswer(int answer)
{
    answers_.push_back(answer);
}

void DialogService::queueModalAction(std::function<void(QWidget&)> action)
{
    modalActions_.push_back(std::move(action));
}

void DialogService::clear()
{
    answers_.clear();
    modalActions_.clear();
    shown_.clear();
}

} // namespace orvane
